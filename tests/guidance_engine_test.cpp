// The guidance engine driven fix by fix along short drives: after every fix
// either the exact announcement (or toolbar action) or nothing.
#include "guidance/guidance_engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "fakes/route_builder.h"
#include "core/profile_keys.h"
#include "fakes/test_context.h"
#include "guidance/route_file.h"
#include "resource.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::TestContext;

constexpr std::int32_t kBaseLatitude = 35 * 921600;    // 35 degrees north
constexpr std::int32_t kBaseLongitude = 139 * 921600;  // 139 degrees east

// Units of latitude that make at least `metres` north (33 m per arc-second).
std::int32_t northUnits(double metres) {
  return static_cast<std::int32_t>(std::ceil(metres * 256 / 33));
}

// A toolbar command as the recorder below writes it.
std::string command(int id) { return "command " + std::to_string(id); }

// What the engine did, one line per output call.
class Recorder final : public GuidanceOutput {
 public:
  explicit Recorder(const SettingsStore& settings) : settings_(settings) {}

  void announce(const std::string& speechText, const AnnouncedPicture& picture,
                const std::string& wavFile) override {
    events.push_back("announce " + speechText + " / " + describe(picture) + " / " + wavFile);
  }
  void showPicture(const AnnouncedPicture& picture) override {
    events.push_back("picture " + describe(picture));
  }
  void toolbarCommand(int id) override { events.push_back(command(id)); }
  void showCurrentWaypoint() override {
    events.push_back("field " + std::to_string(settings_.readInt(key::kWayPoint)));
  }
  void cancelRaiseTimers() override { events.push_back("cancel timers"); }
  void rearmRaiseTimer() override { events.push_back("rearm timer"); }

  // Everything since the last call.
  std::vector<std::string> take() {
    std::vector<std::string> taken;
    taken.swap(events);
    return taken;
  }

  std::vector<std::string> events;

 private:
  const SettingsStore& settings_;

  static std::string describe(const AnnouncedPicture& p) {
    return p.kind == AnnouncedPicture::Kind::Turn ? "turn" : "camera " + p.cameraText;
  }
};

// A car driving due north along one meridian, the route and the cameras
// placed by their metres north of the start.
class Drive : public ::testing::Test {
 protected:
  Drive() {
    limits = readEngineLimits(t.settings);
    store(t.state.guidanceRun, 1);
    store(t.state.positionReaderRun, 1);
  }

  void camera(int row, double metresNorth, std::int32_t direction, const std::string& text,
              double metresEast = 0) {
    Camera& c = t.state.cameras.row(row);
    store(c.latitude, kBaseLatitude + northUnits(metresNorth));
    store(c.longitude, kBaseLongitude + northUnits(metresEast) * 33 / 25);
    store(c.direction, direction);
    c.text.set(text);
  }
  void waypoint(int row, double metresNorth, const std::string& text, double metresEast = 0) {
    Waypoint& w = t.state.waypoints.row(row);
    store(w.latitude, kBaseLatitude + northUnits(metresNorth));
    store(w.longitude, kBaseLongitude + northUnits(metresEast) * 33 / 25);
    w.text.set(text);
  }
  // One fix and the pass over it; returns what the pass did.
  // `eastUnits` puts the car off the meridian, in 1/256 arc-second.
  std::vector<std::string> at(double metresNorth, std::int32_t speedKmh, std::int32_t heading = 0,
                              std::int32_t eastUnits = 0) {
    publishFix(t.state, {kBaseLatitude + northUnits(metresNorth), kBaseLongitude + eastUnits,
                         speedKmh, heading, "", ""});
    guidancePass(t.settings, t.state, limits, engine, out);
    return out.take();
  }
  int pointLevel() { return t.settings.readInt(key::kPointLevel); }
  int wayPoint() { return t.settings.readInt(key::kWayPoint); }

  TestContext t;
  EngineLimits limits;
  EngineState engine;
  Recorder out{t.settings};
};

const std::string kCameraPhrase = "この先、オービスレーダです。スピード注意！";
const std::string kCameraAnnouncement =
    "announce " + kCameraPhrase + " / camera レーダ / ovis1_l.wav";

// --- speed cameras -----------------------------------------------------------

struct CameraCase {
  double metresAhead;  // negative: behind the car
  std::int32_t speed, heading, direction;
  bool announced;
};

