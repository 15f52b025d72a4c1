// The workers of a drive: the position reader and the track log writer on
// virtual time, and the guidance engine thread waiting for fixes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "fakes/test_context.h"
#include "core/toolbar_door.h"
#include "gps/position_reader.h"
#include "gps/status_bar.h"
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
using testing::PictureShown;
using testing::Posted;
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
  const GpsFix fix = t.state.gpsFix.get();
  EXPECT_EQ(fix.speedKmh, 42);
  EXPECT_EQ(fix.latitude, 32891520);
  EXPECT_EQ(fix.longitudeText, "139:45:10.3");
  EXPECT_FALSE(t.state.gpsFix.currentFix()) << "a stopped reader leaves no current fix";
}

TEST(PositionReader, RunsOneCycleEvenWhenStoppedAtOnce) {
  TestContext t;
  addNavinStatusBar(t);
  startPositionReader(t.ctx);
  store(t.state.positionReaderRun, 0);
  t.workers.runPending();
  EXPECT_EQ(t.state.fixes.published(), 1u);
  EXPECT_EQ(t.log.totalSleptMs(), 400);
}

// A Navin' You that stops answering (hung, or closed) is no fix: the last
// position stays, but nothing is published until the status bar answers.
TEST(PositionReader, AStatusBarThatDoesNotAnswerIsNoFixUntilItAnswersAgain) {
  struct Cycle {
    bool answers;
    bool current;
    std::uint64_t published;
  };
  const Cycle cycles[] = {{true, true, 1}, {false, false, 1}, {false, false, 1}, {true, true, 2}};
  TestContext t;
  const WindowHandle bar = addNavinStatusBar(t);
  HeadingFromMoves heading;
  for (const Cycle& c : cycles) {
    for (int part : {2, 3, 4}) {
      t.desktop.setStatusBarText(bar, part, c.answers ? std::vector{kSpeed, kLatitude, kLongitude}[part - 2] : "");
    }
    readPositionOnce(t.ctx, heading);
    EXPECT_EQ(t.state.gpsFix.currentFix().has_value(), c.current);
    EXPECT_EQ(t.state.fixes.published(), c.published);
    EXPECT_EQ(t.state.gpsFix.get().latitude, 32891520) << "the last position stays";
  }
}

