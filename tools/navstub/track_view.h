// Where the replayed drive lies in a map view: the whole track fitted into a
// rectangle (north up, metres the same both ways) and the car's heading.
#pragma once

#include <cstddef>

#include "nmea.h"

namespace navstub {

struct Pixel {
  int x = 0;
  int y = 0;
};

class TrackProjection {
 public:
  // Fits the track into `width` × `height` pixels with `margin` pixels free
  // on every side. An empty or one-point track lies at the centre.
  TrackProjection(const Track& track, int width, int height, int margin);
  Pixel toPixel(const Fix& fix) const;

 private:
  double scale_ = 0;  // pixels per metre
  double centreNorth_ = 0, centreEast_ = 0;
  int centreX_ = 0, centreY_ = 0;
};

// Heading of the car at fix `index` in whole degrees (0 north, 90 east), from
// the last earlier fix at another place; 0 when it has not moved yet.
int headingAt(const Track& track, size_t index);

}  // namespace navstub