TEST_F(Drive, CameraAlarmNeedsRangeSpeedDirectionAndTheCameraAhead) {
  const CameraCase cases[] = {
      {499, 60, 0, 999, true},    // the default limits, any direction
      {500, 60, 0, 999, false},   // not nearer than "OvisUp"
      {499, 59, 0, 999, false},   // slower than "OvisUp2"
      {499, 60, 0, 59, true},     // within 60 degrees of its direction
      {499, 60, 0, 60, false},
      {499, 60, 10, 350, true},   // 20 degrees round north, not 340
      {499, 60, 350, 10, true},
      {499, 60, 180, 180, false}, // driving south, the camera north of the car is behind it
      {499, 60, 90, 999, true},   // straight abeam, 90 degrees off the heading, is still ahead
      {-100, 60, 0, 0, false},    // passed 100 m ago, watching the direction of travel
      {-100, 60, 0, 999, false},
  };
  for (const CameraCase& c : cases) {
    engine = {};
    camera(1, c.metresAhead, c.direction, "レーダ");
    const std::vector<std::string> done = at(0, c.speed, c.heading);
    if (c.announced) {
      EXPECT_THAT(done, ElementsAre(kCameraAnnouncement))
          << c.metresAhead << " m, " << c.speed << " km/h, heading " << c.heading
          << ", direction " << c.direction;
    } else {
      EXPECT_THAT(done, IsEmpty()) << c.metresAhead << " m, " << c.speed << " km/h, heading "
                                   << c.heading << ", direction " << c.direction;
    }
  }
}

TEST_F(Drive, AHeldCameraSilencesTheOthersUntilTheCarIsBeyondOvisUpFromIt) {
  camera(1, 0, 999, "far east 1", 5000);
  camera(2, 0, 999, "far east 2", 6000);
  camera(3, 1000, 0, "レーダ");
  camera(4, 1300, 0, "second");
  camera(5, 2100, 999, "third");
  EXPECT_THAT(at(400, 60), IsEmpty());
  EXPECT_THAT(at(501, 60), ElementsAre(kCameraAnnouncement));
  EXPECT_THAT(at(600, 60), IsEmpty()) << "camera 3 is announced once";
  EXPECT_THAT(at(900, 60), IsEmpty()) << "camera 4 is 400 m ahead, but 3 is held";
  EXPECT_THAT(at(1400, 60), IsEmpty());
  EXPECT_EQ(engine.heldCamera, 3);
  EXPECT_THAT(at(1000, 60, 0, -5120), IsEmpty());  // 25 * 5120 / 256: exactly 500 m west of it
  EXPECT_EQ(engine.heldCamera, 3) << "held until beyond \"OvisUp\", not at it";
  EXPECT_THAT(at(1502, 60), IsEmpty()) << "3 released; 4 is behind the car";
  EXPECT_EQ(engine.heldCamera, 0);
  EXPECT_THAT(at(1700, 60),
              ElementsAre("announce この先、オービスthirdです。スピード注意！ / camera third / "
                          "オービス.wav"));
}

TEST_F(Drive, OnePassAnnouncesOneCamera) {
  camera(1, 1300, 999, "レーダ");
  camera(2, 1200, 999, "second");
  EXPECT_THAT(at(1000, 80), ElementsAre(kCameraAnnouncement));
  EXPECT_EQ(engine.heldCamera, 1);
  EXPECT_THAT(at(1001, 80), IsEmpty());
}

TEST_F(Drive, CameraListEndsAtTheFirstRowWithoutAPosition) {
  camera(1, 2000, 999, "far");
  camera(3, 1200, 999, "レーダ");  // row 2 is empty
  EXPECT_THAT(at(1000, 80), IsEmpty());
}

TEST_F(Drive, CameraPhrasesComeFromTheProfileAndNavimodeOneShowsThePictureOnly) {
  t.settings.writeString(key::kOvis1, "前方に");
  t.settings.writeString(key::kOvis2, "あり");
  camera(1, 1200, 999, "Hシステム高速");
  EXPECT_THAT(at(1000, 60), ElementsAre("announce 前方にHシステム高速あり / camera Hシステム高速 / "
                                        "ovis2_h.wav"));

  t.settings.writeInt(key::kNaviMode, 1);
  engine = {};
  EXPECT_THAT(at(1000, 60), ElementsAre("picture camera Hシステム高速"));
  EXPECT_EQ(engine.heldCamera, 1);
}

