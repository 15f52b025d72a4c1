// Tabiro2.exe beside the map program stand-ins: what it launches and waits
// for at start-up, where its window sits and what it stores of it, and how
// each way of quitting treats the map programs.
#include "harness.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>

#include "mapctl/map_commands.h"
#include "platform/winmsg.h"
#include "resource.h"

namespace e2e {
namespace {

constexpr int kToolbarHeight = 43;
// Long enough that a toolbar which did not wait would show before them.
constexpr const char* kDocDelayMs = "700";
constexpr const char* kViewDelayMs = "700";
// For the row that starts ATLAS without waiting: long enough that Navin' You
// is surely started before the view, however slowly Wine starts a program.
constexpr const char* kLateViewDelayMs = "8000";
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


void saveToolbarPicture(HWND toolbar) {
  RedrawWindow(toolbar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT r = windowRect(toolbar);
  r.left = std::max<LONG>(r.left, 0);
  r.top = std::max<LONG>(r.top, 0);
  saveScreenshot(artifactsRoot() + "\\toolbar.bmp", r);
}

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
  std::string atlasCommand(const char* viewDelayMs = kViewDelayMs) {
    return stubCommand("atlasstub.exe", "atlasstub", {"--view-delay", viewDelayMs});
  }

  std::string profileFor(int mapMode, int map, const char* atlasViewDelayMs = kViewDelayMs) {
    return "[Tabiro Info]\r\nMapMode=" + std::to_string(mapMode) + "\r\nMap=" + std::to_string(map) +
           "\r\nExeFilePath0=" + navstubCommand() + "\r\nExeFilePath1=" + atlasCommand(atlasViewDelayMs) + "\r\n";
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
  HWND toolbar = startToolbar(profileFor(row.mapMode, row.map, row.atlasFirst ? kLateViewDelayMs : kViewDelayMs));
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
    const auto viewReady = atlasLog().waitFor(isEvent("frame", "view ready"), kStartTimeoutMs);
    ASSERT_TRUE(viewReady) << "the ATLAS view never appeared";
    const uint64_t view = viewReady->timeMs;
    if (!row.atlasFirst) {
      EXPECT_LT(view, shownAtMs_) << "the toolbar showed before the ATLAS view";
    }
  }
  if (row.navstub && row.atlas) {
    // The order of Tabiro's own launches, not of the stand-ins' start-ups,
    // which race once it has launched both.
    const std::vector<std::string> launched = {"tabiro2.exe", row.atlasFirst ? "atlasstub.exe" : "navstub.exe",
                                               row.atlasFirst ? "navstub.exe" : "atlasstub.exe"};
    EXPECT_EQ(processes_.creationOrder(), launched);
    // Tabiro's launches against what the stand-ins showed it, not against
    // how fast the other stand-in then came up.
    if (row.atlasFirst) {
      EXPECT_LT(processes_.launchedAtMs("navstub.exe"), eventTime(atlasLog(), "frame", "view ready"))
          << "no wait for ATLAS";
    } else {
      EXPECT_LT(eventTime(navstubLog(), "main", "documents"), processes_.launchedAtMs("atlasstub.exe"))
          << "ATLAS is launched only once Navin' You's map is open";
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

  // Beside Navin' You, a picture of the toolbar for a person to look at (an
  // artifact, not a check): every button must be legible.
  if (row.mapMode == 0 && row.map == 0) saveToolbarPicture(toolbar);
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

// --- what the toolbar offers, read from its own menu and controls ---------------------

// Control id and text of each tooltip, in the order they are added.
const std::vector<std::pair<int, std::string>> kTooltips = {
    {IDC_GPS, "GPS開始・終了 [1]"},
    {IDC_LINKED_GPS, "連動GPS開始・終了 [Q]"},
    {IDC_GPS_RELIEF, "GPSリリーフ解除 [2]"},
    {IDC_GUIDE_SHOW, "N:ガイド窓表示 [3]"},
    {IDC_GUIDE_HIDE, "N:ガイド窓消去 [4]"},
    {IDC_ROUTE_LIST, "N:ﾙｰﾄ一覧 [B]"},
    {IDC_ROUTE_CLEAR, "N:ﾙｰﾄｸﾘｱ [N]"},
    {IDC_CENTERING, "自車位置ｾﾝﾀﾘﾝｸﾞON/OFF [5]"},
    {IDC_ADD_CAMERA, "ｵｰﾋﾞｽﾃﾞｰﾀ追加 [6]"},
    {IDC_SVIEW, "SView表示切り替え [7]"},
    {IDC_MAP_MATCH, "ﾏｯﾌﾟﾏｯﾁON/OFF切り替え [8]"},
    {IDC_NAVIGATION, "音声&図形ナビ開始/終了 [/]"},
    {IDC_WAYPOINT_PREV, "ﾅﾋﾞﾎﾟｲﾝﾄ戻し [<]"},
    {IDC_WAYPOINT_FIELD, "ﾅﾋﾞﾎﾟｲﾝﾄ表示窓"},
    {IDC_WAYPOINT_NEXT, "ﾅﾋﾞﾎﾟｲﾝﾄ送り [>]"},
    {IDC_LEFT, "青:左ｽｸﾛｰﾙ 赤:ﾏｯﾌﾟﾏｯﾁ補正 [A]"},
    {IDC_UP, "青:上ｽｸﾛｰﾙ 赤:ﾏｯﾌﾟﾏｯﾁ補正 [W]"},
    {IDC_DOWN, "青:下ｽｸﾛｰﾙ 赤:ﾏｯﾌﾟﾏｯﾁ補正 [Z]"},
    {IDC_RIGHT, "青:右ｽｸﾛｰﾙ 赤:ﾏｯﾌﾟﾏｯﾁ補正 [S]"},
    {IDC_SCALE_200K, "縮尺1/20万 [9]"},
    {IDC_SCALE_70K, "縮尺1/7万 [0]"},
    {IDC_SCALE_20K, "縮尺1/2万 [ - ]"},
    {IDC_SCALE_10K, "縮尺1/1万 [ ^ ]"},
    {IDC_ZOOM_IN, "N:ｽﾞｰﾑｲﾝ A:1/5千 [\\]"},
    {IDC_ZOOM_OUT, "N:ｽﾞｰﾑｱｳﾄ A:詳細地図表示切り替え ( [ )"},
    {IDC_WINDOW_NORMAL, "Windowﾉｰﾏﾙ表示 [ : ]"},
    {IDC_WINDOW_MAX, "Window最大表示 ( ] )"},
    {IDC_MAP_SWITCH, "地図切り替え [@]"},
    {IDC_HELP_BUTTON, "TabiroⅡ ver5.90 ヘルプ [F1]"},
    {IDC_EXIT, "TabiroⅡのみ終了[Enter]/[Esc]-地図ｱﾌﾟﾘも終了"},
};

TEST_F(ToolbarTest, EveryControlHasItsTooltipInOrder) {
  HWND toolbar = startToolbar("[Tabiro Info]\r\nMapMode=2\r\n");
  ASSERT_TRUE(toolbar);
  ToolbarProbe probe(toolbar);
  ASSERT_TRUE(probe.installed());
  std::vector<std::string> expected;
  for (size_t i = 0; i < kTooltips.size(); ++i) {
    expected.push_back("tool " + std::to_string(i) + " " + std::to_string(kTooltips[i].first) + " " +
                       kTooltips[i].second);
  }
  EXPECT_EQ(probe.tooltips(), expected);
}

TEST_F(ToolbarTest, SystemMenuHoldsTheFourItemsAfterTheFirst) {
  HWND toolbar = startToolbar("[Tabiro Info]\r\nMapMode=2\r\n");
  ASSERT_TRUE(toolbar);
  ToolbarProbe probe(toolbar);
  ASSERT_TRUE(probe.installed());
  const std::vector<std::string> menu = probe.systemMenu();
  ASSERT_GE(menu.size(), 9u) << "the standard items and ours";
  EXPECT_EQ(std::vector<std::string>(menu.begin() + 1, menu.begin() + 8),
            (std::vector<std::string>{"menu 1 0 separator", "menu 2 18 string TabiroⅡ動作設定",
                                      "menu 3 19 string 音声＆図形ナビ設定",
                                      "menu 4 20 string GPS受信機設定...", "menu 5 0 separator",
                                      "menu 6 17 string TabiroⅡﾊﾞｰｼﾞｮﾝ情報", "menu 7 0 separator"}));
}

// The about box opens from the item the menu really holds, shows its version
// text whole and opens in the middle of the screen, clear of the toolbar.
TEST_F(ToolbarTest, VersionItemOpensTheAboutBoxWholeAndCentred) {
  HWND toolbar = startToolbar("[Tabiro Info]\r\nMapMode=2\r\n");
  ASSERT_TRUE(toolbar);
  ToolbarProbe probe(toolbar);
  ASSERT_TRUE(probe.installed());
  unsigned versionItem = 0;
  for (const std::string& line : probe.systemMenu()) {
    const size_t at = line.find(" string TabiroⅡﾊﾞｰｼﾞｮﾝ情報");
    if (at != std::string::npos) versionItem = std::stoul(line.substr(line.rfind(' ', at - 1) + 1));
  }
  ASSERT_NE(versionItem, 0u) << "no version item in the system menu";
  PostMessageA(toolbar, WM_SYSCOMMAND, versionItem, 0);
  HWND about = waitForWindow(nullptr, "TabiroⅡﾊﾞｰｼﾞｮﾝ情報");
  ASSERT_TRUE(about);
  ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(about) != FALSE; })) << "shown once initialised";

  const RECT box = windowRect(about);
  EXPECT_NEAR((box.left + box.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((box.top + box.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_GE(box.top, windowRect(toolbar).bottom) << "the toolbar hides the caption";

  HWND version = findChild(about, nullptr, "TabiroⅡ Version 5.90");
  HWND ok = GetDlgItem(about, IDOK);
  ASSERT_TRUE(version && ok);
  const RECT text = windowRect(version);
  EXPECT_LE(text.right, windowRect(ok).left) << "the text runs under the OK button";
  // The text as wide as the dialog's own font draws it.
  HDC dc = GetDC(nullptr);
  HFONT font = CreateFontA(-MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           SHIFTJIS_CHARSET, 0, 0, 0, 0, "ＭＳ Ｐゴシック");
  HGDIOBJ old = SelectObject(dc, font);
  SIZE extent = {};
  const std::string caption = "TabiroⅡ Version 5.90";
  GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  EXPECT_GE(text.right - text.left, extent.cx) << "the version text is cut";
  RECT client = {};
  GetClientRect(about, &client);
  MapWindowPoints(about, nullptr, reinterpret_cast<POINT*>(&client), 2);
  EXPECT_LE(text.right, client.right);

  ASSERT_TRUE(pressKey(about, VK_RETURN));
  EXPECT_TRUE(waitForWindowGone(nullptr, "TabiroⅡﾊﾞｰｼﾞｮﾝ情報"));
  EXPECT_TRUE(IsWindow(toolbar));
}

// "q", "," and "." click linked GPS, previous and next waypoint, as their
// captions give; the toolbar receives each click once.
TEST_F(ToolbarTest, MnemonicsQCommaAndPeriodClickTheirButtons) {
  HWND toolbar = startToolbar("[Tabiro Info]\r\nMapMode=2\r\n");
  ASSERT_TRUE(toolbar);
  ToolbarProbe probe(toolbar);
  ASSERT_TRUE(probe.installed());
  const std::pair<WORD, int> keys[] = {{'Q', IDC_LINKED_GPS}, {VK_OEM_COMMA, IDC_WAYPOINT_PREV},
                                       {VK_OEM_PERIOD, IDC_WAYPOINT_NEXT}};
  for (const auto& [key, id] : keys) {
    ASSERT_TRUE(pressKey(toolbar, key));
    EXPECT_TRUE(probe.waitForLine("command " + std::to_string(id) + " 0")) << "key " << key;
  }
  // The handlers themselves may send the toolbar other commands; each
  // button's own click arrives once.
  const auto commands = probe.lines();
  for (const auto& [key, id] : keys) {
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "command " + std::to_string(id) + " 0"), 1)
        << "key " << key;
  }
}

TEST_F(ToolbarTest, WaypointOutsideOneToFiveHundredOneKeepsTheToolbarOpenOnEnter) {
  HWND toolbar = startToolbar("[Tabiro Info]\r\nMapMode=2\r\n");
  ASSERT_TRUE(toolbar);
  // The field shows three digits whole, in the toolbar's font (a font
  // handle is the other process's own, so the same font is made here).
  HWND field = GetDlgItem(toolbar, IDC_WAYPOINT_FIELD);
  HDC dc = GetDC(field);
  const HFONT font = CreateFontA(-MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                 FALSE, SHIFTJIS_CHARSET, 0, 0, 0, 0, "ＭＳ Ｐゴシック");
  const HGDIOBJ old = SelectObject(dc, font);
  SIZE digits{};
  GetTextExtentPoint32A(dc, "501", 3, &digits);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(field, dc);
  RECT client{};
  GetClientRect(field, &client);
  EXPECT_LE(digits.cx, client.right - client.left) << "three digits do not fit the waypoint field";
  send(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("502"));
  PostMessageA(toolbar, WM_COMMAND, IDOK, 0);
  HWND message = waitForWindow("#32770", "TabiroⅡ");
  ASSERT_TRUE(message) << "no range message";
  EXPECT_EQ(findToolbar(), toolbar) << "the message box must not take the toolbar's title";
  ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(message) != FALSE; }));
  EXPECT_GE(windowRect(message).top, windowRect(toolbar).bottom) << "the toolbar hides the message's caption";
  PostMessageA(message, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(waitForWindowGone("#32770", "TabiroⅡ"));
  EXPECT_FALSE(waitForExit(tabiro_, 300)) << "OK with a bad waypoint must not quit";
}

// A route saved with CR LF loads no waypoint: guidance start says so in a
// box that names the file, and guidance runs on with what did load.
TEST_F(ToolbarTest, GuidanceStartWithARouteSavedWithCrLfTellsTheDriverOnce) {
  std::ifstream sample(sourcePath("data/sample-drive.nyp"), std::ios::binary);
  std::string route;
  for (char c; sample.get(c);) route += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const std::string path = testFile("crlf.nyp");
  std::ofstream(path, std::ios::binary) << route;
  HWND toolbar = startToolbar("[Tabiro Info]\r\nMapMode=2\r\n[Rot]\r\nFileName=" + path + "\r\n");
  ASSERT_TRUE(toolbar);
  PostMessageA(toolbar, WM_COMMAND, IDC_NAVIGATION, 0);
  HWND message = waitForWindow("#32770", "TabiroⅡ");
  ASSERT_TRUE(message) << "no message about the route";
  std::string text;
  for (HWND c = FindWindowExA(message, nullptr, "Static", nullptr); c; c = FindWindowExA(message, c, "Static", nullptr)) {
    text += windowText(c);
  }
  EXPECT_NE(text.find(path + " に地点が見つかりません。"), std::string::npos) << text;
  EXPECT_NE(text.find("CR LF"), std::string::npos) << text;
  PostMessageA(message, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(waitForWindowGone("#32770", "TabiroⅡ"));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(toolbar, IDC_ADD_CAMERA))) << "guidance did not start";
  EXPECT_FALSE(waitForWindow("#32770", "TabiroⅡ", 1000)) << "told twice";
}

// --- quitting ----------------------------------------------------------------------

TEST_F(ToolbarTest, EscQuitsWithBothMapPrograms) {
  HWND toolbar = startToolbar(profileFor(1, 0));
  ASSERT_TRUE(toolbar);
  ASSERT_TRUE(pressKey(toolbar, VK_ESCAPE));
  EXPECT_TRUE(waitForExit(tabiro_));
  auto navstubExit = navstubLog().waitFor(isCommand("main", tabiro::win::kCmdAppExit));
  ASSERT_TRUE(navstubExit);
  EXPECT_FALSE(navstubExit->sent) << "the exit command is posted";
  auto atlasExit = atlasLog().waitFor(isCommand("frame", tabiro::win::kCmdAppExit));
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
  EXPECT_TRUE(navstubLog().waitFor(isCommand("main", tabiro::win::kCmdAppExit)));
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
  EXPECT_TRUE(navstubLog().matching(isCommand("main", tabiro::win::kCmdAppExit)).empty());
}

INSTANTIATE_TEST_SUITE_P(Ways, QuitAloneTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "EnterKey" : "ExitButton");
                         });

