// Any bytes as the three status-bar texts: the speed, the latitude and the
// longitude text, one a line. Sixteen bytes after the third line, when there
// are that many, are the position before and a position to head for.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "fuzz_check.h"
#include "gps/status_bar.h"

namespace {

using namespace tabiro;
using fuzz::check;

// The next line of `rest` without its line feed; `rest` keeps what follows.
std::string_view takeLine(std::string_view& rest) {
  const std::size_t end = rest.find('\n');
  const std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return line;
}

bool isHeading(std::int32_t h) { return h >= 0 && h <= 359; }

}  // namespace

// The labels are Shift-JIS in this build, or no seed would reach past them
// and the fuzzing would be hollow. The texts are spelled out as bytes so
// that they do not depend on how literals are compiled.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const auto speed = parseSpeed("\x8e\x9e\x91\xac\x81" "F42km/h");  // 時速：42km/h
  check(speed && *speed == 42, "the speed label is Shift-JIS");
  const auto latitude =  // 北緯： 35度41分22.5秒
      parseLatitude("\x96k\x88\xdc\x81" "F 35\x93x41\x95\xaa" "22.5\x95" "b");
  check(latitude && latitude->text == "35:41:22.5", "the latitude label is Shift-JIS");
  const auto longitude =  // 東経：139度45分10.3秒
      parseLongitude("\x93\x8c\x8co\x81" "F139\x93x45\x95\xaa" "10.3\x95" "b");
  check(longitude && longitude->text == "139:45:10.3", "the longitude label is Shift-JIS");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string_view speedText = takeLine(rest);
  const std::string_view latitudeText = takeLine(rest);
  const std::string_view longitudeText = takeLine(rest);
  Coordinates from{}, to{};
  if (rest.size() >= 16) {
    std::memcpy(&from, rest.data(), 8);
    std::memcpy(&to, rest.data() + 8, 8);
  }
  check(isHeading(headingBetween(from, to)), "a heading is a whole degree below 360");

  for (const std::string_view text : {speedText, latitudeText, longitudeText}) {
    const std::string_view seen = statusTextSeen(text);
    check(seen.size() <= kStatusTextBytes && seen.find('\0') == std::string_view::npos,
          "the reader sees at most its buffer, up to a NUL");
  }

  const auto speed = parseSpeed(speedText);
  const auto latitude = parseLatitude(latitudeText);
  const auto longitude = parseLongitude(longitudeText);
  check(!speed || *speed >= 0, "a speed is never negative");
  check(!latitude || (latitude->value >= 0 && latitude->text.size() <= 10),
        "a latitude is north and its text as logged");
  check(!longitude || (longitude->value >= 0 && longitude->text.size() <= 11),
        "a longitude is east and its text as logged");

  GpsFix fix{from.latitude, from.longitude, -1, -1, "", ""};
  HeadingFromMoves heading(from);
  const bool read = applyStatusTexts(fix, heading, speedText, latitudeText, longitudeText);
  check(fix.speedKmh == (speed ? *speed : -1), "only a labelled speed is taken");
  check(read == (latitude && longitude), "a position counts only with both labels");
  if (read) {
    check(fix.latitude == latitude->value && fix.longitude == longitude->value &&
              fix.latitudeText == latitude->text && fix.longitudeText == longitude->text,
          "both labelled positions are taken");
    const bool moved = metresBetween(from, {fix.latitude, fix.longitude}) >= kHeadingMinMetres;
    check(moved ? isHeading(fix.heading) : fix.heading == -1,
          "a move heads a whole degree below 360; a step of noise keeps the heading");
  } else {
    check(fix.latitude == from.latitude && fix.longitude == from.longitude && fix.heading == -1,
          "a position is taken only with both labels");
  }
  return 0;
}
