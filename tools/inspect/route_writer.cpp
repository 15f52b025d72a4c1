#include "route_writer.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace tabiro::inspect {

namespace {

// The smallest code value whose scaled, truncated value is `target`.
std::uint32_t codeValue(std::int32_t target) {
  if (target < 0 || target > kLargestCodedCoordinate) {
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

std::string routeFileText(const std::vector<RouteWaypointSpec>& waypoints) {
  std::string text;
  int number = 0;
  for (const RouteWaypointSpec& w : waypoints) {
    char textNumber[16];
    std::snprintf(textNumber, sizeof textNumber, "TEXT%04d", ++number % 10000);
    text += std::string(kRouteMarker) + "NAME=" + std::to_string(number) + "\nTYPE=" +
            (number == static_cast<int>(waypoints.size()) ? "GOAL" : "TURN") + "\nPC" +
            encodePointCode(w.position) + "\n" + textNumber + w.text + "\n-\n-\n";
  }
  return text;
}

}  // namespace tabiro::inspect
