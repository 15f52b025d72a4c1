#include "inspect.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "fakes/fake_receiver.h"
#include "fakes/route_builder.h"
#include "fakes/temp_dir.h"

namespace tabiro::inspect {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct Result {
  int code;
  std::string out;
  std::string err;
};

Result inspect(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = run(args, out, err);
  return {code, out.str(), err.str()};
}

class InspectTest : public ::testing::Test {
 protected:
  std::string writeFile(const std::string& name, const std::string& text) {
    const std::string path = dir_.file(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  testing::TempDir dir_;
};

TEST(InspectFormatTest, DegreesMinutesSecondsAndDecimalDegrees) {
  EXPECT_EQ(formatDms(32873600), "35°40′12.50″");
  EXPECT_EQ(formatDegrees(32873600), "35.670139");
  EXPECT_EQ(formatDms(-256), "-0°00′01.00″");
}

TEST_F(InspectTest, RouteShowsWaypointsAndWhyAMarkerIsSkipped) {
  const std::string block = testing::routeBlock({{32873600, 128801408}, "右折"});
  const Result r = inspect({"route", writeFile("r.nyp", "見出し\n" + block + block)});
  EXPECT_EQ(r.code, 0);
  EXPECT_THAT(r.out, HasSubstr("地点 1（9行目）: 北緯 35°40′12.50″ (35.670139)  東経 139°45′30.50″"));
  EXPECT_THAT(r.out, HasSubstr("テキスト \"右折\\n\""));
  EXPECT_THAT(r.out, HasSubstr("WayPointMax = 1\n"));
  EXPECT_THAT(r.out, HasSubstr("警告 2行目: 目印の行が目印でない行のすぐ後にある"));
  EXPECT_THAT(r.err, IsEmpty());
}

TEST_F(InspectTest, CamerasShowTheListEndAndAnyDirection) {
  const std::string line = "tex=レーダ/kei=139'45'30'5/ido=35'40'12'5/deg=\r\n";
  const Result r = inspect({"cameras", writeFile("o.pot", "ORD=POI\r\n" + line)});
  EXPECT_EQ(r.code, 0);
  EXPECT_THAT(r.out, HasSubstr("行 2（2行目）: 北緯 35°40′12.50″"));
  EXPECT_THAT(r.out, HasSubstr("方向 全方向\n  テキスト \"レーダ\""));
  EXPECT_THAT(r.out, HasSubstr("読み込まれる行 2、警報の対象 0 件"));
  EXPECT_THAT(r.out, HasSubstr("警告 1行目: 緯度か経度が0の行"));
}

TEST_F(InspectTest, NmeaShowsTheFixesTheReceiverReaderPublishes) {
  const auto line = [](const std::string& body) { return testing::nmeaSentence(body) + "\r\n"; };
  const std::string capture = line("GNRMC,101500.00,V,,,,,,,070326,,,N") + line("GNGGA,101500.00,,,,,0,00,,,M,,M,,") +
                              line("GNRMC,101501.00,A,3540.2000,N,13945.3000,E,10.0,90.0,070326,,,A,V") +
                              line("GNGGA,101501.00,3540.2000,N,13945.3000,E,1,08,1.0,3.6,M,39.5,M,,");
  const Result r = inspect({"nmea", writeFile("capture.nmea", capture)});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out,
            "UTC 10:15:01.000  緯度 35.6700000  経度 139.7550000  時速 18.5 km/h  進路 90.0°\n"
            "測位 1 件\n");
}

TEST_F(InspectTest, UnreadableFileFailsWithTheFileError) {
  const std::string missing = dir_.file("none.pot");
  const Result r = inspect({"cameras", missing});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, missing + " が開けません。\n");
  EXPECT_EQ(inspect({"route", dir_.path().string()}).code, 1);
}

TEST(InspectStatusTest, ShowsTheValuesTheReaderTakes) {
  const Result r = inspect({"status", "時速：42km/h", "北緯： 35度41分22.5秒", "東経：139度45分10.3秒"});
  EXPECT_EQ(r.code, 0);
  EXPECT_THAT(r.out, HasSubstr("時速: 42 km/h\n"));
  EXPECT_THAT(r.out, HasSubstr("北緯: 32891520 = 35°41′22.50″ (35.689583)  記録されるテキスト \"35:41:22.5\""));
  EXPECT_THAT(r.out, HasSubstr("（最初の19バイト \"北緯： 35度41分22.5\" を読みます）"));
}

TEST(InspectStatusTest, MismatchedLabelKeepsThePosition) {
  const Result r = inspect({"status", "", "北緯： 35度41分22.5秒", "East"});
  EXPECT_THAT(r.out, HasSubstr("時速: ラベル \"時速\" で始まらないため変わりません"));
  EXPECT_THAT(r.out, HasSubstr("東経: ラベル \"東経\" で始まりません"));
  EXPECT_THAT(r.out, HasSubstr("位置と進行方向は変わりません"));
}

TEST(InspectUsageTest, WrongArgumentsShowTheUsage) {
  const Result r = inspect({"route"});
  EXPECT_EQ(r.code, 2);
  EXPECT_THAT(r.err, HasSubstr("使い方"));
}

}  // namespace
}  // namespace tabiro::inspect
