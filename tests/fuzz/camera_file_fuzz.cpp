// Any bytes as a point file and as one line of it; and every line the writer
// appends for a position and heading taken from them reads back.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "fuzz_check.h"
#include "guidance/camera_file.h"

namespace {

using namespace tabiro;
using fuzz::check;

// The writer drops what is below a tenth of a second (25.6 units).
bool readsBack(std::int32_t written, std::int32_t read) {
  return read <= written && written - read <= 26;
}

}  // namespace

// The labels and the writer's name are Shift-JIS in this build, or no seed
// would reach past them and the fuzzing would be hollow. The expected bytes
// are spelled out so that they do not depend on how literals are compiled.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  constexpr std::string_view kName = "new\x83I\x81[\x83r\x83X";  // newオービス
  const std::string line = speedCameraLine({32873600, 128801408}, 270);
  check(line.find(std::string("tex=").append(kName).append("/")) != std::string::npos,
        "the writer names a camera in Shift-JIS");
  check(parseCameraLine(line).text == kName, "the reader takes the writer's name");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  std::istringstream in(bytes);
  const CameraScan scan = scanCameras(in);
  const int lines = fuzz::fileLines(bytes);
  check(scan.cameras.size() <= static_cast<std::size_t>(CameraTable::kRows),
        "no more cameras than the table holds");
  int previousLine = 1;
  for (const CameraEntry& camera : scan.cameras) {
    // The pieces of a long line share its number.
    check(camera.line >= previousLine && camera.line <= lines, "cameras keep the file's order");
    previousLine = camera.line;
    check(camera.text.size() <= kCameraTextBytes, "a camera name fits its row");
  }
  for (const FileWarning& warning : scan.warnings) {
    check(warning.line >= 1 && warning.line <= lines, "a warning names a line of the file");
  }
  static CameraTable table;  // 500 rows: built once, overwritten whole each time
  storeCameras(scan, table);

  check(parseCameraLine(bytes).text.size() <= kCameraTextBytes,
        "a name fits its row however long the line");

  if (size >= 12) {
    std::uint32_t raw[3];
    std::memcpy(raw, data, sizeof raw);
    // What a GPS fix can hold: no negative position, a heading below 360.
    const Coordinates position{static_cast<std::int32_t>(raw[0] & 0x7FFFFFFF),
                               static_cast<std::int32_t>(raw[1] & 0x7FFFFFFF)};
    const auto heading = static_cast<std::int32_t>(raw[2] % 360);
    const CameraEntry entry = parseCameraLine(speedCameraLine(position, heading));
    check(readsBack(position.latitude, entry.position.latitude), "a written latitude reads back");
    check(readsBack(position.longitude, entry.position.longitude),
          "a written longitude reads back");
    check(entry.direction == heading, "a written heading reads back");
  }
  return 0;
}
