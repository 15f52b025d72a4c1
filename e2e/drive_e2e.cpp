// A drive end to end: navstub replays the sample drive into its status bar,
// the user starts GPS with the key "1", and Tabiro2 reads the positions,
// logs the track and guides along the sample route and point file, spoken
// through the speech stand-in. Then the map switch against the stand-ins.
#include "harness.h"
#include "resource.h"
#include "track_logs.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "mapctl/map_commands.h"

namespace e2e {
namespace {

// How navstub logs a dialog button pressed by the toolbar.
std::string answered(int id) { return "answered " + std::to_string(id); }

constexpr int kDriveTimeoutMs = 120000;
// The 190-second drive at this speed takes about 24 seconds.
constexpr const char* kReplaySpeed = "8";

const std::string kStartPhrase = "音声ナビゲーションを開始します";
const std::string kEndPhrase = "音声ナビゲーションを終了します";
const std::string kCameraPhrase = "この先、オービスHシステム 国道17号です。スピード注意！";

class DriveTest : public E2eTest {
 protected:
  void SetUp() override {
    E2eTest::SetUp();
    removeTrackLogs();
    SetEnvironmentVariableA("SPEECHSTUB_LOG", log("speech").path().c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableA("SPEECHSTUB_LOG", nullptr);
    processes_.killAll();
    removeTrackLogs();
    E2eTest::TearDown();
  }

  std::string profile(const std::string& extra = "") {
    return "[Tabiro Info]\r\nMapMode=0\r\nMap=0\r\nWavstart=1\r\nSaveTRK=1\r\n"
           "[Rot]\r\nFileName=" + sourcePath("data/sample-drive.nyp") + "\r\n"
           "[Ovis]\r\nPOT=" + sourcePath("data/sample-drive.pot") + "\r\nOvisUp2=40\r\n" + extra;
  }

  HWND startDrive() {
    startNavstub({"--doc-delay", "100", "--replay", sourcePath("data/sample-drive.nmea"),
                  "--replay-speed", kReplaySpeed, "--gps-dialogs", "both"});
    if (!waitForNavstub()) return nullptr;
    writeProfile(profile());
    startTabiro();
    return waitForShownWindow(nullptr, "Tabiro2", 15000);
  }
};

TEST_F(DriveTest, ADriveReplayedIntoNavinYouIsLoggedAndGuidedOnce) {
  HWND toolbar = startDrive();
  ASSERT_TRUE(toolbar);
  ASSERT_TRUE(pressKey(toolbar, '1'));
  ASSERT_TRUE(navstubLog().waitFor(isEvent("main", "gps on")));
  // The responder answered the route dialog that GPS start opened (the
  // confirmation when both stand open), then the driver dialog.
  EXPECT_TRUE(navstubLog().waitFor([](const LogEntry& e) {
    return isEvent("route-select", answered(tabiro::kRouteSelectOk))(e) ||
           isEvent("route-confirm", answered(tabiro::kRouteConfirmYes))(e);
  }, 15000));
  EXPECT_TRUE(navstubLog().waitFor(isEvent("driver-confirm", answered(tabiro::kDriverConfirmOk)), 15000));

  // The first waypoint passed, the field shows the next before its phrase.
  ASSERT_TRUE(waitForSpoken("まもなく左方向です。", kDriveTimeoutMs));
  EXPECT_GE(std::atoi(controlText(toolbar, IDC_WAYPOINT_FIELD).c_str()), 2);
  ASSERT_TRUE(waitForSpoken(kEndPhrase, kDriveTimeoutMs)) << "guidance never ended";
  const std::vector<std::string> expected = {
      kStartPhrase,           "まもなく右方向です。", "まもなく左方向です。", "まもなく左方向です。",
      kCameraPhrase,          "まもなく目的地です。", kEndPhrase};
  EXPECT_EQ(spoken(), expected);

  // The waypoint texts' scale tags switched Navin' You's scale.
  EXPECT_FALSE(navstubLog().matching(isEvent("updown1", "slider")).empty());

  // The track log holds replayed positions only, and many of them.
  const std::vector<std::string> logs = trackLogs();
  ASSERT_EQ(logs.size(), 1u);
  std::set<std::pair<long, long>> fixes;
  for (const LogEntry& e : navstubLog().matching(isEvent("statusbar", "fix "))) {
    long index = 0, kmh = 0, lat = 0, lon = 0;
    if (sscanf(e.event.c_str(), "fix %ld %ld %ld %ld", &index, &kmh, &lat, &lon) == 4) {
      fixes.insert({lat, lon});
    }
  }
  std::set<std::pair<long, long>> logged;
  for (const std::string& line : lines(readFile(logs.front()))) {
    const size_t n = line.find(" N"), e = line.find(" E");
    ASSERT_NE(n, std::string::npos) << line;
    ASSERT_NE(e, std::string::npos) << line;
    const std::pair<long, long> position{tenths(line.substr(n + 2, e - n - 2)), tenths(line.substr(e + 2))};
    EXPECT_TRUE(fixes.count(position)) << "not a replayed position: " << line;
    logged.insert(position);
  }
  EXPECT_GE(logged.size(), 10u);

  // GPS stop: the reader and the log writer end within a cycle.
  ASSERT_TRUE(pressKey(toolbar, '1'));
  ASSERT_TRUE(navstubLog().waitFor(isEvent("main", "gps off")));
  Sleep(2500);
  const std::string atStop = readFile(logs.front());
  Sleep(4500);
  EXPECT_EQ(readFile(logs.front()), atStop) << "the log writer went on after GPS stop";
}

TEST_F(DriveTest, GpsStopDuringGuidanceEndsItWithTheEndAnnouncement) {
  HWND toolbar = startDrive();
  ASSERT_TRUE(toolbar);
  ASSERT_TRUE(pressKey(toolbar, '1'));
  ASSERT_TRUE(waitForSpoken("まもなく右方向です。", kDriveTimeoutMs));
  ASSERT_TRUE(pressKey(toolbar, '1'));
  EXPECT_TRUE(waitForSpoken(kEndPhrase, 10000)) << "the engine did not end at GPS stop";
  const auto said = spoken();
  EXPECT_EQ(std::count(said.begin(), said.end(), kCameraPhrase), 0);
  EXPECT_EQ(said.back(), kEndPhrase);
}

// --- the map switch, by its key "@" ---------------------------------------------

class MapSwitchTest : public E2eTest {
 protected:
  // Not ending in a quote: the profile takes a value in quotes as the text between them.
  std::string command(const std::string& exe, const std::string& logName) {
    return "\"" + exePath(exe) + "\" --log \"" + log(logName).path() + "\" --doc-delay 100";
  }
  HWND startToolbar(int map, int mapMode = 0) {
    writeProfile("[Tabiro Info]\r\nMapMode=" + std::to_string(mapMode) + "\r\nMap=" + std::to_string(map) +
                 "\r\nExeFilePath0=" + command("navstub.exe", "navstub") +
                 "\r\nExeFilePath1=\"" + exePath("atlasstub.exe") + "\" --log \"" +
                 log("atlasstub").path() + "\" --view-delay 200\r\n");
    startTabiro();
    return waitForShownWindow(nullptr, "Tabiro2", 15000);
  }
  bool pressMapSwitch(HWND toolbar) { return pressKey(toolbar, '2', {VK_SHIFT}); }  // "@"
};

TEST_F(MapSwitchTest, AlternatingFromNavinYouClosesItAndLaunchesAtlas) {
  HWND toolbar = startToolbar(0);
  ASSERT_TRUE(toolbar);
  ASSERT_TRUE(navstubLog().waitFor(isEvent("main", "documents")));
  ASSERT_TRUE(pressMapSwitch(toolbar));
  EXPECT_TRUE(navstubLog().waitFor(isEvent("main", "exit")));
  EXPECT_TRUE(atlasLog().waitFor(isEvent("frame", "started"), 15000));
  EXPECT_TRUE(waitUntil([] { return readProfile().find("Map=1\r\n") != std::string::npos; }));
}

TEST_F(MapSwitchTest, AlternatingFromAtlasClosesItAndLaunchesNavinYou) {
  HWND toolbar = startToolbar(1);
  ASSERT_TRUE(toolbar);
  ASSERT_TRUE(atlasLog().waitFor(isEvent("frame", "view ready")));
  ASSERT_TRUE(pressMapSwitch(toolbar));
  EXPECT_TRUE(atlasLog().waitFor(isEvent("frame", "exit")));
  EXPECT_TRUE(navstubLog().waitFor(isEvent("main", "documents"), 15000));
  EXPECT_TRUE(waitUntil([] { return readProfile().find("Map=0\r\n") != std::string::npos; }));
}

// Side by side both keep running; the other one comes to the front.
TEST_F(MapSwitchTest, SideBySideBringsTheOtherMapForwardInEitherDirection) {
  HWND toolbar = startToolbar(1, 1);
  ASSERT_TRUE(toolbar);
  ASSERT_TRUE(navstubLog().waitFor(isEvent("main", "documents"), 15000));
  ASSERT_TRUE(atlasLog().waitFor(isEvent("frame", "view ready"), 15000));
  for (const int to : {0, 1}) {
    StubLog& front = to == 0 ? navstubLog() : atlasLog();
    const size_t mark = front.size();
    ASSERT_TRUE(pressMapSwitch(toolbar));
    EXPECT_TRUE(waitUntil([to] {
      return readProfile().find("Map=" + std::to_string(to) + "\r\n") != std::string::npos;
    })) << "to " << to;
    const std::string window = to == 0 ? "main" : "frame";
    const LogPredicate activated = [window](const LogEntry& e) {
      return !e.isEvent && e.window == window && e.message == WM_ACTIVATE && LOWORD(e.wParam) != WA_INACTIVE;
    };
    EXPECT_TRUE(front.waitFor(activated, kTimeoutMs, mark)) << "to " << to;
  }
  EXPECT_TRUE(navstubLog().matching(isEvent("main", "exit")).empty());
  EXPECT_TRUE(atlasLog().matching(isEvent("frame", "exit")).empty());
}

}  // namespace
}  // namespace e2e
