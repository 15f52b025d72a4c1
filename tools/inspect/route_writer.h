// Writing a route file (.nyp) that the route reader loads byte for byte:
// one seven-line block a waypoint, every line ended by a line feed alone.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "gps/coordinates.h"
#include "guidance/route_file.h"

namespace tabiro::inspect {

// The reader takes a line in one piece only up to its 39 bytes, line feed
// included, and the text starts at the line's ninth byte.
constexpr std::size_t kWaypointTextBytes = kRouteLineBytes - 8 - 1;
// The largest coordinate a pointCode holds (a full circle).
constexpr std::int32_t kLargestCodedCoordinate = 331775884;

// The 16 hex digits of a pointCode that decodes to exactly `position`; each
// coordinate 0 to kLargestCodedCoordinate.
std::string encodePointCode(Coordinates position);

struct RouteWaypointSpec {
  Coordinates position;
  std::string text;  // Shift-JIS, at most kWaypointTextBytes, no line end
};

std::string routeFileText(const std::vector<RouteWaypointSpec>& waypoints);

}  // namespace tabiro::inspect
