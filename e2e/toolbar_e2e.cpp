// Tabiro2.exe beside the map program stand-ins: what it launches and waits
// for at start-up, where its window sits and what it stores of it, and how
// each way of quitting treats the map programs.
#include "harness.h"

#include <algorithm>

#include "resource.h"

namespace e2e {
namespace {

constexpr unsigned kAppExit = 57665;
constexpr int kToolbarHeight = 43;
// Long enough that a toolbar which did not wait would show before them.
constexpr const char* kDocDelayMs = "700";
constexpr const char* kViewDelayMs = "700";
// A start that waits for a map program is bounded by 60 s; the stand-ins
// are ready within a second or two.
constexpr int kStartTimeoutMs = 15000;

HWND findToolbar() { return FindWindowA(nullptr, "Tabiro2"); }

RECT windowRect(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

// The first event of a log that starts with `text`, 0 when there is none.
uint64_t eventTime(StubLog& log, const std::string& window, const std::string& text) {
  const auto entries = log.matching(isEvent(window, text));
  return entries.empty() ? 0 : entries.front().timeMs;
}

// Waits until the profile's "RECT" holds this place.
bool waitForStoredPlace(int top, int left) {
  return waitUntil([&] {
    const std::string profile = readProfile();
    return profile.find("top=" + std::to_string(top) + "\r\n") != std::string::npos &&
           profile.find("left=" + std::to_string(left) + "\r\n") != std::string::npos;
  });
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class ToolbarTest : public E2eTest {
 protected:
  // The command line the toolbar is to launch for a stand-in, logging to
  // the test's folder.
  std::string stubCommand(const std::string& exe, const std::string& logName,
                          const std::vector<std::string>& args) {
    std::string line = "\"" + exePath(exe) + "\" --log \"" + log(logName).path() + "\"";
    for (const std::string& arg : args) line += " " + arg;
    return line;
  }
  std::string navstubCommand() {
    return stubCommand("navstub.exe", "navstub", {"--doc-delay", kDocDelayMs, "--startup-dialogs", "both"});
  }
  std::string atlasCommand() { return stubCommand("atlasstub.exe", "atlasstub", {"--view-delay", kViewDelayMs}); }

  std::string profileFor(int mapMode, int map, const std::string& extra = "") {
    return "[Tabiro Info]\r\nMapMode=" + std::to_string(mapMode) + "\r\nMap=" + std::to_string(map) +
           "\r\nExeFilePath0=" + navstubCommand() + "\r\nExeFilePath1=" + atlasCommand() + "\r\n" + extra;
  }

  // Starts Tabiro2 and waits until its toolbar shows; remembers when.
  HWND startToolbar(const std::string& profile, int timeoutMs = kStartTimeoutMs) {
    writeProfile(profile);
    tabiro_ = startTabiro();
    HWND toolbar = nullptr;
    waitUntil([&] {
      toolbar = findToolbar();
      return toolbar && IsWindowVisible(toolbar);
    }, timeoutMs);
    shownAtMs_ = GetTickCount64();
    EXPECT_TRUE(toolbar && IsWindowVisible(toolbar)) << "the toolbar did not show";
    return toolbar;
  }

  bool navstubLaunched() { return fileExists(navstubLog().path()); }
  bool atlasLaunched() { return fileExists(atlasLog().path()); }

  HANDLE tabiro_ = nullptr;
  uint64_t shownAtMs_ = 0;
};

// --- start-up by map mode ---------------------------------------------------------

struct MapModeRow {
  int mapMode, map;
  bool navstub, atlas, atlasFirst;
  std::vector<int> disabled;  // beyond the seven that wait for GPS
};

std::string rowName(const ::testing::TestParamInfo<MapModeRow>& info) {
  return "MapMode" + std::to_string(info.param.mapMode) + "Map" + std::to_string(info.param.map);
}

class MapModeRowTest : public ToolbarTest, public ::testing::WithParamInterface<MapModeRow> {};

TEST_P(MapModeRowTest, LaunchesWhatTheRowSaysInOrderAndShowsOnceTheyAreReady) {
  const MapModeRow& row = GetParam();
  HWND toolbar = startToolbar(profileFor(row.mapMode, row.map));
  ASSERT_TRUE(toolbar);

  EXPECT_EQ(navstubLaunched(), row.navstub);
  EXPECT_EQ(atlasLaunched(), row.atlas);
  if (row.navstub) {
    const uint64_t documents = eventTime(navstubLog(), "main", "documents");
    ASSERT_NE(documents, 0u) << "Navin' You's documents never opened";
    EXPECT_LT(documents, shownAtMs_) << "the toolbar showed before Navin' You's map was open";
    // The route dialogs get the launch answers; an answered selection ends
    // the answering, so a confirmation that opened after it stays open.
    EXPECT_TRUE(navstubLog().waitFor(isEvent("route-select", "answered 9314")));
    for (const LogEntry& answer : navstubLog().matching(isEvent("route-confirm", "answered"))) {
      EXPECT_EQ(answer.event, "answered 7");
    }
  }
  if (row.atlas) {
    const uint64_t view = eventTime(atlasLog(), "frame", "view ready");
    ASSERT_NE(view, 0u) << "the ATLAS view never appeared";
    if (!row.atlasFirst) {
      EXPECT_LT(view, shownAtMs_) << "the toolbar showed before the ATLAS view";
    }
  }
  if (row.navstub && row.atlas) {
    const uint64_t navstubStart = eventTime(navstubLog(), "main", "started");
    const uint64_t atlasStart = eventTime(atlasLog(), "frame", "started");
    if (row.atlasFirst) {
      EXPECT_LT(atlasStart, navstubStart) << "ATLAS is started first, without waiting";
      EXPECT_LT(navstubStart, eventTime(atlasLog(), "frame", "view ready")) << "no wait for ATLAS";
    } else {
      EXPECT_LT(eventTime(navstubLog(), "main", "documents"), atlasStart)
          << "ATLAS is started only once Navin' You's map is open";
    }
  }

  std::vector<int> disabled = {IDC_SVIEW,      IDC_ADD_CAMERA,  IDC_NAVIGATION, IDC_GUIDE_SHOW,
                               IDC_GPS_RELIEF, IDC_GUIDE_HIDE,  IDC_CENTERING};
  disabled.insert(disabled.end(), row.disabled.begin(), row.disabled.end());
  for (int id : {IDC_GPS, IDC_LINKED_GPS, IDC_ROUTE_LIST, IDC_ROUTE_CLEAR, IDC_MAP_SWITCH, IDC_SVIEW,
                 IDC_ADD_CAMERA, IDC_NAVIGATION, IDC_CENTERING}) {
    const bool expectDisabled = std::find(disabled.begin(), disabled.end(), id) != disabled.end();
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(toolbar, id)) == FALSE, expectDisabled) << "button " << id;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MapModeRowTest,
    ::testing::Values(MapModeRow{0, 0, true, false, false, {IDC_LINKED_GPS}},
                      MapModeRow{0, 1, false, true, false, {IDC_LINKED_GPS, IDC_ROUTE_LIST, IDC_ROUTE_CLEAR}},
                      MapModeRow{1, 0, true, true, true, {}},
                      MapModeRow{1, 1, true, true, false, {IDC_ROUTE_LIST, IDC_ROUTE_CLEAR}},
                      MapModeRow{2, 0, false, false, false, {}}),
    rowName);

// --- the window and its place --------------------------------------------------------

TEST_F(ToolbarTest, WithoutAStoredPlaceItSitsTopLeftAcrossTheScreenAndStoresThePlace) {
  HWND toolbar = startToolbar("[Tabiro Info]\r\nMapMode=2\r\n");
  ASSERT_TRUE(toolbar);
  const RECT r = windowRect(toolbar);
  EXPECT_EQ(r.left, -1);
  EXPECT_EQ(r.top, -3);
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN) + 1);
  EXPECT_EQ(r.bottom - r.top, kToolbarHeight);
  EXPECT_TRUE(GetWindowLongA(toolbar, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(waitForStoredPlace(-3, -1)) << readProfile();
}

TEST_F(ToolbarTest, RestoresTheStoredPlaceClampedAtTheTopLeftAndStoresEveryMove) {
  HWND toolbar = startToolbar("[Tabiro Info]\r\nMapMode=2\r\n[RECT]\r\ntop=120\r\nleft=200\r\n");
  ASSERT_TRUE(toolbar);
  RECT r = windowRect(toolbar);
  EXPECT_EQ(r.left, 200);
  EXPECT_EQ(r.top, 120);
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN) - 200) << "as wide as the screen from its left edge";
  EXPECT_EQ(r.bottom - r.top, kToolbarHeight);