// Navin' You may put up its next fix between the reads of the latitude and
// the longitude: such a pair is read again, and never published torn.
TEST(PositionReader, ALatitudeAndLongitudeAreTakenFromOneFix) {
  struct Case {
    const char* what;
    std::vector<int> nextFixBeforeRead;  // 1 speed, 2 latitude, 3 longitude, 4 latitude ...
    std::optional<Coordinates> published;
  };
  const Coordinates first{parseLatitude(kLatitude)->value, parseLongitude(kLongitude)->value};
  const Coordinates second{first.latitude + 256, first.longitude + 256};  // a second north-east
  const Case cases[] = {
      {"no fix in between", {}, first},
      {"a fix between latitude and longitude", {3}, second},
      {"a fix after the longitude", {4}, second},
      {"torn twice", {3, 6}, std::nullopt},
  };
  for (const Case& c : cases) {
    TestContext t;
    const WindowHandle bar = addNavinStatusBar(t);
    int fixNumber = 0;
    for (const int read : c.nextFixBeforeRead) {
      t.desktop.onStatusBarRead(read, [&t, bar, &fixNumber] {
        ++fixNumber;
        t.desktop.setStatusBarText(bar, 3, "北緯： 35度41分2" + std::to_string(2 + fixNumber) + ".5秒");
        t.desktop.setStatusBarText(bar, 4, "東経：139度45分1" + std::to_string(0 + fixNumber) + ".3秒");
      });
    }
    HeadingFromMoves heading;
    readPositionOnce(t.ctx, heading);
    const std::optional<GpsFix> fix = t.state.gpsFix.currentFix();
    ASSERT_EQ(fix.has_value(), c.published.has_value()) << c.what;
    if (fix) EXPECT_EQ((Coordinates{fix->latitude, fix->longitude}), *c.published) << c.what;
  }
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

const GpsFix kFix{32891520, 128796236, 42, 0, "35:41:22.5", "139:45:10.3"};

class TrackLog : public ::testing::Test {
 protected:
  TrackLog() {
    t.clock.setLocalTime({2026, 12, 1, 14, 5, 30});
    folder = t.dir.path().string() + "/";
    store(t.state.trackLogRun, 1);
  }
  void setPosition() { publishFix(t.state, kFix); }
  std::string logText() { return readFile(folder + "12011405.log"); }

  TestContext t;
  std::string folder;
};

// Lines only of a current fix with both texts: none before the first fix,
// none while the source has no fix (a hung map program), and each in the
// file at once.
TEST_F(TrackLog, OnlyACurrentFixIsLoggedAndEachLineIsInTheFileAtOnce) {
  std::string seenBeforeClose;
  afterEachSleep(t, [&](int n) {
    if (n == 1) publishFix(t.state, {0, 0, 0, 0, "35:41:22.5", ""});  // no longitude yet
    if (n == 2) publishFix(t.state, kFix);
    if (n == 4) markNoFix(t.state);
    if (n == 6) publishFix(t.state, kFix);
    if (n == 7) {
      seenBeforeClose = logText();
      store(t.state.trackLogRun, 0);
    }
  });
  trackLogWriter(t.ctx, 0, {folder});
  const std::string lines =
      "26/12/01 14:05:34 N35:41:22.5 E139:45:10.3\r\n"
      "26/12/01 14:05:36 N35:41:22.5 E139:45:10.3\r\n"
      "26/12/01 14:05:42 N35:41:22.5 E139:45:10.3\r\n";
  EXPECT_EQ(seenBeforeClose, lines) << "each line is flushed as it is written";
  EXPECT_EQ(logText(), lines);
  EXPECT_EQ(t.log.totalSleptMs(), 7 * 2000);
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

TEST(GuidanceEngineThread, APassPerPublishedFixAndAStopEndsItWithGuidanceEnded) {
  TestContext t;
  const WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
  Camera& camera = t.state.cameras.row(1);
  store(camera.latitude, 35 * 921600 + 3000);  // 387 m north of the car
  store(camera.longitude, 139 * 921600);
  store(camera.direction, 999);
  camera.text.set("レーダ");
  GpsFix fix{35 * 921600 - 6000, 139 * 921600, 60, 0, "", ""};  // 1160 m south of the camera
  publishFix(t.state, fix);
  store(t.state.guidanceRun, 1);
  // A waypoint where the car starts: the first pass marks it approached.
  store(t.state.waypoints.row(1).latitude, fix.latitude);
  store(t.state.waypoints.row(1).longitude, fix.longitude);

  std::thread engine([&] { guidanceEngine(t.ctx); });
  EXPECT_TRUE(waitUntil([&] { return t.settings.storedInt(key::kPointLevel).value_or(0) == 1; }))
      << "the engine makes a pass when it starts";
  const auto announced = [&] { return !t.log.of(ActionKind::SoundFile).empty(); };
  fix.latitude = 35 * 921600;  // into range
  publishFix(t.state, fix);
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
  publishFix(t.state, {35 * 921600 + 1000, 139 * 921600, 0, 0, "", ""});  // 129 m before it
  guidanceEngine(t.ctx);  // one pass: guidanceRun is 0
  // The picture stands before the map commands are even posted: they hold
  // the toolbar's thread for seconds, and the popup must not wait for it.
  const auto toToolbarAndPictures = t.log.filter([toolbar](const testing::Action& a) {
    return a.window == toolbar || a.kind == ActionKind::PictureShown;
  });
  EXPECT_THAT(toToolbarAndPictures,
              ElementsAre(PostedCommand(toolbar, IDC_SPEAK), PictureShown("X右.bmp", ""),
                          PostedCommand(toolbar, IDC_GUIDE_SHOW), PostedCommand(toolbar, IDC_SCALE_70K),
                          SentCommand(toolbar, IDC_GUIDANCE_ENDED)));
  EXPECT_EQ(t.state.speechText.pop().value().text, "まもなく右方向です。");
}

TEST(GuidanceEngineThread, TheLastWaypointEndsTheEngineByItself) {
  TestContext t;
  const WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
  t.settings.writeInt(key::kWayPointMax, 1);
  t.settings.writeInt(key::kPointLevel, 2);
  store(t.state.waypoints.row(1).latitude, 35 * 921600);
  store(t.state.waypoints.row(1).longitude, 139 * 921600);
  publishFix(t.state, {35 * 921600 + 10, 139 * 921600, 0, 0, "", ""});
  store(t.state.guidanceRun, 1);
  guidanceEngine(t.ctx);  // one pass: within 100 m, the last waypoint passed
  EXPECT_EQ(t.settings.storedInt(key::kWayPoint).value_or(0), 2);
  // The field is the toolbar's to set, on its own thread.
  EXPECT_THAT(t.log.of(ActionKind::WaypointField), IsEmpty());
  EXPECT_THAT(t.log.messagesTo(toolbar),
              ElementsAre(Posted(toolbar, toolbar_message::kShowWaypoint, 0, 0),
                          SentCommand(toolbar, IDC_GUIDANCE_ENDED)));
}

// A fix that is not current (the map program hung) is nothing to guide by:
// not even the pass the engine makes when it starts. With guidanceRun clear
// the engine makes that one pass at most and ends.
TEST(GuidanceEngineThread, NoPassWhileTheFixIsNotCurrent) {
  for (const bool current : {true, false}) {
    TestContext t;
    store(t.state.waypoints.row(1).latitude, 35 * 921600);
    store(t.state.waypoints.row(1).longitude, 139 * 921600);
    publishFix(t.state, {35 * 921600, 139 * 921600, 40, 0, "", ""});
    if (!current) markNoFix(t.state);
    guidanceEngine(t.ctx);
    EXPECT_EQ(t.settings.storedInt(key::kPointLevel).value_or(0), current ? 1 : 0) << current;
  }
}

// The log writer beside a reader replacing the fix as fast as it can: every
// line holds the latitude and the longitude of one fix.
TEST(TrackLogConcurrency, EachLineIsOneFixWhileTheReaderReplacesIt) {
  TestContext t;
  const std::string folder = t.dir.path().string() + "/";
  const GpsFix a{1, 1, 0, 0, "35:00:00.0", "139:00:00.0"};
  const GpsFix b{2, 2, 0, 0, "36:11:11.1", "140:11:11.1"};
  publishFix(t.state, a);
  store(t.state.trackLogRun, 1);
  std::atomic<bool> writing{true};
  std::thread reader([&] {
    for (int i = 0; writing; ++i) publishFix(t.state, i % 2 ? a : b);
  });
  afterEachSleep(t, [&](int n) {
    if (n == 2000) store(t.state.trackLogRun, 0);
  });
  t.clock.setLocalTime({2026, 12, 1, 14, 5, 30});
  trackLogWriter(t.ctx, 0, {folder});
  writing = false;
  reader.join();
  std::istringstream lines(readFile(folder + "12011405.log"));
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    const std::string position = line.substr(18);
    ASSERT_TRUE(position == "N35:00:00.0 E139:00:00.0\r" || position == "N36:11:11.1 E140:11:11.1\r")
        << line;
  }
  EXPECT_EQ(count, 2000);
}

}  // namespace
}  // namespace tabiro
