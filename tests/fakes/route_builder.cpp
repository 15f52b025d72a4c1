#include "fakes/route_builder.h"

#include "guidance/route_file.h"
#include "route_writer.h"

namespace tabiro::testing {

std::string routeBlock(const RouteBlockSpec& block) {
  return std::string(kRouteMarker) + "line2\nline3\nPC" + encodePointCode(block.position) +
         "\nTEXT0001" + block.text + "\nline6\nline7\n";
}

std::string routeFileText(const std::vector<RouteBlockSpec>& blocks) {
  std::string text;
  for (const RouteBlockSpec& block : blocks) text += routeBlock(block);
  return text;
}

}  // namespace tabiro::testing
