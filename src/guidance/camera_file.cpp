#include "guidance/camera_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>

#include "core/profile_keys.h"
#include "gps/position_reader.h"
#include "platform/sjis.h"

namespace tabiro {

namespace {

// What follows the first `lower` key of the line, else the first `upper` one.
std::optional<std::string_view> valueAfter(std::string_view line, std::string_view lower,
                                           std::string_view upper) {
  for (const std::string_view key : {lower, upper}) {
    const std::size_t at = sjis::find(line, key);
    if (at != std::string_view::npos) return line.substr(at + key.size());
  }
  return std::nullopt;
}

// A field ends at its "/" or with the line.
std::string_view field(std::string_view rest) { return rest.substr(0, rest.find('/')); }

std::string_view withoutLineEnd(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

std::int32_t coordinateAfter(std::string_view line, std::string_view lower,
                             std::string_view upper) {
  const auto rest = valueAfter(line, lower, upper);
  return rest ? parseDmst(field(*rest)) : 0;
}

// "deg=" followed by nothing that reads as a number and not by CR LF: the
// camera then watches north only, though the user most likely meant "any".
bool directionReadsAsNorth(std::string_view line) {
  const auto rest = valueAfter(line, "deg=", "DEG=");
  return rest && *rest != "\r\n" && (rest->empty() || rest->front() < '0' || rest->front() > '9');
}

std::string formatInt(std::int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  return text;
}

}  // namespace

std::int32_t parseDmst(std::string_view field) {
  // Each part runs to the next apostrophe; a missing part reads as 0.
  std::uint32_t parts[4] = {0, 0, 0, 0};
  std::size_t at = 0;
  for (std::uint32_t& part : parts) {
    part = leadingUnsigned(field.substr(at));
    const std::size_t apostrophe = field.find('\'', at);
    if (apostrophe == std::string_view::npos) break;
    at = apostrophe + 1;
  }
  // The whole part in 32-bit arithmetic as the file's writers do it (wrapping
  // rather than undefined when a damaged field overflows), then the tenths.
  const std::uint32_t whole = parts[0] * 921600U + parts[1] * 15360U + parts[2] * 256U;
  return truncateToInt32(static_cast<std::int32_t>(whole) + parts[3] * 25.6);
}

std::string formatDmst(std::int32_t value) {
  const double v = value;
  const double degrees = std::trunc(v * 1.0850694444444444e-06);
  double rest = v - degrees * 921600;
  const double minutes = std::trunc(rest * 6.510416666666667e-05);
  rest -= minutes * 15360;
  const double seconds = std::trunc(rest * 0.00390625);
  const double tenths = std::trunc((rest - seconds * 256) * 0.0390625);
  char text[64];
  std::snprintf(text, sizeof text, "%d'%d'%d'%d", static_cast<int>(degrees),
                static_cast<int>(minutes), static_cast<int>(seconds), static_cast<int>(tenths));
  return text;
}

CameraEntry parseCameraLine(std::string_view line) {
  CameraEntry entry;
  if (const auto rest = valueAfter(line, "tex=", "TEX=")) {
    // The line end is no part of the spoken name.
    entry.text = sjis::truncate(withoutLineEnd(field(*rest)), kCameraTextBytes);
  }
  entry.position.longitude = coordinateAfter(line, "kei=", "KEI=");
  entry.position.latitude = coordinateAfter(line, "ido=", "IDO=");
  if (const auto rest = valueAfter(line, "deg=", "DEG=")) {
    entry.direction = *rest == "\r\n" ? CameraTable::kAnyDirection
                                      : truncateToInt32(leadingUnsigned(*rest));
  }
  return entry;
}

std::string speedCameraLine(Coordinates position, std::optional<std::int32_t> heading) {
  return "ORD=POI/tex=newオービス/kei=" + formatDmst(position.longitude) +
         "/ido=" + formatDmst(position.latitude) + "/deg=" + (heading ? formatInt(*heading) : "") +
         "\r\n";
}

CameraScan scanCameras(std::istream& in) {
  CameraScan scan;
  LineReader reader(in, kCameraLineBytes);
  std::string line;
  int lastLongLine = 0;
  int notStored = 0;
  int firstNotStoredLine = 0;
  while (reader.next(line)) {
    if (reader.cut() && reader.fileLine() != lastLongLine) {
      lastLongLine = reader.fileLine();
      scan.warnings.push_back({FileIssue::LongLine, lastLongLine, 0});
    }
    if (scan.cameras.size() >= static_cast<std::size_t>(CameraTable::kRows)) {
      if (notStored++ == 0) firstNotStoredLine = reader.fileLine();
      continue;
    }
    CameraEntry entry = parseCameraLine(line);
    entry.line = reader.fileLine();
    if (directionReadsAsNorth(line)) {
      scan.warnings.push_back({FileIssue::DirectionIsNorth, entry.line, 0});
    }
    scan.cameras.push_back(std::move(entry));
  }
  // The engine walks the rows up to the first one without a position.
  const auto hasPosition = [](const CameraEntry& e) {
    return e.position.latitude != 0 && e.position.longitude != 0;
  };
  const auto end = std::find_if_not(scan.cameras.begin(), scan.cameras.end(), hasPosition);
  if (end != scan.cameras.end()) {
    const int hidden = static_cast<int>(std::count_if(end + 1, scan.cameras.end(), hasPosition));
    if (hidden > 0) scan.warnings.push_back({FileIssue::ListEnds, end->line, hidden});
  }
  if (notStored > 0) {
    scan.warnings.push_back({FileIssue::TooManyEntries, firstNotStoredLine, notStored});
  }
  return scan;
}

void storeCameras(const CameraScan& scan, CameraTable& table) {
  const CameraEntry cleared;
  for (int number = 1; number <= CameraTable::kRows; ++number) {
    const std::size_t i = static_cast<std::size_t>(number - 1);
    const CameraEntry& entry = i < scan.cameras.size() ? scan.cameras[i] : cleared;
    Camera& row = table.row(number);
    row.text.set(entry.text);
    store(row.latitude, entry.position.latitude);
    store(row.longitude, entry.position.longitude);
    store(row.direction, entry.direction);
  }
}

std::optional<CameraScan> loadCameras(AppContext& ctx, const std::string& path) {
  std::ifstream file;
  if (!openForReading(file, path)) {
    ctx.popups.showError(fileOpenErrorText(path));
    return std::nullopt;
  }
  CameraScan scan = scanCameras(file);
  storeCameras(scan, ctx.state.cameras);
  return scan;
}

namespace {

constexpr const char* kNoPositionText =
    "現在位置が分からないため、オービスデータを追加できません。\n"
    "GPSの受信を確かめてから、もう一度押してください。";

// True when the file has a last line without its line end, which the
// appended line would otherwise be joined to (and lost in).
bool endsInsideLine(const std::string& path) {
  std::ifstream file;
  if (!openForReading(file, path)) return false;
  file.seekg(0, std::ios::end);
  if (!file || file.tellg() <= 0) return false;
  file.seekg(-1, std::ios::end);
  char last = '\n';
  file.get(last);
  return last != '\n';
}

}  // namespace

void addSpeedCamera(AppContext& ctx) {
  const std::string path = ctx.settings.readString(key::kPot);
  if (path.empty()) return;
  // A zero position would end the camera list at this line on the next load,
  // silencing every camera after it.
  const std::optional<PositionNow> now = positionNow(ctx);
  if (!now || now->position.latitude == 0 || now->position.longitude == 0) {
    ctx.popups.showError(kNoPositionText);
    return;
  }
  const std::string line = speedCameraLine(now->position, now->heading);
  const bool needsLineEnd = endsInsideLine(path);
  // Binary append: the line carries its own CR LF on every system.
  std::ofstream file(path, std::ios::binary | std::ios::app);
  if (!file) {
    ctx.popups.showError(fileOpenErrorText(path));
    return;
  }
  if (needsLineEnd) file << "\r\n";
  file << line;
  file.close();
  if (!file) ctx.popups.showError(fileWriteErrorText(path));
}

}  // namespace tabiro
