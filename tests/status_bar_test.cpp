#include "gps/status_bar.h"

#include <gtest/gtest.h>

#include <limits>

namespace tabiro {
namespace {

// The texts as Navin' You shows them: label, separator, fields.
const std::string kSpeed = "時速：42km/h";
const std::string kLatitude = "北緯： 35度41分22.5秒";
const std::string kLongitude = "東経：139度45分10.3秒";

TEST(StatusSpeedTest, FirstRunOfDigitsAfterTheLabel) {
  EXPECT_EQ(parseSpeed(kSpeed), 42);
  EXPECT_EQ(parseSpeed("時速：km/h"), 0);
  EXPECT_EQ(parseSpeed("速度：42km/h"), std::nullopt);
  EXPECT_EQ(parseSpeed(""), std::nullopt);
}

TEST(StatusSpeedTest, DigitsBeyondNineteenBytesAreNotSeen) {
  EXPECT_EQ(parseSpeed("時速" + std::string(15, ' ') + "42"), 0);
  EXPECT_EQ(parseSpeed("時速" + std::string(14, ' ') + "42"), 4);
  EXPECT_EQ(parseSpeed(std::string("時速\0 42", 8)), 0);  // the text ends at a NUL
}

TEST(StatusPositionTest, LatitudeAndLongitudeFromTheirByteOffsets) {
  EXPECT_EQ(parseLatitude(kLatitude), (StatusCoordinate{32891520, "35:41:22.5"}));
  // 139 * 921600 + 45 * 15360 + 10.3 * 256 = 128796236.8
  EXPECT_EQ(parseLongitude(kLongitude), (StatusCoordinate{128796236, "139:45:10.3"}));
  EXPECT_EQ(parseLatitude(kLongitude), std::nullopt);
  EXPECT_EQ(parseLongitude(kLatitude), std::nullopt);
}

TEST(StatusPositionTest, MissingDigitsReadZeroAndShortTextsCopyWhatIsThere) {
  EXPECT_EQ(parseLatitude("北緯： 35度"), (StatusCoordinate{35 * 921600, "35::"}));
  EXPECT_EQ(parseLatitude("北緯"), (StatusCoordinate{0, "::"}));
  EXPECT_EQ(parseLatitude("北緯： 35度41分22秒"), (StatusCoordinate{32891392, "35:41:22秒"}));
}

TEST(StatusPositionTest, AbsurdNumbersStayInRange) {
  const auto huge = parseLatitude("北緯： 999999999999");
  ASSERT_TRUE(huge);
  EXPECT_EQ(huge->value, std::numeric_limits<std::int32_t>::max());
}

TEST(HeadingTest, CompassPoints) {
  const Coordinates here{32891520, 128796236};
  EXPECT_EQ(headingBetween(here, {here.latitude + 100, here.longitude}), 0);
  EXPECT_EQ(headingBetween(here, {here.latitude, here.longitude + 100}), 90);
  EXPECT_EQ(headingBetween(here, {here.latitude - 100, here.longitude}), 180);
  EXPECT_EQ(headingBetween(here, {here.latitude, here.longitude - 100}), 270);
  EXPECT_EQ(headingBetween(here, here), 90);
  // North-west by the 33:25 weights: 33 * 25 north against 25 * 33 west.
  EXPECT_EQ(headingBetween(here, {here.latitude + 25, here.longitude - 33}), 315);
}

// Truncated, not rounded, and with the program's own degree constant
// (180 / 3.14159), not 180 / pi: on the weighted diagonal they part.
TEST(HeadingTest, TruncatedWithTheProgramsConstant) {
  const Coordinates origin{0, 0};
  EXPECT_EQ(headingBetween(origin, {2, 1}), 20);     // 20.76
  EXPECT_EQ(headingBetween(origin, {25, 33}), 44);   // 44.99999: 45 with 180 / pi
}

TEST(HeadingTest, ExtremeDifferencesDoNotOverflow) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(headingBetween({kMin, 0}, {kMax, 0}), 0);
  EXPECT_EQ(headingBetween({kMax, 0}, {kMin, 0}), 180);
  EXPECT_EQ(headingBetween({0, kMax}, {0, kMin}), 270);
}

// Units of 1/256 arc-second per metre: 256 / 33 north, 256 / 25 east.
constexpr std::int32_t kNorthMetre = 8;  // 1.03 m
constexpr std::int32_t kEastMetre = 10;  // 0.98 m

TEST(HeadingFromMovesTest, KeptUntilTheCarIsFiveMetresFromWhereItWasLastMeasured) {
  struct Step {
    std::int32_t northMetres, eastMetres;  // the move since the previous fix
    std::int32_t heading;
    const char* why;
  };
  const Step steps[] = {
      {10, 0, 0, "10 m north"},
      {0, 0, 0, "standing at a light: not the 90 of atan2(0, 0)"},
      {0, 0, 0, "still standing"},
      {0, 3, 0, "3 m east is noise"},
      {0, 3, 90, "6 m east of where it was measured"},
      {-2, 0, 90, "crawling south, 2 m"},
      {-2, 0, 90, "4 m"},
      {-2, 0, 180, "6 m: the crawl turns the heading"},
  };
  Coordinates at{32891520, 128796236};
  HeadingFromMoves heading(at);
  std::int32_t h = 270;
  for (const Step& s : steps) {
    at = {at.latitude + s.northMetres * kNorthMetre, at.longitude + s.eastMetres * kEastMetre};
    h = heading.next(at, h);
    EXPECT_EQ(h, s.heading) << s.why;
  }
}

TEST(ApplyStatusTextsTest, BothPositionLabelsMakeAFixAndALabelledSpeedIsTakenAlways) {
  struct Case {
    std::string speed, latitude, longitude;
    bool position;
    std::int32_t speedKmh;
  };
  const Case cases[] = {
      {kSpeed, kLatitude, kLongitude, true, 42},
      {"時速：7km/h", "北緯： 10度00分00.0秒", "", false, 7},  // one position text only
      {"", kLatitude, kLongitude, true, 5},                     // the speed as it was
      {"", "", "", false, 5},  // Navin' You gone, or hung: no answer at all
  };
  const GpsFix before{32891520 - 1024, 128796236, 5, 123, "old", "older"};
  for (const Case& c : cases) {
    GpsFix fix = before;
    HeadingFromMoves heading({before.latitude, before.longitude});
    EXPECT_EQ(applyStatusTexts(fix, heading, c.speed, c.latitude, c.longitude), c.position)
        << c.latitude;
    EXPECT_EQ(fix.speedKmh, c.speedKmh) << c.speed;
    if (c.position) {
      EXPECT_EQ(fix, (GpsFix{32891520, 128796236, fix.speedKmh, 0, "35:41:22.5", "139:45:10.3"}));
    } else {
      EXPECT_EQ(fix, (GpsFix{before.latitude, before.longitude, fix.speedKmh, 123, "old", "older"}));
    }
  }
}

}  // namespace
}  // namespace tabiro
