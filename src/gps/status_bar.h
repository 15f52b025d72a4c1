// The speed, latitude and longitude texts of Navin' You's status bar (parts
// 2, 3 and 4), and what the position reader makes of them each cycle:
//
//   "時速：42km/h"           the first run of digits anywhere
//   "北緯： 35度41分22.5秒"   degrees at byte 7, minutes at 11, seconds at 15
//   "東経：139度45分10.3秒"   degrees at byte 6, minutes at 11, seconds at 15
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/shared_state.h"
#include "gps/coordinates.h"

namespace tabiro {

// The reader looks at no more of a text than this (its 20-byte buffer);
// every field lies within it, and a longer text is cut, never spilled.
constexpr std::size_t kStatusTextBytes = 19;

// The text as the reader sees it: cut to kStatusTextBytes, ending at a NUL.
std::string_view statusTextSeen(std::string_view text);

// Speed in km/h from a text labelled "時速" (0 when it has no digits);
// nullopt for any other text, which leaves the speed as it was.
std::optional<std::int32_t> parseSpeed(std::string_view text);

struct StatusCoordinate {
  std::int32_t value = 0;  // 1/256 arc-second
  std::string text;        // "35:41:22.5" or "139:45:10.3", as logged
  bool operator==(const StatusCoordinate&) const = default;
};

// A text labelled "北緯" / "東経"; nullopt for any other text.
std::optional<StatusCoordinate> parseLatitude(std::string_view text);
std::optional<StatusCoordinate> parseLongitude(std::string_view text);

// Direction of travel from `from` to `to` in whole degrees, 0 north to 359;
// 90 when the two are equal.
std::int32_t headingBetween(Coordinates from, Coordinates to);

// One cycle of the position reader: the speed when its label matches; the
// position, its texts and the heading from the previous position only when
// both position labels match.
void applyStatusTexts(GpsFix& fix, std::string_view speedText, std::string_view latitudeText,
                      std::string_view longitudeText);

}  // namespace tabiro