// An owner-drawn button follows the click of a double click with a second
// notification (BN_DOUBLECLICKED); the button's handler runs for the click
// alone. Route clear sends Navin' You its command once.
TEST_F(ToolbarTest, ADoubleClickRunsTheButtonsHandlerOnce) {
  HWND toolbar = startToolbar(profileFor(0, 0));
  ASSERT_TRUE(toolbar);
  ToolbarProbe probe(toolbar);
  ASSERT_TRUE(probe.installed());
  ASSERT_TRUE(doubleClick(GetDlgItem(toolbar, IDC_ROUTE_CLEAR)));
  ASSERT_TRUE(probe.waitForLine("command " + std::to_string(IDC_ROUTE_CLEAR) + " 0"));
  ASSERT_TRUE(probe.waitForLine("command " + std::to_string(IDC_ROUTE_CLEAR) + " 5"))
      << "no double-click notification: the test proves nothing";
  auto routeClears = [&] { return navstubLog().matching(isCommand("main", tabiro::kNavinRouteClear)).size(); };
  ASSERT_TRUE(waitUntil([&] { return routeClears() >= 1; }));
  // A second command would follow at once; a second and a half is ample.
  EXPECT_FALSE(waitUntil([&] { return routeClears() >= 2; }, 1500)) << "the double click ran it twice";
}

