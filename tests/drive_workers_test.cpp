// The workers of a drive: the position reader and the track log writer on
// virtual time, and the guidance engine thread waiting for fixes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "fakes/test_context.h"
#include "gps/position_reader.h"
#include "gps/track_log.h"
#include "guidance/guidance_engine.h"
#include "mapctl/map_commands.h"
#include "platform/winmsg.h"
#include "resource.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ActionKind;
using testing::PostedCommand;
using testing::SentCommand;
using testing::TestContext;

const std::string kSpeed = "時速：42km/h";
const std::string kLatitude = "北緯： 35度41分22.5秒";
const std::string kLongitude = "東経：139度45分10.3秒";

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Navin' You with its status bar showing a position.
WindowHandle addNavinStatusBar(TestContext& t) {
  const WindowHandle bar = t.desktop.add(kStatusBarClass, "", t.desktop.add(kNavinYouClass));
  t.desktop.setStatusBarText(bar, 2, kSpeed);
  t.desktop.setStatusBarText(bar, 3, kLatitude);
  t.desktop.setStatusBarText(bar, 4, kLongitude);
  return bar;
}

// Calls `act(n)` after the n-th sleep of the program.
void afterEachSleep(TestContext& t, std::function<void(int)> act) {
  auto count = std::make_shared<int>(0);
  t.clock.afterSleep([count, act] { act(++*count); });
}

// --- position reader -------------------------------------------------------------

TEST(PositionReader, ReadsEveryCycleAndEndsWithinOneCycleOfItsFlag) {
  TestContext t;
  addNavinStatusBar(t);
  afterEachSleep(t, [&](int n) {
    if (n == 3) store(t.state.positionReaderRun, 0);
  });
  startPositionReader(t.ctx);
  EXPECT_EQ(load(t.state.positionReaderRun), 1);
  t.workers.runPending();
  EXPECT_EQ(t.state.fixes.published(), 3u) << "no read after the flag was seen cleared";
  EXPECT_EQ(t.log.totalSleptMs(), 3 * 400);
  EXPECT_EQ(load(t.state.gpsFix.speedKmh), 42);
  EXPECT_EQ(load(t.state.gpsFix.latitude), 32891520);
  EXPECT_EQ(t.state.gpsFix.longitudeText.get(), "139:45:10.3");
}

TEST(PositionReader, RunsOneCycleEvenWhenStoppedAtOnceAndWithoutNavinYou) {
  TestContext t;
  startPositionReader(t.ctx);
  store(t.state.positionReaderRun, 0);
  t.workers.runPending();
  EXPECT_EQ(t.state.fixes.published(), 1u);
  EXPECT_EQ(load(t.state.gpsFix.latitude), 0);
  EXPECT_EQ(t.state.gpsFix.latitudeText.get(), "");
}

TEST(PositionReader, AStopAndAStartWithinOneCycleLeaveOneReader) {
  TestContext t;
  addNavinStatusBar(t);
  afterEachSleep(t, [&](int n) {
    if (n == 1) {  // GPS stopped and started again while the first reader sleeps
      store(t.state.positionReaderRun, 0);
      startPositionReader(t.ctx);
    }
    if (n == 4) store(t.state.positionReaderRun, 0);
  });
  startPositionReader(t.ctx);
  t.workers.runPending();
  // The first reader read once; the second three times; none after the flag.
  EXPECT_EQ(t.state.fixes.published(), 4u);
  EXPECT_EQ(t.log.totalSleptMs(), 4 * 400);
}

// --- track log ----------------------------------------------------------------------

class TrackLog : public ::testing::Test {
 protected:
  TrackLog() {
    t.clock.setLocalTime({2026, 12, 1, 14, 5, 30});
    folder = t.dir.path().string() + "/";
    store(t.state.trackLogRun, 1);
  }
  void setPosition() {
    t.state.gpsFix.latitudeText.set("35:41:22.5");
    t.state.gpsFix.longitudeText.set("139:45:10.3");
  }
  std::string logText() { return readFile(folder + "12011405.log"); }

  TestContext t;
  std::string folder;
};

TEST_F(TrackLog, NothingIsLoggedBeforeBothTextsExistAndEachLineIsInTheFileAtOnce) {
  std::string seenBeforeClose;
  afterEachSleep(t, [&](int n) {
    if (n == 1) t.state.gpsFix.latitudeText.set("35:41:22.5");  // still no longitude
    if (n == 2) t.state.gpsFix.longitudeText.set("139:45:10.3");
    if (n == 4) {
      seenBeforeClose = logText();
      store(t.state.trackLogRun, 0);
    }
  });
  trackLogWriter(t.ctx, 0, {folder});
  const std::string lines =
      "26/12/01 14:05:34 N35:41:22.5 E139:45:10.3\r\n"
      "26/12/01 14:05:36 N35:41:22.5 E139:45:10.3\r\n";
  EXPECT_EQ(seenBeforeClose, lines) << "each line is flushed as it is written";
  EXPECT_EQ(logText(), lines);
  EXPECT_EQ(t.log.totalSleptMs(), 4 * 2000);
}

TEST_F(TrackLog, TwoGpsStartsInOneMinuteAppendToOneFile) {
  setPosition();
  afterEachSleep(t, [&](int) { store(t.state.trackLogRun, 0); });
  trackLogWriter(t.ctx, 0, {folder});
  store(t.state.trackLogRun, 1);
  t.clock.advance(20000);
  trackLogWriter(t.ctx, 0, {folder});
  EXPECT_EQ(logText(),
            "26/12/01 14:05:30 N35:41:22.5 E139:45:10.3\r\n"
            "26/12/01 14:05:52 N35:41:22.5 E139:45:10.3\r\n");
}