TEST(CameraWavFile, KindFirstThenRoad) {
  EXPECT_EQ(cameraWavFile("Hシステム"), "ovis2_l.wav");
  EXPECT_EQ(cameraWavFile("国道Hシステム"), "ovis2_h.wav");
  EXPECT_EQ(cameraWavFile("ループコイル"), "ovis3_l.wav");
  EXPECT_EQ(cameraWavFile("バイパスループコイル"), "ovis3_h.wav");
  EXPECT_EQ(cameraWavFile("レーダ高"), "ovis1_h.wav");
  EXPECT_EQ(cameraWavFile("Hシステムレーダ"), "ovis2_l.wav");
  EXPECT_EQ(cameraWavFile("高速道路"), "オービス.wav");
  // "ー" (0x815B) holds no single-byte tag; the kind is not found on a trail byte.
  EXPECT_EQ(cameraWavFile("newオービス"), "オービス.wav");
}

TEST(EngineAngles, TheCameraDirectionWrapsAroundNorth) {
  EXPECT_TRUE(watchesHeading(350, 10));
  EXPECT_TRUE(watchesHeading(10, 350));
  EXPECT_TRUE(watchesHeading(0, 300 + 1));
  EXPECT_FALSE(watchesHeading(0, 300));
  EXPECT_FALSE(watchesHeading(90, 270));
  EXPECT_TRUE(watchesHeading(999, 123));
}

// --- waypoints ------------------------------------------------------------------

TEST(EngineLeadDistance, WaveUpInWhole30SecondSteps) {
  EXPECT_EQ(leadDistance(30, 40), 300u);
  EXPECT_EQ(leadDistance(30, 0), 0u);
  EXPECT_EQ(leadDistance(45, 40), 300u);
  EXPECT_EQ(leadDistance(15, 40), 0u);
  EXPECT_EQ(leadDistance(60, 41), 615u);  // 41 * 60 / 4
  EXPECT_EQ(leadDistance(30, 1), 7u);     // 7.5 m, truncated
  EXPECT_EQ(leadDistance(-30, 40), 0u);
}

struct LeadCase {
  std::int32_t waveUp, speed;
  double lastSilent, announcedAt;  // metres before the waypoint
};

TEST_F(Drive, ATurnIsAnnouncedOnceWithinTheLeadDistanceOr200Metres) {
  const LeadCase cases[] = {
      {30, 40, 301, 300}, {30, 0, 201, 200}, {45, 40, 301, 300}, {15, 40, 201, 200}};
  for (const LeadCase& c : cases) {
    SCOPED_TRACE("WaveUp " + std::to_string(c.waveUp) + ", " + std::to_string(c.speed) + " km/h");
    t.settings.writeInt(key::kWaveUp, c.waveUp);
    t.settings.writeInt(key::kWayPoint, 1);
    t.settings.writeInt(key::kPointLevel, 0);
    waypoint(1, 5000, "右折\n");
    EXPECT_THAT(at(5000 - 1201, c.speed), IsEmpty());
    EXPECT_EQ(pointLevel(), 0);
    EXPECT_THAT(at(5000 - 1199, c.speed), IsEmpty());
    EXPECT_EQ(pointLevel(), 1);
    EXPECT_THAT(at(5000 - c.lastSilent - 0.5, c.speed), IsEmpty());
    EXPECT_THAT(at(5000 - c.announcedAt, c.speed),
                ElementsAre("cancel timers",
                            "announce まもなく右方向です。 / turn / 右方向.wav", "rearm timer"));
    EXPECT_EQ(pointLevel(), 2);
    EXPECT_THAT(at(5000 - c.announcedAt + 10, c.speed), IsEmpty()) << "announced once";
  }

  // The bounds themselves, with the waypoint due east of a standing car at
  // distances the units give exactly (25 * units / 256 metres).
  struct Bound {
    std::int32_t eastUnits;
    int stageBefore, stageAfter;
  };
  const Bound bounds[] = {{12288, 0, 0},   // 1200 m: still far
                          {12287, 0, 1},   // just within 1200 m
                          {2048, 1, 2},    // 200 m: announced
                          {2049, 1, 1}};
  for (const Bound& b : bounds) {
    t.settings.writeInt(key::kPointLevel, b.stageBefore);
    waypoint(1, 0, "右折\n");
    at(0, 0, 0, -b.eastUnits);
    EXPECT_EQ(pointLevel(), b.stageAfter) << b.eastUnits << " units from the waypoint";
  }
}