// --- a program that dies, refuses or hangs never holds the toolbar ---------------

// Under the 60 s that start-up waits for a map program at most: a toolbar
// that waited it out fails.
constexpr int kGiveUpTimeoutMs = 30000;

// The toolbar looks for a map program's window every 50 ms (ATLAS: every
// second); a program that dies before it was ever seen is waited for as one
// that has not come yet. Time enough for the toolbar to see it.
constexpr int kSeenByTheToolbarMs = 3000;

// Ends the program that owns `window` once the toolbar has had time to see
// it: the toolbar launched it, not the test.
void killOwner(HWND window) {
  Sleep(kSeenByTheToolbarMs);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  ASSERT_TRUE(process);
  TerminateProcess(process, 1);
  WaitForSingleObject(process, kTimeoutMs);
  CloseHandle(process);
}

class PeerGoneTest : public ToolbarTest {
 protected:
  // The toolbar shows, answers and quits on Enter; prints how long after
  // `what` (at `sinceMs`) it showed.
  void expectToolbarUpAndAnswering(uint64_t sinceMs, const char* what) {
    HWND toolbar = nullptr;
    ASSERT_TRUE(waitUntil([&] {
      toolbar = findToolbar();
      return toolbar && IsWindowVisible(toolbar);
    }, kGiveUpTimeoutMs)) << "the toolbar is still waiting";
    std::printf("toolbar up %.1f s after %s\n", (GetTickCount64() - sinceMs) / 1000.0, what);
    ASSERT_TRUE(pressKey(toolbar, VK_RETURN));
    EXPECT_TRUE(waitForExit(tabiro_, 10000)) << "the toolbar does not answer";
  }
};