TEST_F(TrackLog, AFolderThatTakesNoFileIsPassedForTheNext) {
  setPosition();
  const std::string notAFolder = t.dir.file("plain-file");
  std::ofstream(notAFolder) << "x";
  afterEachSleep(t, [&](int) { store(t.state.trackLogRun, 0); });
  trackLogWriter(t.ctx, 0, {notAFolder + "/", folder});
  EXPECT_EQ(logText(), "26/12/01 14:05:30 N35:41:22.5 E139:45:10.3\r\n");

  // No folder at all: the writer ends at once.
  t.log.clear();
  trackLogWriter(t.ctx, 0, {notAFolder + "/"});
  EXPECT_THAT(t.log.actions(), IsEmpty());
}

TEST_F(TrackLog, TheWorkingDirectoryComesFirstThenTheProfilesFolder) {
  EXPECT_THAT(trackLogFolders(t.settings), ElementsAre("", folder));
}

TEST_F(TrackLog, ANewerWriterEndsTheOlderOneAfterItsCycle) {
  setPosition();
  store(t.state.trackLogStart, 1);
  // GPS stopped and started again while the writer sleeps: the flag is set
  // again, but by a newer start.
  afterEachSleep(t, [&](int) { store(t.state.trackLogStart, 2); });
  trackLogWriter(t.ctx, 1, {folder});
  EXPECT_EQ(t.log.totalSleptMs(), 2000);
  EXPECT_EQ(logText(), "26/12/01 14:05:30 N35:41:22.5 E139:45:10.3\r\n");
}

// --- guidance engine thread ------------------------------------------------------

bool waitUntil(const std::function<bool()>& condition) {
  for (int i = 0; i < 1000; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

TEST(GuidanceEngineThread, APassPerPublishedFixAndAStopEndsItWithCommand1043) {
  TestContext t;
  const WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
  Camera& camera = t.state.cameras.row(1);
  store(camera.latitude, 35 * 921600 + 3000);  // 387 m north of the car
  store(camera.longitude, 139 * 921600);
  store(camera.direction, 999);
  camera.text.set("レーダ");
  GpsFix& fix = t.state.gpsFix;
  store(fix.latitude, 35 * 921600 - 6000);  // 1160 m south of the camera
  store(fix.longitude, 139 * 921600);
  store(fix.speedKmh, 60);
  store(t.state.guidanceRun, 1);
  // A waypoint where the car starts: the first pass marks it approached.
  store(t.state.waypoints.row(1).latitude, load(fix.latitude));
  store(t.state.waypoints.row(1).longitude, load(fix.longitude));

  std::thread engine([&] { guidanceEngine(t.ctx); });
  EXPECT_TRUE(waitUntil([&] { return t.settings.readInt(key::kPointLevel, 0) == 1; }))
      << "the engine makes a pass when it starts";
  const auto announced = [&] { return !t.log.of(ActionKind::SoundFile).empty(); };
  // The car moves into range, but until the reader publishes it no pass runs.
  store(fix.latitude, 35 * 921600);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(announced()) << "a pass ran without a new fix";
  t.state.fixes.publish();
  EXPECT_TRUE(waitUntil(announced));
  EXPECT_THAT(t.log.of(ActionKind::SoundFile), ElementsAre(testing::SoundFile("ovis1_l.wav")));

  stopWorker(t.state, t.state.guidanceRun);
  engine.join();
  EXPECT_THAT(t.log.messagesTo(toolbar), ElementsAre(SentCommand(toolbar, IDC_GUIDANCE_ENDED)));
}

// The phrase first, the map after: the toolbar takes its commands in the
// order they are posted, so the scale walk cannot hold the phrase back.
TEST(GuidanceEngineThread, AWaypointsMapCommandsFollowItsPhrase) {
  TestContext t;
  const WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
  store(t.state.speechReady, 1);
  t.settings.writeInt(key::kPointLevel, 1);
  store(t.state.waypoints.row(1).latitude, 35 * 921600);
  store(t.state.waypoints.row(1).longitude, 139 * 921600);
  t.state.waypoints.row(1).text.set("交差点x右 sk07 u\n");
  store(t.state.gpsFix.latitude, 35 * 921600 + 1000);  // 129 m before it
  store(t.state.gpsFix.longitude, 139 * 921600);
  guidanceEngine(t.ctx);  // one pass: guidanceRun is 0
  EXPECT_THAT(t.log.messagesTo(toolbar),
              ElementsAre(PostedCommand(toolbar, IDC_SPEAK), PostedCommand(toolbar, IDC_GUIDE_SHOW),
                          PostedCommand(toolbar, IDC_SCALE_70K),
                          SentCommand(toolbar, IDC_GUIDANCE_ENDED)));
  EXPECT_EQ(t.state.speechText.pop(), "まもなく右方向です。");
}

TEST(GuidanceEngineThread, TheLastWaypointEndsTheEngineByItself) {
  TestContext t;
  const WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
  t.settings.writeInt(key::kWayPointMax, 1);
  t.settings.writeInt(key::kPointLevel, 2);
  store(t.state.waypoints.row(1).latitude, 35 * 921600);
  store(t.state.waypoints.row(1).longitude, 139 * 921600);
  store(t.state.gpsFix.latitude, 35 * 921600 + 10);
  store(t.state.gpsFix.longitude, 139 * 921600);
  store(t.state.guidanceRun, 1);
  guidanceEngine(t.ctx);  // one pass: within 100 m, the last waypoint passed
  EXPECT_EQ(t.settings.readInt(key::kWayPoint, 0), 2);
  EXPECT_THAT(t.log.messagesTo(toolbar), ElementsAre(SentCommand(toolbar, IDC_GUIDANCE_ENDED)));
}

}  // namespace
}  // namespace tabiro
