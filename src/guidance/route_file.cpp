#include "guidance/route_file.h"

#include <algorithm>
#include <fstream>

#include "core/profile_keys.h"
#include "platform/hex.h"

namespace tabiro {

namespace {

// The marker with CR LF: what an editor that rewrites line ends makes of it.
bool isCrLfMarker(std::string_view line) {
  const std::string_view body = kRouteMarker.substr(0, kRouteMarker.size() - 1);
  return line.size() == body.size() + 2 && line.substr(0, body.size()) == body &&
         line.substr(body.size()) == "\r\n";
}

class RouteScanner {
 public:
  explicit RouteScanner(std::istream& in) : reader_(in, kRouteLineBytes) {}

  RouteScan run() {
    bool have = read();
    while (have) {
      if (line_ == kRouteMarker) {
        readBlock();
        have = read();
        continue;
      }
      if (isCrLfMarker(line_)) warn(FileIssue::CrLfMarker);
      // The line after a non-marker is read and dropped unexamined.
      if (!read()) break;
      if (line_ == kRouteMarker) {
        warn(FileIssue::MarkerSkipped);
      } else if (isCrLfMarker(line_)) {
        warn(FileIssue::CrLfMarker);
      }
      have = read();
    }
    if (notStored_ > 0) {
      scan_.warnings.push_back({FileIssue::TooManyEntries, firstNotStoredLine_, notStored_});
    }
    return std::move(scan_);
  }

 private:
  bool read() {
    if (!reader_.next(line_)) return false;
    if (reader_.cut() && reader_.fileLine() != lastLongLine_) {
      lastLongLine_ = reader_.fileLine();
      warn(FileIssue::LongLine);
    }
    return true;
  }

  void warn(FileIssue issue) { scan_.warnings.push_back({issue, reader_.fileLine(), 0}); }

  // Lines 2 to 7 of the block whose marker is the current line.
  void readBlock() {
    RouteWaypoint waypoint;
    waypoint.line = reader_.fileLine();
    int lines = 1;
    while (lines < kRouteBlockLines && read()) {
      ++lines;
      if (line_ == kRouteMarker) warn(FileIssue::MarkerInBlock);
      const std::string_view line = line_;
      if (lines == 4) waypoint.position = decodePointCode(line.substr(std::min<std::size_t>(2, line.size())));
      if (lines == 5) waypoint.text = line.substr(std::min<std::size_t>(8, line.size()));
    }
    if (lines < kRouteBlockLines) {
      scan_.warnings.push_back({FileIssue::BlockCutShort, waypoint.line, 0});
      // Without its code line the block has no position to guide to.
      if (lines < 4) return;
    }
    if (scan_.waypoints.size() < static_cast<std::size_t>(WaypointTable::kRows)) {
      scan_.waypoints.push_back(std::move(waypoint));
    } else if (notStored_++ == 0) {
      firstNotStoredLine_ = waypoint.line;
    }
  }

  LineReader reader_;
  std::string line_;
  RouteScan scan_;
  int lastLongLine_ = 0;
  int notStored_ = 0;
  int firstNotStoredLine_ = 0;
};

}  // namespace

Coordinates decodePointCode(std::string_view code) {
  std::uint32_t latitude = 0;
  std::uint32_t longitude = 0;
  for (std::size_t k = 0; k < 8; ++k) {
    const std::string_view pair = code.substr(std::min(2 * k, code.size()), 2);
    unsigned byte = 0;
    for (const char c : pair) {
      const int digit = hexValue(c);
      if (digit < 0) break;
      byte = byte * 16 + static_cast<unsigned>(digit);
    }
    for (int bit = 7; bit > 0; bit -= 2) {
      latitude = (latitude << 1) | ((byte >> bit) & 1U);
      longitude = (longitude << 1) | ((byte >> (bit - 1)) & 1U);
    }
  }
  return {truncateToInt32(latitude * kAngleScale), truncateToInt32(longitude * kAngleScale)};
}

RouteScan scanRoute(std::istream& in) { return RouteScanner(in).run(); }

int storeRoute(const RouteScan& scan, WaypointTable& table) {
  int number = 0;
  for (const RouteWaypoint& waypoint : scan.waypoints) {
    Waypoint& row = table.row(++number);
    store(row.latitude, waypoint.position.latitude);
    store(row.longitude, waypoint.position.longitude);
    row.text.set(waypoint.text);
  }
  return number;
}

std::optional<RouteScan> loadRoute(AppContext& ctx, const std::string& path) {
  std::ifstream file;
  if (!openForReading(file, path)) {
    ctx.popups.showError(fileOpenErrorText(path));
    return std::nullopt;
  }
  RouteScan scan = scanRoute(file);
  ctx.settings.writeInt(key::kWayPointMax, storeRoute(scan, ctx.state.waypoints));
  return scan;
}

void loadNoRoute(AppContext& ctx) {
  Waypoint& row = ctx.state.waypoints.row(1);
  store(row.latitude, kNoRouteLatitude);
  store(row.longitude, kNoRouteLongitude);
  row.text.set({});
  ctx.settings.writeInt(key::kWayPointMax, 1);
  ctx.view.setWaypointField(1);
}

}  // namespace tabiro