TEST_F(PeerGoneTest, NavinYouKilledBeforeItsMapOpens) {
  writeProfile("[Tabiro Info]\r\nMapMode=0\r\nMap=0\r\nExeFilePath0=" +
               stubCommand("navstub.exe", "navstub", {"--doc-delay", "120000"}) + "\r\n");
  tabiro_ = startTabiro();
  HWND navin = waitForNavstub(kStartTimeoutMs);
  ASSERT_TRUE(navin);
  killOwner(navin);
  ASSERT_TRUE(waitForWindowGone("Navin' You", nullptr));
  expectToolbarUpAndAnswering(GetTickCount64(), "Navin' You died");
}

TEST_F(PeerGoneTest, AtlasKilledBeforeItsView) {
  writeProfile("[Tabiro Info]\r\nMapMode=0\r\nMap=1\r\nExeFilePath1=" +
               stubCommand("atlasstub.exe", "atlasstub", {"--view-delay", "120000"}) + "\r\n");
  tabiro_ = startTabiro();
  HWND atlas = waitForWindow("ProAtlas98Frame", nullptr, kStartTimeoutMs);
  ASSERT_TRUE(atlas);
  killOwner(atlas);
  ASSERT_TRUE(waitForWindowGone("ProAtlas98Frame", nullptr));
  expectToolbarUpAndAnswering(GetTickCount64(), "ATLAS died");
}

