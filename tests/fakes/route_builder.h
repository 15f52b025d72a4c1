// Route files for any position, for tests of everything that reads them:
//
//   writeFile(path, routeFileText({{{32873600, 128801408}, "右折"}}));
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gps/coordinates.h"
#include "route_writer.h"

namespace tabiro::testing {

// The 16 hex digits of a pointCode that decodes to exactly `position`.
using inspect::encodePointCode;

struct RouteBlockSpec {
  Coordinates position;
  std::string text;  // the waypoint text; a line feed is added
};

// One seven-line block, lines ended by a line feed as the reader expects.
std::string routeBlock(const RouteBlockSpec& block);
std::string routeFileText(const std::vector<RouteBlockSpec>& blocks);

}  // namespace tabiro::testing
