// tabiro-inspect replay: the engine's own passes along a recorded drive, and
// what never fired with its reason. The sample drive passes three junctions,
// its speed camera westbound at about 50 km/h and, eastbound at 57 km/h, a
// camera that watches westbound traffic.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

#include "fakes/route_builder.h"
#include "fakes/temp_dir.h"
#include "inspect.h"
#include "resource.h"

namespace tabiro::inspect {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

std::string sample(const std::string& name) { return std::string(TABIRO_SOURCE_DIR) + "/data/" + name; }

struct Result {
  int code;
  std::string out;
  std::string err;
};

Result replay(std::vector<std::string> args) {
  args.insert(args.begin(), "replay");
  std::ostringstream out, err;
  const int code = run(args, out, err);
  return {code, out.str(), err.str()};
}

// Text for a regex, every byte escaped: a Shift-JIS trail byte may be '[' or '\\'.
std::string lit(std::string_view text) {
  std::string out;
  for (const char c : text) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
    out += hex;
  }
  return out;
}

// One line per announcement: what was announced, at how many metres and km/h.
struct Heard {
  std::string what;
  int metres;
  int kmh;
};
std::vector<Heard> announcements(const std::string& out) {
  const std::regex line(R"re(\)  ((?:)re" + lit("地点") + "|" + lit("オービス") + R"re() \d+) "[^"]*"  (\d+) m  )re" +
                        lit("時速") + R"re( (\d+) km)re");
  std::vector<Heard> heard;
  for (std::sregex_iterator it(out.begin(), out.end(), line), end; it != end; ++it) {
    heard.push_back({(*it)[1].str(), std::stoi((*it)[2].str()), std::stoi((*it)[3].str())});
  }
  return heard;
}
// The report's line of a waypoint's single toolbar command.
std::string toolbarCommand(int id) { return "ツールバーのコマンド " + std::to_string(id) + "\n"; }

std::vector<std::string> names(const std::vector<Heard>& heard) {
  std::vector<std::string> names;
  for (const Heard& h : heard) names.push_back(h.what);
  return names;
}

// The sample with its profile (OvisUp2 40): the three turns and the end in
// order, the camera between the third turn and the end, each at the distance
// the engine's rules give, and the silent camera with its reason.
TEST(ReplayTest, SampleDriveAnnouncesTurnsAndCameraInOrder) {
  const Result r = replay({sample("sample-drive.nyp"), sample("sample-drive.pot"), sample("sample-drive.nmea"),
                           "--profile", sample("sample-drive.ini")});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto heard = announcements(r.out);
  EXPECT_THAT(names(heard), ElementsAre("地点 1", "地点 2", "地点 3", "オービス 1", "地点 4")) << r.out;
  for (const Heard& h : heard) {
    if (h.what.rfind("地点", 0) == 0) {
      // Within 30 s of driving ("WaveUp" 30: 7.5 m per km/h) or 200 m.
      EXPECT_LE(h.metres, std::max(200.0, 7.5 * h.kmh) + 1) << h.what;
      EXPECT_GT(h.metres, 100) << h.what << " announced only when already at it";
    } else {
      EXPECT_LT(h.metres, 500) << h.what;
      EXPECT_GE(h.kmh, 40) << h.what;
    }
  }
  EXPECT_THAT(r.out, HasSubstr("「まもなく右方向です。」  右方向.wav\n    絵 X右.bmp\n"));
  EXPECT_THAT(r.out, HasSubstr("「この先、オービスHシステム 国道17号です。スピード注意！」  ovis2_h.wav\n"
                               "    絵 ovis2_h.bmp\n"));
  EXPECT_THAT(r.out, HasSubstr("「まもなく目的地です。」  目的地.wav\n    絵なし\n"));
  EXPECT_THAT(r.out, HasSubstr(toolbarCommand(IDC_SCALE_20K)));  // sk02 at junction 1
  EXPECT_THAT(r.out, HasSubstr(toolbarCommand(IDC_SCALE_200K)));  // sk20 at the end
  EXPECT_THAT(r.out, HasSubstr("最後の地点を過ぎ、案内が終わりました。"));
  EXPECT_THAT(r.out, HasSubstr("オービス 2 \"レーダ 内堀通り\"（方向 270°）: 向きが違いました"));
  EXPECT_THAT(r.out, Not(HasSubstr("地点 1 \"x右 sk02\": ")));
}