  // A move is stored as soon as the window repaints.
  SetWindowPos(toolbar, nullptr, 40, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(toolbar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_TRUE(waitForStoredPlace(300, 40)) << readProfile();
}

TEST_F(ToolbarTest, AStoredPlaceAboveOrLeftOfTheScreenIsClamped) {
  HWND toolbar = startToolbar("[Tabiro Info]\r\nMapMode=2\r\n[RECT]\r\ntop=-50\r\nleft=-9\r\n");
  ASSERT_TRUE(toolbar);
  const RECT r = windowRect(toolbar);
  EXPECT_EQ(r.left, -1);
  EXPECT_EQ(r.top, -3);
}

TEST_F(ToolbarTest, VersionEntryOfTheSystemMenuOpensTheAboutBox) {
  HWND toolbar = startToolbar("[Tabiro Info]\r\nMapMode=2\r\n");
  ASSERT_TRUE(toolbar);
  PostMessageA(toolbar, WM_SYSCOMMAND, IDM_ABOUT, 0);
  HWND about = waitForWindow(nullptr, "TabiroⅡﾊﾞｰｼﾞｮﾝ情報");
  ASSERT_TRUE(about);
  EXPECT_TRUE(findChild(about, nullptr, "TabiroⅡ Version 5.90"));
  PostMessageA(about, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(waitForWindowGone(nullptr, "TabiroⅡﾊﾞｰｼﾞｮﾝ情報"));
  EXPECT_TRUE(IsWindow(toolbar));
}

TEST_F(ToolbarTest, WaypointOutsideOneToFiftyKeepsTheToolbarOpenOnEnter) {
  HWND toolbar = startToolbar("[Tabiro Info]\r\nMapMode=2\r\n");
  ASSERT_TRUE(toolbar);
  send(GetDlgItem(toolbar, IDC_WAYPOINT_FIELD), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("51"));
  PostMessageA(toolbar, WM_COMMAND, IDOK, 0);
  HWND message = waitForWindow("#32770", "TabiroⅡ");
  ASSERT_TRUE(message) << "no range message";
  EXPECT_EQ(findToolbar(), toolbar) << "the message box must not take the toolbar's title";
  PostMessageA(message, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(waitForWindowGone("#32770", "TabiroⅡ"));
  EXPECT_FALSE(waitForExit(tabiro_, 300)) << "OK with a bad waypoint must not quit";
}

// The picture a person looks at: every button must be legible.
TEST_F(ToolbarTest, SavesAScreenshotOfTheToolbarBesideNavinYou) {
  HWND toolbar = startToolbar(profileFor(0, 0));
  ASSERT_TRUE(toolbar);
  RedrawWindow(toolbar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT r = windowRect(toolbar);
  r.left = std::max<LONG>(r.left, 0);
  r.top = std::max<LONG>(r.top, 0);
  EXPECT_TRUE(saveScreenshot(artifactsRoot() + "\\toolbar.bmp", r));
}

// --- quitting ----------------------------------------------------------------------

TEST_F(ToolbarTest, EscQuitsWithBothMapPrograms) {
  HWND toolbar = startToolbar(profileFor(1, 0));
  ASSERT_TRUE(toolbar);
  ASSERT_TRUE(pressKey(toolbar, VK_ESCAPE));
  EXPECT_TRUE(waitForExit(tabiro_));
  auto navstubExit = navstubLog().waitFor(isCommand("main", kAppExit));
  ASSERT_TRUE(navstubExit);
  EXPECT_FALSE(navstubExit->sent) << "the exit command is posted";
  auto atlasExit = atlasLog().waitFor(isCommand("frame", kAppExit));
  ASSERT_TRUE(atlasExit);
  EXPECT_FALSE(atlasExit->sent);
  EXPECT_TRUE(waitForWindowGone("Navin' You", nullptr));
  EXPECT_TRUE(waitForWindowGone("ProAtlas98Frame", nullptr));
}

TEST_F(ToolbarTest, CloseBoxQuitsWithNavinYou) {
  HWND toolbar = startToolbar(profileFor(0, 0));
  ASSERT_TRUE(toolbar);
  PostMessageA(toolbar, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(waitForExit(tabiro_));
  EXPECT_TRUE(navstubLog().waitFor(isCommand("main", kAppExit)));
  EXPECT_TRUE(waitForWindowGone("Navin' You", nullptr));
}

class QuitAloneTest : public ToolbarTest, public ::testing::WithParamInterface<bool> {};

TEST_P(QuitAloneTest, EnterAndTheExitButtonLeaveTheMapProgramRunning) {
  HWND toolbar = startToolbar(profileFor(0, 0));
  ASSERT_TRUE(toolbar);
  if (GetParam()) {
    ASSERT_TRUE(pressKey(toolbar, VK_RETURN));
  } else {
    postCommand(toolbar, IDC_EXIT);
  }
  EXPECT_TRUE(waitForExit(tabiro_));
  HWND navstub = FindWindowA("Navin' You", nullptr);
  EXPECT_TRUE(navstub);
  // The map program still answers, and never heard of an exit.
  EXPECT_TRUE(navstub && send(navstub, WM_NULL) == 0 && IsWindow(navstub));
  EXPECT_TRUE(navstubLog().matching(isCommand("main", kAppExit)).empty());
}

INSTANTIATE_TEST_SUITE_P(Ways, QuitAloneTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "EnterKey" : "ExitButton");
                         });

}  // namespace
}  // namespace e2e
