// Any bytes as a route file, and as a pointCode.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz_check.h"
#include "guidance/route_file.h"

namespace {

using namespace tabiro;
using fuzz::check;

// All 32 bits set, scaled: no code decodes beyond it.
constexpr std::int32_t kLargestCoordinate = 331775884;

bool inRange(Coordinates p) {
  return p.latitude >= 0 && p.latitude <= kLargestCoordinate && p.longitude >= 0 &&
         p.longitude <= kLargestCoordinate;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  check(inRange(decodePointCode(bytes)), "a pointCode decodes within the circle");

  std::istringstream in(bytes);
  const RouteScan scan = scanRoute(in);
  const int lines = fuzz::fileLines(bytes);
  const bool full = scan.waypoints.size() == static_cast<std::size_t>(WaypointTable::kRows);
  check(scan.waypoints.size() <= static_cast<std::size_t>(WaypointTable::kRows),
        "no more waypoints than the table holds");
  int previousLine = 0;
  for (const RouteWaypoint& w : scan.waypoints) {
    // A marker ends its line, so two blocks never open on one line.
    check(w.line > previousLine && w.line <= lines, "blocks open on ascending lines of the file");
    previousLine = w.line;
    check(w.text.size() <= kRouteLineBytes - 8, "a waypoint text fits its line");
    check(inRange(w.position), "a waypoint lies within the circle");
  }
  for (const FileWarning& warning : scan.warnings) {
    check(warning.line >= 1 && warning.line <= lines, "a warning names a line of the file");
    if (warning.issue == FileIssue::TooManyEntries) {
      check(warning.count > 0 && full, "blocks are dropped only from a full table");
    }
  }

  WaypointTable table;
  check(storeRoute(scan, table) == static_cast<int>(scan.waypoints.size()),
        "the table takes every waypoint kept");
  return 0;
}
