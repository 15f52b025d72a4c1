#include "gps/datum.h"

#include <cmath>
#include <numbers>

namespace tabiro {
namespace {

struct Ellipsoid {
  double a;  // semi-major axis, metres
  double inverseFlattening;
  double e2() const {
    const double f = 1.0 / inverseFlattening;
    return f * (2.0 - f);
  }
};

constexpr Ellipsoid kBessel1841{6377397.155, 299.1528128};
constexpr Ellipsoid kWgs84{6378137.0, 298.257223563};

// Tokyo datum to WGS84, metres.
constexpr double kShiftX = -146.414;
constexpr double kShiftY = 507.337;
constexpr double kShiftZ = 680.507;

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

struct Geocentric {
  double x, y, z;
};

Geocentric toGeocentric(GeoDegrees p, const Ellipsoid& e) {
  const double phi = p.latitude * kRadiansPerDegree;
  const double lambda = p.longitude * kRadiansPerDegree;
  const double n = e.a / std::sqrt(1.0 - e.e2() * std::sin(phi) * std::sin(phi));
  return {n * std::cos(phi) * std::cos(lambda), n * std::cos(phi) * std::sin(lambda),
          n * (1.0 - e.e2()) * std::sin(phi)};
}

GeoDegrees fromGeocentric(Geocentric g, const Ellipsoid& e) {
  const double p = std::hypot(g.x, g.y);
  // The latitude by fixed-point iteration; a few rounds reach a millimetre.
  double phi = std::atan2(g.z, p * (1.0 - e.e2()));
  for (int round = 0; round < 8; ++round) {
    const double n = e.a / std::sqrt(1.0 - e.e2() * std::sin(phi) * std::sin(phi));
    const double h = p / std::cos(phi) - n;
    phi = std::atan2(g.z, p * (1.0 - e.e2() * n / (n + h)));
  }
  return {phi / kRadiansPerDegree, std::atan2(g.y, g.x) / kRadiansPerDegree};
}

GeoDegrees shifted(GeoDegrees p, const Ellipsoid& from, const Ellipsoid& to, double sign) {
  const Geocentric g = toGeocentric(p, from);
  return fromGeocentric({g.x + sign * kShiftX, g.y + sign * kShiftY, g.z + sign * kShiftZ}, to);
}

}  // namespace

GeoDegrees wgs84FromTokyo(GeoDegrees tokyo) { return shifted(tokyo, kBessel1841, kWgs84, 1.0); }

GeoDegrees tokyoFromWgs84(GeoDegrees wgs84) { return shifted(wgs84, kWgs84, kBessel1841, -1.0); }

Coordinates coordinatesFromDegrees(GeoDegrees degrees) {
  return {truncateToInt32(std::round(degrees.latitude * kUnitsPerDegree)),
          truncateToInt32(std::round(degrees.longitude * kUnitsPerDegree))};
}

GeoDegrees degreesFromCoordinates(Coordinates coordinates) {
  return {static_cast<double>(coordinates.latitude) / kUnitsPerDegree,
          static_cast<double>(coordinates.longitude) / kUnitsPerDegree};
}

}  // namespace tabiro
