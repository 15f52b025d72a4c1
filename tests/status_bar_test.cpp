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

TEST(ApplyStatusTextsTest, OneCycleUpdatesSpeedPositionTextsAndHeading) {
  GpsFix fix;
  store(fix.latitude, 32891520 - 256);
  store(fix.longitude, 128796236);
  applyStatusTexts(fix, kSpeed, kLatitude, kLongitude);
  EXPECT_EQ(load(fix.speedKmh), 42);
  EXPECT_EQ(load(fix.latitude), 32891520);
  EXPECT_EQ(load(fix.longitude), 128796236);
  EXPECT_EQ(fix.latitudeText.get(), "35:41:22.5");
  EXPECT_EQ(fix.longitudeText.get(), "139:45:10.3");
  EXPECT_EQ(load(fix.heading), 0);
  // The same position again: atan2(0, 0) points east.
  applyStatusTexts(fix, kSpeed, kLatitude, kLongitude);
  EXPECT_EQ(load(fix.heading), 90);
}

TEST(ApplyStatusTextsTest, MismatchedLabelsLeaveTheirFieldsAsTheyWere) {
  GpsFix fix;
  applyStatusTexts(fix, kSpeed, kLatitude, kLongitude);
  store(fix.heading, 123);
  // Only one position text matches: neither is used, the speed still is.
  applyStatusTexts(fix, "時速：7km/h", "北緯： 10度00分00.0秒", "");
  EXPECT_EQ(load(fix.speedKmh), 7);
  EXPECT_EQ(load(fix.latitude), 32891520);
  EXPECT_EQ(fix.latitudeText.get(), "35:41:22.5");
  EXPECT_EQ(load(fix.heading), 123);
  // Navin' You gone: every text empty, nothing changes.
  applyStatusTexts(fix, "", "", "");
  EXPECT_EQ(load(fix.speedKmh), 7);
  EXPECT_EQ(load(fix.longitude), 128796236);
}

}  // namespace
}  // namespace tabiro