TEST_F(Drive, TheLastTagFoundChoosesThePhrase) {
  waypoint(1, 1000, "右に曲がって目的地\n");
  t.settings.writeInt(key::kPointLevel, 1);
  EXPECT_THAT(at(900, 30),
              ElementsAre("cancel timers", "announce まもなく目的地です。 / turn / 目的地.wav",
                          "rearm timer"));

  // The order of the search decides, not the order in the text.
  t.settings.writeInt(key::kWayPoint, 2);
  t.settings.writeInt(key::kPointLevel, 1);
  waypoint(2, 1000, "直進して左\n");
  EXPECT_THAT(at(900, 30), ElementsAre("cancel timers",
                                       "announce この先、直進です。 / turn / 直進.wav",
                                       "rearm timer"));

  // Phrases from the profile; a text without a tag announces nothing but
  // still stops and re-arms the timers.
  t.settings.writeString(key::kHidari, "左です");
  t.settings.writeInt(key::kPointLevel, 1);
  waypoint(2, 1000, "左折\n");
  EXPECT_THAT(at(900, 30), ElementsAre("cancel timers", "announce 左です / turn / 左方向.wav",
                                       "rearm timer"));
  t.settings.writeInt(key::kWayPoint, 3);
  t.settings.writeInt(key::kPointLevel, 1);
  waypoint(3, 1000, "交差点\n");
  EXPECT_THAT(at(900, 30), ElementsAre("cancel timers", "rearm timer"));
  EXPECT_EQ(pointLevel(), 2);
}

TEST_F(Drive, WaypointTagsAreWholeCharactersAndMapTagsSendToolbarCommands) {
  waypoint(1, 1000, "sk07 u 直\n");
  t.settings.writeInt(key::kPointLevel, 1);
  EXPECT_THAT(at(900, 30), ElementsAre("cancel timers", "announce この先、直進です。 / turn / 直進.wav",
                                       command(IDC_GUIDE_SHOW), command(IDC_SCALE_70K), "rearm timer"));

  const std::pair<std::string, std::vector<std::string>> tags[] = {
      {"ud sk20", {command(IDC_GPS_RELIEF), command(IDC_SCALE_200K)}},
      {"d sk02 sk01", {command(IDC_GUIDE_HIDE), command(IDC_SCALE_20K)}},
      {"sk01", {command(IDC_SCALE_10K)}},
      {"ブ", {}},  // 0x83 0x75: no "u" on a trail byte
  };
  for (const auto& [text, commands] : tags) {
    t.settings.writeInt(key::kPointLevel, 1);
    waypoint(1, 1000, text + "\n");
    std::vector<std::string> expected{"cancel timers"};
    expected.insert(expected.end(), commands.begin(), commands.end());
    expected.push_back("rearm timer");
    EXPECT_EQ(at(900, 30), expected) << text;
  }
}

TEST_F(Drive, NavimodeOneShowsTheTurnPictureWithoutVoice) {
  t.settings.writeInt(key::kNaviMode, 1);
  waypoint(1, 1000, "左\n");
  t.settings.writeInt(key::kPointLevel, 1);
  EXPECT_THAT(at(850, 30), ElementsAre("cancel timers", "picture turn", "rearm timer"));
}

TEST_F(Drive, AWaypointIsPassedWithin100MetresOr200MetresBeyondTheNearestPoint) {
  t.settings.writeInt(key::kWayPointMax, 5);
  waypoint(1, 1000, "右\n");
  waypoint(2, 3000, "左\n", 120);
  EXPECT_THAT(at(0, 40), IsEmpty());
  EXPECT_EQ(pointLevel(), 1);
  EXPECT_THAT(at(600, 40), IsEmpty());
  ASSERT_EQ(at(701, 40).size(), 3u);  // announced within 300 m (40 km/h)
  EXPECT_NEAR(engine.nearestDistance, 299, 1);
  EXPECT_THAT(at(850, 40), IsEmpty());
  EXPECT_EQ(engine.nearestDistance, 150);
  EXPECT_THAT(at(901, 40), ElementsAre("field 2")) << "within 100 m";
  EXPECT_EQ(wayPoint(), 2);
  EXPECT_EQ(pointLevel(), 0);

  // Waypoint 2 lies 120 m east of the road: passed once the car is 200 m
  // farther from it than its nearest point.
  EXPECT_THAT(at(1900, 40), IsEmpty());
  EXPECT_EQ(pointLevel(), 1);
  ASSERT_EQ(at(2730, 40).size(), 3u);
  EXPECT_THAT(at(3000, 40), IsEmpty());
  EXPECT_NEAR(engine.nearestDistance, 120, 1);
  EXPECT_THAT(at(3295, 40), IsEmpty()) << "318 m is not beyond 120 + 200";
  EXPECT_THAT(at(3300, 40), ElementsAre("field 3"));
  EXPECT_EQ(wayPoint(), 3);
  EXPECT_EQ(load(t.state.guidanceRun), 1);
}

