// Native tests of the stand-in's status bar texts, its NMEA reading and its
// switch parsing: the toolbar's position reader depends on these bytes.
#include <gtest/gtest.h>

#include <sstream>

#include "nmea.h"
#include "status_text.h"
#include "track_view.h"
#include "stub.h"

namespace navstub {
namespace {

constexpr int32_t dms(int d, int m, int tenthsOfSeconds) { return d * kTenthsPerDegree + m * 600 + tenthsOfSeconds; }

TEST(StatusText, LatitudeFieldsSitAtBytes7_11_15) {
  std::string t = latitudeText(dms(35, 41, 225));
  EXPECT_EQ(t.substr(0, 4), "北緯");
  EXPECT_EQ(t.substr(7, 2), "35");
  EXPECT_EQ(t.substr(11, 2), "41");
  EXPECT_EQ(t.substr(15, 4), "22.5");
  EXPECT_EQ(static_cast<unsigned char>(t[9]) & 0x80, 0x80) << "a two-byte separator after the degrees";
  EXPECT_EQ(static_cast<unsigned char>(t[13]) & 0x80, 0x80) << "a two-byte separator after the minutes";
}

TEST(StatusText, LongitudeFieldsSitAtBytes6_11_15) {
  std::string t = longitudeText(dms(139, 45, 123));
  EXPECT_EQ(t.substr(0, 4), "東経");
  EXPECT_EQ(t.substr(6, 3), "139");
  EXPECT_EQ(t.substr(11, 2), "45");
  EXPECT_EQ(t.substr(15, 4), "12.3");
}

TEST(StatusText, SmallValuesAreZeroPaddedSoOffsetsHold) {
  std::string lat = latitudeText(dms(5, 3, 7));
  EXPECT_EQ(lat.substr(7, 2), "05");
  EXPECT_EQ(lat.substr(11, 2), "03");
  EXPECT_EQ(lat.substr(15, 4), "00.7");
  EXPECT_EQ(longitudeText(dms(9, 0, 0)).substr(6, 3), "009");
}

TEST(StatusText, SpeedDigitsFollowTheLabel) {
  std::string t = speedText(42);
  EXPECT_EQ(t.substr(0, 4), "時速");
  EXPECT_NE(t.find("42"), std::string::npos);
  EXPECT_NE(speedText(-3).find('0'), std::string::npos);
}

TEST(Nmea, ReadsTimePositionAndSpeed) {
  auto fix = parseRmc("$GPRMC,123519.00,A,3541.3750,N,13945.2050,E,21.6,84.4,070326,,,A*51\r");
  ASSERT_TRUE(fix) << "checksum or fields rejected";
  EXPECT_EQ(fix->timeMs, ((12 * 60 + 35) * 60 + 19) * 1000);
  EXPECT_EQ(fix->latitude, dms(35, 41, 225));   // 41.3750' = 41' 22.50"
  EXPECT_EQ(fix->longitude, dms(139, 45, 123));  // 45.2050' = 45' 12.30"
  EXPECT_EQ(fix->speedKmh, 40);                  // 21.6 kn = 40.0 km/h
}

TEST(Nmea, RejectsBadChecksumVoidFixOtherSentencesAndGarbage) {
  EXPECT_FALSE(parseRmc("$GPRMC,123519.00,A,3541.3750,N,13945.2050,E,21.6,84.4,070326,,,A*52"));
  EXPECT_FALSE(parseRmc("$GPRMC,123519.00,V,3541.3750,N,13945.2050,E,21.6,84.4,070326,,,N*49"));
  EXPECT_FALSE(parseRmc("$GPGGA,123519.00,3541.3750,N,13945.2050,E,1,08,0.9,40.0,M,39.5,M,,*54"));
  EXPECT_FALSE(parseRmc("$GPRMC,1235,A,35x1.3750,N,13945.2050,E,21.6,84.4,070326,,,A*00"));
  EXPECT_FALSE(parseRmc(""));
  EXPECT_FALSE(parseRmc("$*"));
}

std::string sentence(const std::string& body) {
  unsigned sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X", sum);
  return "$" + body + tail;
}

TEST(Track, TimesAreRelativeAndCrossMidnight) {
  std::stringstream in;
  in << sentence("GPRMC,235958,A,3540.0000,N,13946.0000,E,0.0,0.0,070326,,,A") << "\n"
     << "noise line\n"
     << sentence("GPRMC,235959,A,3540.0000,N,13946.0000,E,0.0,0.0,070326,,,A") << "\n"
     << sentence("GPRMC,000001,A,3540.0000,N,13946.0000,E,0.0,0.0,080326,,,A") << "\n";
  Track track = Track::read(in);
  ASSERT_EQ(track.size(), 3u);
  EXPECT_EQ(track[0].timeMs, 0);
  EXPECT_EQ(track[1].timeMs, 1000);
  EXPECT_EQ(track[2].timeMs, 3000);
}

TEST(Track, IndexFollowsElapsedTimeTimesSpeed) {
  std::vector<Fix> fixes(4);
  for (int i = 0; i < 4; ++i) fixes[i].timeMs = 1000 * i;
  Track track(fixes);
  EXPECT_EQ(track.indexAt(0, 1), 0u);
  EXPECT_EQ(track.indexAt(999, 1), 0u);
  EXPECT_EQ(track.indexAt(1000, 1), 1u);
  EXPECT_EQ(track.indexAt(250, 10), 2u);
  EXPECT_EQ(track.indexAt(100000, 1), 3u);
}

Fix at(int32_t northTenths, int32_t eastTenths) {
  Fix fix;
  fix.latitude = dms(35, 40, 0) + northTenths;
  fix.longitude = dms(139, 45, 0) + eastTenths;
  return fix;
}

// A drive 330 m north then 500 m east: metres keep their size both ways, north
// is up, and the whole drive lies inside the margins.
TEST(TrackView, FitsTheDriveNorthUpWithEqualMetres) {
  Track track({at(0, 0), at(1000, 0), at(1000, 2000)});
  TrackProjection p(track, 520, 400, 10);
  const Pixel start = p.toPixel(track[0]), corner = p.toPixel(track[1]), end = p.toPixel(track[2]);
  EXPECT_EQ(start.x, corner.x);
  EXPECT_LT(corner.y, start.y) << "north is up";
  EXPECT_EQ(corner.y, end.y);
  EXPECT_GT(end.x, corner.x) << "east is right";
  EXPECT_NEAR(double(end.x - corner.x) / (start.y - corner.y), 500.0 / 330.0, 0.02);
  EXPECT_EQ(start.x, 10) << "the widest span fills the width between the margins";
  EXPECT_EQ(end.x, 510);
  EXPECT_GE(corner.y, 10);
  EXPECT_LE(start.y, 390);
}

TEST(TrackView, OnePointOrNoTrackSitsAtTheCentre) {
  Track one({at(5, 5)});
  EXPECT_EQ(TrackProjection(one, 200, 100, 10).toPixel(one[0]).x, 100);
  EXPECT_EQ(TrackProjection(one, 200, 100, 10).toPixel(one[0]).y, 50);
  Track none{std::vector<Fix>{}};
  EXPECT_EQ(TrackProjection(none, 200, 100, 10).toPixel(at(0, 0)).x, 100);
}

TEST(TrackView, HeadingFromTheLastPlaceTheCarLeft) {
  Track track({at(0, 0), at(0, 0), at(0, 10), at(0, 10), at(10, 10), at(10, 0), at(0, 0)});
  EXPECT_EQ(headingAt(track, 1), 0) << "not moved yet";
  EXPECT_EQ(headingAt(track, 2), 90);
  EXPECT_EQ(headingAt(track, 3), 90) << "standing keeps the last heading";
  EXPECT_EQ(headingAt(track, 4), 0);
  EXPECT_EQ(headingAt(track, 5), 270);
  EXPECT_EQ(headingAt(track, 6), 180);
  EXPECT_EQ(headingAt(track, 99), 0);
}

TEST(Args, ValuesFlagsAndFallbacks) {
  stub::Args args({"--log", "a.log", "--gps-on", "--slider-pos", "-72", "--doc=x y", "--doc", "z", "stray",
                   "--speed", "2.5", "--bad", "12x"});
  EXPECT_EQ(args.value("log"), "a.log");
  EXPECT_TRUE(args.has("gps-on"));
  EXPECT_EQ(args.value("gps-on"), "");
  EXPECT_EQ(args.integer("slider-pos", 0), -72) << "a negative number is a value, not a switch";
  EXPECT_EQ(args.values("doc"), (std::vector<std::string>{"x y", "z"}));
  EXPECT_DOUBLE_EQ(args.number("speed", 1), 2.5);
  EXPECT_EQ(args.integer("bad", 7), 7);
  EXPECT_EQ(args.integer("missing", 7), 7);
  EXPECT_EQ(args.unknown({"log", "gps-on", "slider-pos", "doc", "speed"}), std::vector<std::string>{"bad"});
}

}  // namespace
}  // namespace navstub
