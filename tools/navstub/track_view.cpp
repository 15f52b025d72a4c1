#include "track_view.h"

#include <algorithm>
#include <cmath>

namespace navstub {

namespace {

// Metres per tenth of an arc-second, with the weights the toolbar uses.
constexpr double kNorthMetres = 3.3;
constexpr double kEastMetres = 2.5;

}  // namespace

TrackProjection::TrackProjection(const Track& track, int width, int height, int margin)
    : centreX_(width / 2), centreY_(height / 2) {
  if (track.empty()) return;
  double south = track[0].latitude, north = south, west = track[0].longitude, east = west;
  for (size_t i = 1; i < track.size(); ++i) {
    south = std::min<double>(south, track[i].latitude);
    north = std::max<double>(north, track[i].latitude);
    west = std::min<double>(west, track[i].longitude);
    east = std::max<double>(east, track[i].longitude);
  }
  centreNorth_ = (south + north) / 2 * kNorthMetres;
  centreEast_ = (west + east) / 2 * kEastMetres;
  // Spans of at least a metre, so that a straight or standing drive still fits.
  const double spanNorth = std::max((north - south) * kNorthMetres, 1.0);
  const double spanEast = std::max((east - west) * kEastMetres, 1.0);
  scale_ = std::max(0.0, std::min((width - 2.0 * margin) / spanEast, (height - 2.0 * margin) / spanNorth));
}

Pixel TrackProjection::toPixel(const Fix& fix) const {
  const double east = fix.longitude * kEastMetres - centreEast_;
  const double north = fix.latitude * kNorthMetres - centreNorth_;
  return {centreX_ + static_cast<int>(std::lround(east * scale_)),
          centreY_ - static_cast<int>(std::lround(north * scale_))};
}

int headingAt(const Track& track, size_t index) {
  if (index >= track.size()) return 0;
  const Fix& here = track[index];
  for (size_t i = index; i-- > 0;) {
    const double north = (here.latitude - track[i].latitude) * kNorthMetres;
    const double east = (here.longitude - track[i].longitude) * kEastMetres;
    if (north == 0 && east == 0) continue;
    const double degrees = std::atan2(east, north) * 180 / 3.14159265358979323846;
    return (static_cast<int>(std::lround(degrees)) + 360) % 360;
  }
  return 0;
}

}  // namespace navstub
