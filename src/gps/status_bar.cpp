#include "gps/status_bar.h"

#include <cmath>

namespace tabiro {

namespace {

constexpr std::string_view kSpeedLabel = "時速";
constexpr std::string_view kLatitudeLabel = "北緯";
constexpr std::string_view kLongitudeLabel = "東経";
constexpr std::size_t kLabelBytes = 4;
constexpr std::size_t kMinutesAt = 11;
constexpr std::size_t kSecondsAt = 15;
constexpr std::size_t kSecondsChars = 4;

// The bytes from `at` on (empty past the end).
std::string_view from(std::string_view text, std::size_t at) {
  return at < text.size() ? text.substr(at) : std::string_view();
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Digits, optionally a point and more digits.
double leadingDecimal(std::string_view text) {
  double value = leadingUnsigned(text);
  std::size_t i = 0;
  while (i < text.size() && isDigit(text[i])) ++i;
  if (i < text.size() && text[i] == '.') {
    // One division, so that "22.3" is the same number as the literal 22.3.
    double fraction = 0;
    double scale = 1;
    for (++i; i < text.size() && isDigit(text[i]); ++i) {
      fraction = fraction * 10 + (text[i] - '0');
      scale *= 10;
    }
    value += fraction / scale;
  }
  return value;
}

std::optional<StatusCoordinate> parseCoordinate(std::string_view text, std::string_view label,
                                                std::size_t degreesAt, std::size_t degreeChars) {
  text = statusTextSeen(text);
  if (text.substr(0, kLabelBytes) != label) return std::nullopt;
  const double degrees = leadingUnsigned(from(text, degreesAt));
  const double minutes = leadingUnsigned(from(text, kMinutesAt));
  const double seconds = leadingDecimal(from(text, kSecondsAt));
  StatusCoordinate result;
  result.value = truncateToInt32(kUnitsPerDegree * degrees + kUnitsPerMinute * minutes +
                                 kUnitsPerSecond * seconds);
  result.text = std::string(from(text, degreesAt).substr(0, degreeChars)) + ":" +
                std::string(from(text, kMinutesAt).substr(0, 2)) + ":" +
                std::string(from(text, kSecondsAt).substr(0, kSecondsChars));
  return result;
}

}  // namespace

std::string_view statusTextSeen(std::string_view text) {
  text = text.substr(0, kStatusTextBytes);
  return text.substr(0, text.find('\0'));
}

std::optional<std::int32_t> parseSpeed(std::string_view text) {
  text = statusTextSeen(text);
  if (text.substr(0, kLabelBytes) != kSpeedLabel) return std::nullopt;
  std::size_t i = 0;
  while (i < text.size() && !isDigit(text[i])) ++i;
  return truncateToInt32(leadingUnsigned(from(text, i)));
}

std::optional<StatusCoordinate> parseLatitude(std::string_view text) {
  return parseCoordinate(text, kLatitudeLabel, 7, 2);
}

std::optional<StatusCoordinate> parseLongitude(std::string_view text) {
  return parseCoordinate(text, kLongitudeLabel, 6, 3);
}

std::int32_t headingBetween(Coordinates from, Coordinates to) {
  // 64-bit differences: 33 times a 32-bit difference does not fit 32 bits.
  const std::int64_t y = 33 * (std::int64_t{to.latitude} - from.latitude);
  const std::int64_t x = 25 * (std::int64_t{to.longitude} - from.longitude);
  const double a = std::atan2(static_cast<double>(y), static_cast<double>(x));
  // 57.29579143313326 is 180 / 3.14159; truncation comes before the
  // wrap-around, so due north (-0.0002) is 0 and never 359.
  auto h = static_cast<std::int32_t>(90 - a * 57.29579143313326);
  if (h < 0) h += 360;
  return h;
}

std::int32_t HeadingFromMoves::next(Coordinates to, std::int32_t previousHeading) {
  if (metresBetween(from_, to) < kHeadingMinMetres) return previousHeading;
  const std::int32_t heading = headingBetween(from_, to);
  from_ = to;
  return heading;
}

bool applyStatusTexts(GpsFix& fix, HeadingFromMoves& heading, std::string_view speedText,
                      std::string_view latitudeText, std::string_view longitudeText) {
  if (const auto speed = parseSpeed(speedText)) fix.speedKmh = *speed;
  const auto latitude = parseLatitude(latitudeText);
  const auto longitude = parseLongitude(longitudeText);
  // The two position texts count only together.
  if (!latitude || !longitude) return false;
  fix.latitude = latitude->value;
  fix.latitudeText = latitude->text;
  fix.longitude = longitude->value;
  fix.longitudeText = longitude->text;
  fix.heading = heading.next({fix.latitude, fix.longitude}, fix.heading);
  return true;
}

}  // namespace tabiro
