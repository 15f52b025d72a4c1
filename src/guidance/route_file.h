// The route file (.nyp): blocks of seven lines, each opened by a marker line,
// that give the waypoints of the route guidance.
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

// The line that opens a block, byte for byte, its line feed included.
constexpr std::string_view kRouteMarker = "NPOIs100@NRA/R1;\n";
constexpr std::size_t kRouteLineBytes = 39;
constexpr int kRouteBlockLines = 7;
// A block's 32-bit code values divide a full circle into about 2^32 parts.
constexpr double kAngleScale = 0.07724759275912921;

// The position of the "no route" row: 180 degrees and 90 degrees, a point no
// drive reaches, so that only the speed-camera alarms stay active.
constexpr std::int32_t kNoRouteLatitude = 165888000;
constexpr std::int32_t kNoRouteLongitude = 82944000;

// Decodes a pointCode, the 16 hex digits after the first two bytes of a
// block's fourth line: latitude and longitude bits interleaved, latitude
// taking the higher bit of every pair. A pair reads up to its first non-hex
// digit; nothing read gives 0.
Coordinates decodePointCode(std::string_view code);

struct RouteWaypoint {
  Coordinates position;
  std::string text;  // from the ninth byte of the fifth line, line end included
  int line = 0;      // line of the file that holds the marker
};

struct RouteScan {
  std::vector<RouteWaypoint> waypoints;  // at most WaypointTable::kRows
  std::vector<FileWarning> warnings;
};

// Reads a route file as the program does, without touching the profile.
// Blocks beyond the table are counted (a TooManyEntries warning), not kept.
RouteScan scanRoute(std::istream& in);

// Puts the scan into rows 1 to n and returns n. Later rows keep what they
// held: every user of the table reads the count from "WayPointMax".
int storeRoute(const RouteScan& scan, WaypointTable& table);

// Loads the route file at `path` into the table and writes "Rot" /
// "WayPointMax"; the scan comes back for its warnings. A file that cannot be
// opened is reported to the user and loads nothing; the result is then empty
// so that guidance does not start.
std::optional<RouteScan> loadRoute(AppContext& ctx, const std::string& path);

// Guidance without a route: one unreachable waypoint and the waypoint field at 1.
void loadNoRoute(AppContext& ctx);

}  // namespace tabiro
