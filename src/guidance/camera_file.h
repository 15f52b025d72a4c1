// The speed-camera point file (.pot): one camera per line, read into the
// CameraTable when guidance starts and appended to by the "AD" button.
//
//   ORD=POI/tex=newオービス/kei=139'45'30'5/ido=35'40'12'5/deg=270
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_context.h"
#include "core/shared_state.h"
#include "gps/coordinates.h"
#include "guidance/text_file.h"

namespace tabiro {

constexpr std::size_t kCameraLineBytes = 199;
constexpr std::size_t kCameraTextBytes = 50;

struct CameraEntry {
  std::string text;  // at most 50 bytes, cut on a whole character
  Coordinates position;
  std::int32_t direction = 0;  // degrees, or CameraTable::kAnyDirection
  int line = 0;                // line of the file, from 1 (set by scanCameras)
};

// One line as the reader takes it. Keys are "tex=", "kei=", "ido=", "deg=",
// each looked for in lower case first and then in upper case; the first
// occurrence counts; a missing key gives the empty text or 0.
CameraEntry parseCameraLine(std::string_view line);

// The value of a D'M'S'T field (what follows "kei=" or "ido=", up to its
// "/"): degrees, minutes, whole seconds and tenths of a second.
std::int32_t parseDmst(std::string_view field);
// The D'M'S'T form the writer gives a coordinate ("139'45'30'5").
std::string formatDmst(std::int32_t value);

// The line the writer appends for a camera at `position` watching `heading`,
// CR LF included; without a heading "deg=" stays empty, which reads as any
// direction.
std::string speedCameraLine(Coordinates position, std::optional<std::int32_t> heading);

struct CameraScan {
  std::vector<CameraEntry> cameras;  // one per line, at most CameraTable::kRows
  std::vector<FileWarning> warnings;
};

// Reads a point file as the program does, without touching the profile.
// Lines beyond the table are counted (a TooManyEntries warning), not kept.
CameraScan scanCameras(std::istream& in);

// Puts the scan into rows 1 to n and clears every row after them, so that no
// camera of an earlier, longer file is left to raise an alarm.
void storeCameras(const CameraScan& scan, CameraTable& table);

// Loads the point file at `path` into the camera table; the scan comes back
// for its warnings. A file that cannot be opened is reported to the user and
// loads nothing; the result is then empty.
std::optional<CameraScan> loadCameras(AppContext& ctx, const std::string& path);

// Appends the current position and heading (positionNow) as a new camera to
// the file named in "Ovis" / "POT"; nothing when no file is named. Without a
// position, or at a zero one, it writes nothing and tells the driver why.
void addSpeedCamera(AppContext& ctx);

}  // namespace tabiro