// With the default threshold of 60 km/h the drive's camera stays silent too,
// reported as passed too slowly with its closest approach.
TEST(ReplayTest, DefaultsLeaveTheSlowCameraSilentWithItsClosestApproach) {
  const Result r = replay({sample("sample-drive.nyp"), sample("sample-drive.pot"), sample("sample-drive.nmea")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_THAT(names(announcements(r.out)), ElementsAre("地点 1", "地点 2", "地点 3", "地点 4"));
  const std::regex slow(lit("オービス 1 \"Hシステム 国道17号\"（方向 270°）: 遅すぎました（500 m の内で最高 時速 ") +
                        "(\\d+)" + lit(" km、OvisUp2 60 km/h 未満）。最も近づいたのは ") + "(\\d+)");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(r.out, m, slow)) << r.out;
  EXPECT_GE(std::stoi(m[1].str()), 48);
  EXPECT_LT(std::stoi(m[1].str()), 60);
  EXPECT_LT(std::stoi(m[2].str()), 10) << "the drive passes right by it";
}

class ReplayFilesTest : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& text) {
    const std::string path = dir_.file(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  testing::TempDir dir_;
};

// A waypoint the drive never nears keeps guidance waiting there: it is
// reported with the closest approach, and the waypoints after it as never
// reached in turn.
TEST_F(ReplayFilesTest, WaypointNeverNearedIsReportedWithItsClosestApproach) {
  const Coordinates junction1{35 * 921600 + 40 * 15360 + 13850, 139 * 921600 + 45 * 15360 + 10317};
  const Coordinates farAway{34 * 921600, 135 * 921600};  // Osaka
  const std::string route =
      write("r.nyp", testing::routeFileText({{junction1, "x右"}, {farAway, "t左"}, {junction1, "目"}}));
  const Result r = replay({route, sample("sample-drive.pot"), sample("sample-drive.nmea")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_THAT(names(announcements(r.out)), ElementsAre("地点 1"));
  const std::regex never(lit("地点 2 \"t左\": 近づきませんでした（1200 m の内に入らず）。最も近づいたのは ") + "(\\d+)");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(r.out, m, never)) << r.out;
  EXPECT_GT(std::stoi(m[1].str()), 400000);
  EXPECT_THAT(r.out, HasSubstr("地点 3 \"目\": 地点 2 を過ぎなかったため、順番が来ませんでした。"));
  EXPECT_THAT(r.out, Not(HasSubstr("案内が終わりました")));
}

// A track log as the drive: positions from its lines, the speed from the
// distance between them; the user's profile is read and left as it was.
TEST_F(ReplayFilesTest, TrackLogDriveAnnouncesAndTheProfileIsNotWritten) {
  std::string log;
  for (int i = 0; i <= 20; ++i) {  // north at 16.5 m a second, 59 km/h, for 40 s
    char line[80];
    const double seconds = 10.0 + i * 1.0;  // 33 m per 2 s line
    std::snprintf(line, sizeof line, "26/03/07 10:15:%02d N35:40:%04.1f E139:45:00.0\r\n", i * 2, seconds);
    log += line;
  }
  log += "not a line\r\n";
  const Coordinates ahead{35 * 921600 + 40 * 15360 + 30 * 256, 139 * 921600 + 45 * 15360};
  const std::string route = write("r.nyp", testing::routeFileText({{ahead, "y左"}}));
  const std::string cameras = write("c.pot", "");
  const std::string profile = write("p.ini", "[Rot]\r\nWayPoint=7\r\n");
  const Result r = replay({route, cameras, write("03071015.log", log), "--profile", profile});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("GPS 記録 21 点"));
  EXPECT_THAT(r.err, HasSubstr("22行目: 記録の行ではないため飛ばします。"));
  const auto heard = announcements(r.out);
  ASSERT_THAT(names(heard), ElementsAre("地点 1")) << r.out;
  EXPECT_EQ(heard[0].kmh, 59);
  EXPECT_LE(heard[0].metres, 7.5 * 59 + 1);
  EXPECT_THAT(r.out, HasSubstr("「まもなく左方向です。」  左方向.wav"));
  std::ifstream in(profile, std::ios::binary);
  std::ostringstream kept;
  kept << in.rdbuf();
  EXPECT_EQ(kept.str(), "[Rot]\r\nWayPoint=7\r\n");
}

TEST_F(ReplayFilesTest, MissingFilesAndWrongArguments) {
  const Result missing = replay({dir_.file("none.nyp"), sample("sample-drive.pot"), sample("sample-drive.nmea")});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, dir_.file("none.nyp") + " が開けません。\n");
  EXPECT_EQ(replay({sample("sample-drive.nyp"), sample("sample-drive.pot")}).code, 2);
  EXPECT_EQ(replay({sample("sample-drive.nyp"), sample("sample-drive.pot"), sample("sample-drive.nmea"), "--fast"})
                .code,
            2);
}

}  // namespace
}  // namespace tabiro::inspect
