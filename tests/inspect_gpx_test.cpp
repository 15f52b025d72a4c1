// tabiro-inspect gpx: a track log as a GPX track that any map viewer opens.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "fakes/temp_dir.h"
#include "gpx.h"
#include "inspect.h"
#include "track_log_reader.h"

namespace tabiro::inspect {
namespace {

using ::testing::HasSubstr;

TEST(TrackLogLineTest, ReadsDateTimeAndPositionTexts) {
  const auto p = parseTrackLogLine("98/12/01 14:05:33 N35:41:22.5 E139:45:10.3\r");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->year, 1998);
  EXPECT_EQ((std::vector<int>{p->month, p->day, p->hour, p->minute, p->second}),
            (std::vector<int>{12, 1, 14, 5, 33}));
  EXPECT_EQ(p->latitudeText, "35:41:22.5");
  EXPECT_EQ(p->longitudeText, "139:45:10.3");
  EXPECT_DOUBLE_EQ(p->latitude, 35 + 41 / 60.0 + 22.5 / 3600);
  EXPECT_DOUBLE_EQ(p->longitude, 139 + 45 / 60.0 + 10.3 / 3600);
}

TEST(TrackLogLineTest, TwoDigitYearsFrom70AreThe1900s) {
  EXPECT_EQ(parseTrackLogLine("70/01/01 00:00:00 N35:00:00.0 E139:00:00.0")->year, 1970);
  EXPECT_EQ(parseTrackLogLine("69/12/31 23:59:59 N35:00:00.0 E139:00:00.0")->year, 2069);
  EXPECT_EQ(parseTrackLogLine("00/02/29 12:00:00 N35:00:00 E139:00:00")->year, 2000);
}

TEST(TrackLogLineTest, RejectsWhatIsNotALogLine) {
  for (const char* bad : {"", "98/12/01 14:05:33", "98/13/01 14:05:33 N35:41:22.5 E139:45:10.3",
                          "98/02/30 14:05:33 N35:41:22.5 E139:45:10.3",
                          "98/12/01 24:05:33 N35:41:22.5 E139:45:10.3",
                          "98/12/01 14:05:33 N35:61:22.5 E139:45:10.3",
                          "98/12/01 14:05:33 N35:41:22.5 E181:45:10.3",
                          "98/12/01 14:05:33 N35:41:2x.5 E139:45:10.3",
                          "98/12/01 14:05:33 N E", "9/12/01 14:05:33 N35:41:22.5 E139:45:10.3"}) {
    EXPECT_FALSE(parseTrackLogLine(bad)) << bad;
  }
}

TEST(TrackLogLineTest, SecondsCountAcrossDaysAndYears) {
  const auto a = *parseTrackLogLine("99/12/31 23:59:58 N35:00:00.0 E139:00:00.0");
  const auto b = *parseTrackLogLine("00/01/01 00:00:01 N35:00:00.0 E139:00:00.0");
  EXPECT_EQ(secondsOf(b) - secondsOf(a), 3);
  EXPECT_EQ(secondsOf(*parseTrackLogLine("70/01/01 00:00:00 N35:00:00.0 E139:00:00.0")), 0);
  EXPECT_EQ(secondsOf(*parseTrackLogLine("26/03/07 01:15:00 N35:00:00.0 E139:00:00.0")), 1772846100);
}

class GpxTest : public ::testing::Test {
 protected:
  std::string writeLog(const std::string& name, const std::string& text) {
    const std::string path = dir_.file(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  testing::TempDir dir_;
};

// Every log line becomes one track point, in order, with its own position and
// time; a line that is not a log line is named and skipped.
TEST_F(GpxTest, EveryLogLineIsATrackPointOfAWellFormedDocument) {
  const std::string log = writeLog("03071015.log",
                                   "26/03/07 10:15:00 N35:40:37.2 E139:45:35.3\r\n"
                                   "26/03/07 10:15:02 N35:40:37.5 E139:45:35.4\r\n"
                                   "garbage\r\n"
                                   "99/12/31 23:59:59 N35:41:14.1 E139:45:43.2\r\n");
  std::ostringstream out, err;
  ASSERT_EQ(writeGpx(log, FileDatum::Wgs84, out, err), 0);
  EXPECT_EQ(err.str(), log + " 3行目: 記録の行の形（YY/MM/DD hh:mm:ss N緯度 E経度）ではないため飛ばします。\n");

  const std::string gpx = out.str();
  EXPECT_THAT(gpx, HasSubstr("<gpx version=\"1.1\" creator=\"tabiro-inspect\" "
                             "xmlns=\"http://www.topografix.com/GPX/1/1\">"));
  EXPECT_THAT(gpx, HasSubstr("<name>03071015.log</name>"));
  const std::regex point(R"re(<trkpt lat="([0-9.]+)" lon="([0-9.]+)"><time>([0-9T:-]+)</time></trkpt>)re");
  std::vector<std::string> points;
  for (std::sregex_iterator it(gpx.begin(), gpx.end(), point), end; it != end; ++it) {
    points.push_back((*it)[1].str() + " " + (*it)[2].str() + " " + (*it)[3].str());
  }
  EXPECT_EQ(points, (std::vector<std::string>{"35.6770000 139.7598056 2026-03-07T10:15:00",
                                              "35.6770833 139.7598333 2026-03-07T10:15:02",
                                              "35.6872500 139.7620000 1999-12-31T23:59:59"}));

  const std::string file = dir_.file("out.gpx");
  std::ofstream(file, std::ios::binary) << gpx;
  EXPECT_EQ(std::system(("xmllint --noout " + file + " 2>&1").c_str()), 0) << gpx;
}

// A log in the Tokyo datum (the program's default) comes out in WGS84, as
// GPX has it; one logged in WGS84 comes out as it is.
TEST_F(GpxTest, WritesWgs84WhateverTheDatumOfTheLog) {
  const std::string log = writeLog("03071015.log", "26/03/07 10:15:00 N35:42:36.1 E139:48:38.5\r\n");
  struct Case {
    std::vector<std::string> args;
    const char* point;
  } cases[] = {
      {{"gpx", log}, R"(lat="35.7132646" lon="139.8074556")"},
      {{"gpx", log, "--datum", "tokyo"}, R"(lat="35.7132646" lon="139.8074556")"},
      {{"gpx", log, "--datum", "wgs84"}, R"(lat="35.7100278" lon="139.8106944")"},
  };
  for (const Case& c : cases) {
    std::ostringstream out, err;
    ASSERT_EQ(run(c.args, out, err), 0) << c.args.size();
    EXPECT_THAT(out.str(), HasSubstr(c.point)) << c.args.size();
  }
  std::ostringstream out, err;
  EXPECT_EQ(run({"gpx", log, "--datum", "bessel"}, out, err), 2);
}

TEST_F(GpxTest, EmptyLogIsAnEmptyTrackAndAMissingOneAFileError) {
  std::ostringstream out, err;
  ASSERT_EQ(writeGpx(writeLog("empty.log", ""), FileDatum::Tokyo, out, err), 0);
  EXPECT_THAT(out.str(), HasSubstr("<trkseg>\n    </trkseg>"));
  const std::string file = dir_.file("empty.gpx");
  std::ofstream(file, std::ios::binary) << out.str();
  EXPECT_EQ(std::system(("xmllint --noout " + file).c_str()), 0);

  std::ostringstream out2, err2;
  EXPECT_EQ(run({"gpx", dir_.file("none.log")}, out2, err2), 1);
  EXPECT_EQ(err2.str(), dir_.file("none.log") + " が開けません。\n");
}

}  // namespace
}  // namespace tabiro::inspect
