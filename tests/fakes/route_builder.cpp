#include "fakes/route_builder.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "guidance/route_file.h"

namespace tabiro::testing {

namespace {

// The smallest code value whose scaled, truncated value is `target`.
std::uint32_t codeValue(std::int32_t target) {
  if (target < 0 || target > truncateToInt32(4294967295.0 * kAngleScale)) {
    throw std::out_of_range("coordinate cannot be encoded in a pointCode");
  }
  auto scaled = [](std::uint64_t u) { return static_cast<std::int64_t>(u * kAngleScale); };
  auto u = static_cast<std::uint64_t>(std::ceil(target / kAngleScale));
  while (u > 0 && scaled(u - 1) >= target) --u;
  while (scaled(u) < target) ++u;
  return static_cast<std::uint32_t>(u);
}

}  // namespace

std::string encodePointCode(Coordinates position) {
  const std::uint32_t latitude = codeValue(position.latitude);
  const std::uint32_t longitude = codeValue(position.longitude);
  std::string code;
  for (int k = 0; k < 8; ++k) {
    unsigned byte = 0;
    for (int pair = 0; pair < 4; ++pair) {
      const int bit = 31 - (4 * k + pair);
      byte = (byte << 2) | (((latitude >> bit) & 1U) << 1) | ((longitude >> bit) & 1U);
    }
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", byte);
    code += hex;
  }
  return code;
}

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
