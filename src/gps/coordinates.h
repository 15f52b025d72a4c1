// Positions in the unit of every GPS and guidance value: signed 32-bit
// integers in 1/256 arc-second, latitude north and longitude east.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

namespace tabiro {

constexpr std::int32_t kUnitsPerDegree = 921600;
constexpr std::int32_t kUnitsPerMinute = 15360;
constexpr std::int32_t kUnitsPerSecond = 256;

struct Coordinates {
  std::int32_t latitude = 0;
  std::int32_t longitude = 0;
  bool operator==(const Coordinates&) const = default;
};

// Metres between two positions: the unit is 33 m per 256 north and 25 m per
// 256 east, so that one formula serves every part of Japan.
inline double metresBetween(Coordinates from, Coordinates to) {
  const std::int64_t north = 33 * (std::int64_t{to.latitude} - from.latitude);
  const std::int64_t east = 25 * (std::int64_t{to.longitude} - from.longitude);
  return std::hypot(static_cast<double>(north), static_cast<double>(east)) / 256;
}

// A value worked out in floating point, truncated toward zero. Numbers out of
// the 32-bit range (only a damaged file or text can make them) stop at its
// ends instead of being undefined.
inline std::int32_t truncateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    return std::numeric_limits<std::int32_t>::max();
  }
  if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(value);
}

// The unsigned decimal number at the start of `text`: reading stops at the
// first byte that is not a digit, no digit gives 0, and a run too long for 32
// bits stops at the largest value. The status bar and both guidance files
// read their numbers this way.
inline std::uint32_t leadingUnsigned(std::string_view text) {
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > std::numeric_limits<std::uint32_t>::max()) {
      return std::numeric_limits<std::uint32_t>::max();
    }
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace tabiro