TEST_F(PeerGoneTest, AnErrorBoxThatRefusesToClose) {
  startStub("errorbox.exe", "errorbox", {"--refuse"});
  ASSERT_TRUE(waitForWindow(nullptr, "Error"));
  writeProfile("[Tabiro Info]\r\nMapMode=2\r\n");
  const uint64_t started = GetTickCount64();
  tabiro_ = startTabiro();
  ASSERT_TRUE(log("errorbox").waitFor(isEvent("error1", "cancel refused"), kStartTimeoutMs));
  expectToolbarUpAndAnswering(started, "its start");
  EXPECT_TRUE(IsWindow(FindWindowA(nullptr, "Error")));
}

// A box whose program has stopped reading its messages: the Cancel sent to it
// is given up at once, and the toolbar keeps answering between its rounds.
TEST_F(PeerGoneTest, AnErrorBoxOfAHungProgram) {
  startStub("errorbox.exe", "errorbox", {"--hang"});
  HWND box = waitForWindow(nullptr, "Error");
  ASSERT_TRUE(box);
  ASSERT_TRUE(waitUntil([&] { return IsHungAppWindow(box) != FALSE; }, 15000)) << "not seen as hung";
  writeProfile("[Tabiro Info]\r\nMapMode=2\r\n");
  tabiro_ = startTabiro();
  HWND toolbar = waitForTabiro(kStartTimeoutMs);
  ASSERT_TRUE(toolbar);
  // A few rounds of the error watch (every 500 ms) go by, each sending
  // Cancel to the hung box. A send that waited for it would keep the toolbar
  // from ever reading the Enter below (sent messages such as a test's
  // WM_NULL would still be answered meanwhile, so they prove nothing).
  Sleep(2000);
  expectToolbarUpAndAnswering(GetTickCount64(), "two seconds beside the box");
}

}  // namespace
}  // namespace e2e
