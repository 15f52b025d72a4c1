#include "gps/datum.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tabiro {
namespace {

// Metres between two nearby points, good to a millimetre over a kilometre.
double metresApart(GeoDegrees p, GeoDegrees q) {
  const double north = (p.latitude - q.latitude) * 111320.0;
  const double east = (p.longitude - q.longitude) * 111320.0 * std::cos(p.latitude * M_PI / 180);
  return std::hypot(north, east);
}

TEST(DatumTest, TokyoToWgs84MeetsTheSurveyedPointWithinHalfAMetre) {
  const GeoDegrees wgs84 = wgs84FromTokyo({35.71004, 139.81070});
  EXPECT_LT(metresApart(wgs84, {35.713277, 139.807461}), 0.5);
  EXPECT_LT(metresApart(tokyoFromWgs84({35.713277, 139.807461}), {35.71004, 139.81070}), 0.5);
}

TEST(DatumTest, EachDirectionUndoesTheOtherAcrossJapan) {
  const GeoDegrees places[] = {{43.06417, 141.34694}, {35.68944, 139.69167},
                               {26.21250, 127.68111}, {33.59028, 130.40167}};
  for (const GeoDegrees tokyo : places) {
    const GeoDegrees wgs84 = wgs84FromTokyo(tokyo);
    const double shift = metresApart(tokyo, wgs84);
    EXPECT_GT(shift, 350.0) << tokyo.latitude;
    EXPECT_LT(shift, 500.0) << tokyo.latitude;
    EXPECT_LT(metresApart(tokyoFromWgs84(wgs84), tokyo), 0.01) << tokyo.latitude;
  }
}

TEST(DatumTest, DegreesAndUnitsRoundToTheNearestUnit) {
  const Coordinates units = coordinatesFromDegrees({35.5, -139.25});
  EXPECT_EQ(units, (Coordinates{35 * kUnitsPerDegree + 30 * kUnitsPerMinute,
                                -(139 * kUnitsPerDegree + 15 * kUnitsPerMinute)}));
  EXPECT_EQ(coordinatesFromDegrees({1.4 / kUnitsPerDegree, 1.6 / kUnitsPerDegree}),
            (Coordinates{1, 2}));
  EXPECT_DOUBLE_EQ(degreesFromCoordinates(units).latitude, 35.5);
}

}  // namespace
}  // namespace tabiro