TEST_F(Drive, AfterTheLastWaypointGuidanceEndsAndTheReaderStopsWithoutTrackLog) {
  for (const int saveTrk : {0, 1}) {
    SCOPED_TRACE("SaveTRK " + std::to_string(saveTrk));
    t.settings.writeInt(key::kSaveTrk, saveTrk);
    t.settings.writeInt(key::kWayPointMax, 2);
    t.settings.writeInt(key::kWayPoint, 2);
    t.settings.writeInt(key::kPointLevel, 1);
    store(t.state.guidanceRun, 1);
    store(t.state.positionReaderRun, 1);
    waypoint(2, 1000, "目\n");
    EXPECT_EQ(at(850, 20).size(), 3u);
    EXPECT_EQ(load(t.state.guidanceRun), 1);
    EXPECT_THAT(at(950, 20), ElementsAre("field 3"));
    EXPECT_EQ(wayPoint(), 3);
    EXPECT_EQ(load(t.state.guidanceRun), 0);
    EXPECT_EQ(load(t.state.positionReaderRun), saveTrk == 0 ? 0 : 1);
  }
}

TEST_F(Drive, AWaypointNumberWithoutARowIsNeverReached) {
  camera(1, 1200, 999, "レーダ");
  waypoint(5, 1000, "右\n");  // left by an earlier, longer route
  const std::pair<int, int> numbers[] = {{501, 501}, {0, 50}, {-3, 50}, {1000, 50}, {5, 3}};
  for (const auto& [number, loaded] : numbers) {
    t.settings.writeInt(key::kWayPointMax, loaded);
    for (const int stage : {0, 1, 2}) {
      engine = {};
      t.settings.writeInt(key::kWayPoint, number);
      t.settings.writeInt(key::kPointLevel, stage);
      // Cameras are still announced.
      EXPECT_THAT(at(1000, 60), ElementsAre(kCameraAnnouncement)) << number;
      EXPECT_THAT(at(1000, 60), IsEmpty()) << number;
      EXPECT_EQ(wayPoint(), number);
      EXPECT_EQ(pointLevel(), stage);
    }
  }
}

// A route of 80 waypoints, far more than the 49 rows of old, loaded from its
// file: every row is reached, and the 80th is the destination.
TEST_F(Drive, AnEightyWaypointRouteFileIsGuidedToItsEnd) {
  std::vector<testing::RouteBlockSpec> blocks;
  for (int n = 1; n <= 80; ++n) {
    blocks.push_back({{kBaseLatitude + northUnits(2000.0 * n), kBaseLongitude}, n == 80 ? "目" : "右"});
  }
  const std::string path = t.dir.file("long.nyp");
  std::ofstream(path, std::ios::binary) << testing::routeFileText(blocks);
  ASSERT_TRUE(loadRoute(t.ctx, path));
  t.settings.writeInt(key::kWayPoint, 1);
  std::vector<std::string> last;
  for (int n = 1; n <= 80; ++n) {
    at(2000.0 * n - 1000, 40);
    last = at(2000.0 * n - 150, 40);
    ASSERT_EQ(last.size(), 3u) << "row " << n;
    ASSERT_THAT(at(2000.0 * n - 50, 40), ElementsAre("field " + std::to_string(n + 1))) << "row " << n;
  }
  EXPECT_THAT(last, ::testing::Contains(::testing::HasSubstr(std::string(key::kMoku.def))));
  EXPECT_EQ(wayPoint(), 81);
  EXPECT_EQ(load(t.state.guidanceRun), 0);
}

TEST_F(Drive, AnUnknownStageStartsTheWaypointAgain) {
  waypoint(1, 1000, "右\n");
  t.settings.writeInt(key::kPointLevel, 7);
  EXPECT_THAT(at(900, 30), IsEmpty());
  EXPECT_EQ(pointLevel(), 0);
}

TEST_F(Drive, LimitsAreReadFromTheProfile) {
  t.settings.writeInt(key::kOvisUp, 300);
  t.settings.writeInt(key::kOvisUp2, 40);
  limits = readEngineLimits(t.settings);
  camera(1, 1300, 999, "レーダ");
  EXPECT_THAT(at(999, 40), IsEmpty());
  EXPECT_THAT(at(1001, 40), ElementsAre(kCameraAnnouncement));
}

}  // namespace
}  // namespace tabiro
