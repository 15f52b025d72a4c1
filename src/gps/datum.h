// The two datums a position can be in: the Tokyo datum of the map programs'
// route and point files, and WGS84, which every GPS receiver and every file
// from open data speaks. Across Japan they lie 400 to 490 m apart.
#pragma once

#include "gps/coordinates.h"

namespace tabiro {

// Degrees, north and east positive.
struct GeoDegrees {
  double latitude = 0;
  double longitude = 0;
};

// The three-parameter geocentric shift between the Bessel 1841 ellipsoid of
// the Tokyo datum and WGS84, on the ground (height 0); the second undoes the
// first to well under a centimetre.
GeoDegrees wgs84FromTokyo(GeoDegrees tokyo);
GeoDegrees tokyoFromWgs84(GeoDegrees wgs84);

// Degrees to and from 1/256 arc-second units, rounded to the nearest unit.
Coordinates coordinatesFromDegrees(GeoDegrees degrees);
GeoDegrees degreesFromCoordinates(Coordinates coordinates);

}  // namespace tabiro
