// The Navin' You stand-in behaves as the toolbar's tests expect it to.
#include "harness.h"

#include <commctrl.h>  // after windows.h

#include <algorithm>

#include "mapctl/map_commands.h"
#include "platform/winmsg.h"

namespace e2e {
namespace {

using namespace tabiro;  // Navin' You's command and button ids

// A dialog button's handle, the lParam of its WM_COMMAND.
LPARAM button(HWND dialog, int id) { return reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)); }

class NavstubTest : public E2eTest {
 protected:
  // Starts the stand-in and waits until its documents are open.
  HWND startWithDocuments(std::vector<std::string> args = {}) {
    args.insert(args.end(), {"--doc-delay", "50"});
    startNavstub(args);
    HWND main = waitForNavstub();
    EXPECT_TRUE(navstubLog().waitFor(isEvent("main", "documents")));
    return main;
  }
  HWND client(HWND main) { return findChild(main, "MDIClient"); }
  HWND view(HWND main, const char* docTitle) {
    return findChild(findChild(client(main), nullptr, docTitle), "AfxFrameOrView42");
  }
  HWND toolbar(HWND main) { return findChild(main, "ToolbarWindow32"); }
};

TEST_F(NavstubTest, DocumentsAppearOnlyAfterTheDelay) {
  startNavstub({"--doc-delay", "600", "--version", "2"});
  HWND main = waitForNavstub();
  ASSERT_TRUE(main);
  HWND mdi = findChild(main, "MDIClient");
  ASSERT_TRUE(mdi);
  EXPECT_TRUE(children(mdi).empty()) << "documents before the delay";
  ASSERT_TRUE(navstubLog().waitFor(isEvent("main", "documents")));
  ASSERT_EQ(children(mdi).size(), 3u);
  std::vector<std::string> titles;
  for (HWND doc : children(mdi)) titles.push_back(windowText(doc));
  EXPECT_EQ(titles.front(), "地図 - 東京都千代田区") << "the active map document comes first";
  EXPECT_NE(std::find(titles.begin(), titles.end(), "ProAtlas - 関東"), titles.end());
  EXPECT_NE(std::find(titles.begin(), titles.end(), "ガイダンス"), titles.end());
  EXPECT_FALSE(findChild(findChild(mdi, nullptr, "ガイダンス"), "AfxFrameOrView42")) << "the guide window has no map view";
  HWND v = findChild(findChild(mdi, nullptr, "ProAtlas - 関東"), "AfxFrameOrView42");
  EXPECT_TRUE(findChild(v, "msctls_trackbar32"));
  EXPECT_TRUE(findChild(v, "msctls_updown32"));
}

TEST_F(NavstubTest, GpsAndCentringButtonsToggleAndAnswerTbGetState) {
  HWND main = startWithDocuments({"--gps-dialogs", "none"});
  HWND tb = toolbar(main);
  ASSERT_TRUE(tb);
  EXPECT_EQ(send(tb, TB_GETSTATE, kNavinGpsV1), 4);
  EXPECT_EQ(send(tb, TB_GETSTATE, kNavinCenteringV1), 5);
  sendCommand(main, kNavinGpsV1);
  EXPECT_EQ(send(tb, TB_GETSTATE, kNavinGpsV1), 5);
  EXPECT_TRUE(navstubLog().waitFor(isEvent("main", "gps on")));
  sendCommand(main, kNavinCenteringV1);
  EXPECT_EQ(send(tb, TB_GETSTATE, kNavinCenteringV1), 4);
  sendCommand(main, kNavinGpsV1);
  EXPECT_EQ(send(tb, TB_GETSTATE, kNavinGpsV1), 4);
  auto sent = navstubLog().waitFor(isCommand("main", kNavinGpsV1));
  ASSERT_TRUE(sent);
  EXPECT_TRUE(sent->sent) << "a sent command is logged as sent";
}

TEST_F(NavstubTest, Version2UsesItsOwnButtonIdsAndDisabledGpsAnswersNeither) {
  HWND main = startWithDocuments({"--version", "2", "--gps-disabled"});
  HWND tb = toolbar(main);
  EXPECT_EQ(send(tb, TB_GETSTATE, kNavinGpsV2), 0);
  EXPECT_EQ(send(tb, TB_GETSTATE, kNavinGpsV1), -1) << "no version 1.0 button in 2.0";
  postCommand(main, kNavinGpsV2);
  EXPECT_TRUE(navstubLog().waitFor(isEvent("main", "gps unavailable")));
}

TEST_F(NavstubTest, GpsStartAsksRouteThenDriverAndAnswersCloseThem) {
  HWND main = startWithDocuments({"--gps-dialogs", "both"});
  sendCommand(main, kNavinGpsV1);
  HWND confirm = waitForWindow(nullptr, "ﾙｰﾄ確認");
  HWND select = waitForWindow(nullptr, "ﾙｰﾄ選択");
  ASSERT_TRUE(confirm && select);
  EXPECT_FALSE(FindWindowA(nullptr, "運転者／同乗者確認")) << "the driver question comes after a route answer";
  postCommand(confirm, kRouteConfirmYes, button(confirm, kRouteConfirmYes));
  EXPECT_TRUE(waitForWindowGone(nullptr, "ﾙｰﾄ確認"));
  HWND driver = waitForWindow(nullptr, "運転者／同乗者確認");
  ASSERT_TRUE(driver);
  EXPECT_TRUE(GetDlgItem(driver, kDriverConfirmOk));
  postCommand(driver, kDriverConfirmOk, button(driver, kDriverConfirmOk));
  EXPECT_TRUE(waitForWindowGone(nullptr, "運転者／同乗者確認"));
  EXPECT_TRUE(FindWindowA(nullptr, "ﾙｰﾄ選択")) << "the unanswered selection stays open";
  postCommand(select, kRouteSelectOk, button(select, kRouteSelectOk));
  EXPECT_TRUE(waitForWindowGone(nullptr, "ﾙｰﾄ選択"));
  EXPECT_TRUE(navstubLog().waitFor(isEvent("driver-confirm", "answered " + std::to_string(kDriverConfirmOk))));
}

TEST_F(NavstubTest, StartupRouteDialogsCloseOnTheLaunchAnswers) {
  startWithDocuments({"--startup-dialogs", "both"});
  HWND confirm = waitForWindow(nullptr, "ﾙｰﾄ確認");
  HWND select = waitForWindow(nullptr, "ﾙｰﾄ選択");
  ASSERT_TRUE(confirm && select);
  sendCommand(confirm, kRouteConfirmNo, button(confirm, kRouteConfirmNo));
  sendCommand(select, kRouteSelectCancel, button(select, kRouteSelectCancel));
  EXPECT_TRUE(waitForWindowGone(nullptr, "ﾙｰﾄ確認"));
  EXPECT_TRUE(waitForWindowGone(nullptr, "ﾙｰﾄ選択"));
  EXPECT_FALSE(FindWindowA(nullptr, "運転者／同乗者確認")) << "no driver question without GPS";
}

TEST_F(NavstubTest, ArrowClicksMoveTheSliderByNine) {
  HWND main = startWithDocuments({"--slider-pos", "-72"});
  HWND v = view(main, "地図 - 東京都千代田区");
  HWND slider = findChild(v, "msctls_trackbar32");
  HWND arrows = findChild(v, "msctls_updown32");
  ASSERT_TRUE(slider && arrows);
  EXPECT_EQ(send(slider, TBM_GETPOS), -72);
  for (int i = 0; i < 3; ++i) send(arrows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 2));
  EXPECT_EQ(send(slider, TBM_GETPOS), -99);
  send(arrows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 26));
  EXPECT_EQ(send(slider, TBM_GETPOS), -90);
  for (int i = 0; i < 40; ++i) send(arrows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 2));
  EXPECT_LE(send(slider, TBM_GETPOS), -340) << "the range reaches the 1/20万 position";
  // No button-up follows: the control must not go on repeating by itself.
  LRESULT settled = send(slider, TBM_GETPOS);
  Sleep(300);
  EXPECT_EQ(send(slider, TBM_GETPOS), settled);
}

TEST_F(NavstubTest, StatusBarPartsHoldFieldsAtTheirByteOffsetsWhileReplaying) {
  HWND main = startWithDocuments({"--replay", sourcePath("data/sample-drive.nmea"), "--replay-speed", "20",
                                  "--gps-dialogs", "none"});
  HWND status = findChild(main, "msctls_statusbar32");
  ASSERT_TRUE(status);
  EXPECT_GE(send(status, SB_GETPARTS, 0, 0), 5);
  sendCommand(main, kNavinGpsV1);
  // A few seconds into the drive the car is moving.
  ASSERT_TRUE(navstubLog().waitFor(isEvent("statusbar", "fix 20 ")));
  std::string speed = statusBarText(status, 2), lat = statusBarText(status, 3), lon = statusBarText(status, 4);
  ASSERT_GE(lat.size(), 19u);
  ASSERT_GE(lon.size(), 19u);
  EXPECT_EQ(speed.substr(0, 4), "時速");
  EXPECT_NE(speed.find_first_of("123456789"), std::string::npos) << speed;
  EXPECT_EQ(lat.substr(0, 4), "北緯");
  EXPECT_EQ(lat.substr(7, 2), "35");
  EXPECT_EQ(lat.substr(11, 2), "40");
  EXPECT_EQ(lat[17], '.');
  EXPECT_EQ(lon.substr(0, 4), "東経");
  EXPECT_EQ(lon.substr(6, 3), "139");
  EXPECT_EQ(lon.substr(11, 2), "45");
  EXPECT_EQ(lon[17], '.');
  // The texts follow the drive.
  ASSERT_TRUE(navstubLog().waitFor(isEvent("statusbar", "fix 40 ")));
  EXPECT_NE(statusBarText(status, 3), lat);
}

// Wine cannot read another process's menu; the stand-in logs what its
// window menu holds at position 13 instead.
TEST_F(NavstubTest, WindowMenuItem13NamesTheFirstDocument) {
  startWithDocuments({"--version", "2", "--doc", "ProAtlas - 関東", "--doc", "地図 - 東京", "--active-doc", "2"});
  auto menu = navstubLog().waitFor(isEvent("main", "window-menu "));
  ASSERT_TRUE(menu);
  EXPECT_EQ(menu->event, "window-menu 3 13 &1 ProAtlas - 関東");
  EXPECT_GT(menu->event.substr(12, 1), "0") << "the window menu is not the first item";
}

TEST_F(NavstubTest, WindowMenuItem13NamesTheOwnMapOtherwise) {
  startWithDocuments({"--version", "2"});
  auto menu = navstubLog().waitFor(isEvent("main", "window-menu "));
  ASSERT_TRUE(menu);
  EXPECT_EQ(menu->event.find("ProAtlas"), std::string::npos) << menu->event;
}

TEST_F(NavstubTest, WindowListCommandsActivateFirstAndSecondDocument) {
  HWND main = startWithDocuments({"--version", "2", "--doc", "地図 - 東京", "--doc", "ProAtlas - 関東"});
  HWND mdi = client(main);
  auto active = [&] { return windowText(reinterpret_cast<HWND>(send(mdi, WM_MDIGETACTIVE))); };
  EXPECT_EQ(active(), "地図 - 東京");
  postCommand(main, kNavinSecondDocument);
  EXPECT_TRUE(waitUntil([&] { return active() == "ProAtlas - 関東"; }));
  EXPECT_EQ(windowText(children(mdi).front()), "ProAtlas - 関東") << "the active document is first in Z order";
  sendCommand(main, kNavinFirstDocument);
  EXPECT_EQ(active(), "地図 - 東京");
}

TEST_F(NavstubTest, RouteListClosesByItselfAndSettingsSheetAnswersClicks) {
  HWND main = startWithDocuments({"--route-list-ms", "300", "--mapmatch", "1"});
  sendCommand(main, kNavinRouteList);
  EXPECT_TRUE(FindWindowA(nullptr, "ﾙｰﾄ一覧"));
  EXPECT_TRUE(waitForWindowGone(nullptr, "ﾙｰﾄ一覧"));

  auto click = [](HWND w, int x, int y) {
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    Sleep(50);
    PostMessageA(w, WM_LBUTTONUP, MK_LBUTTON, MAKELPARAM(x, y));
  };
  postCommand(main, kNavinSettingsV1);
  HWND sheet = waitForWindow(nullptr, "GPS/ガイダンス機能設定");
  ASSERT_TRUE(sheet);
  HWND tab = waitForChild(sheet, "SysTabControl32");
  ASSERT_TRUE(tab);
  EXPECT_FALSE(findChild(sheet, nullptr, "走行ﾊﾟｽ/ﾏｯﾌﾟﾏｯﾁ")) << "the page exists only once its tab is chosen";
  click(tab, 158, 7);
  HWND page = waitForChild(sheet, nullptr, "走行ﾊﾟｽ/ﾏｯﾌﾟﾏｯﾁ");
  ASSERT_TRUE(page);
  HWND check = findChild(page, nullptr, "ﾏｯﾌﾟﾏｯﾁを有効にする");
  ASSERT_TRUE(check);
  click(check, 21, 5);
  EXPECT_TRUE(navstubLog().waitFor(isEvent("settings-page", "mapmatch 0")));
  click(findChild(sheet, nullptr, "OK"), 2, 2);
  EXPECT_TRUE(waitForWindowGone(nullptr, "GPS/ガイダンス機能設定"));
}

TEST_F(NavstubTest, HalfWidthSheetTitleOnRequest) {
  HWND main = startWithDocuments({"--version", "2", "--sheet-halfwidth"});
  postCommand(main, kNavinSettingsV1);  // the 1.0 command does nothing in 2.0
  postCommand(main, kNavinSettingsV2);
  EXPECT_TRUE(waitForWindow(nullptr, "GPS/ｶﾞｲﾀﾞﾝｽ機能設定"));
  EXPECT_FALSE(FindWindowA(nullptr, "GPS/ガイダンス機能設定"));
}

TEST_F(NavstubTest, ViewLogsPostedKeysWithTheirKeyData) {
  HWND main = startWithDocuments();
  HWND v = view(main, "地図 - 東京都千代田区");
  PostMessageA(v, WM_KEYDOWN, VK_LEFT, 0x014B0001);
  PostMessageA(v, WM_KEYUP, VK_LEFT, static_cast<LPARAM>(0xC14B0001u));
  auto up = navstubLog().waitFor(isMessage("view1", WM_KEYUP));
  ASSERT_TRUE(up);
  EXPECT_EQ(up->lParam, 0xC14B0001u);
  EXPECT_FALSE(up->sent) << "a posted key is logged as posted";
}

TEST_F(NavstubTest, RealKeyPressReachesTheForegroundProgram) {
  HWND main = startWithDocuments();
  ASSERT_TRUE(pressKey(main, VK_F5));
  auto key = navstubLog().waitFor([](const LogEntry& e) {
    return !e.isEvent && e.message == WM_KEYDOWN && e.wParam == VK_F5;
  });
  ASSERT_TRUE(key);
  EXPECT_FALSE(key->sent) << "keyboard input comes through the queue";
}

TEST_F(NavstubTest, ExitCommandEndsTheProgramAfterLoggingIt) {
  HANDLE process = startNavstub({"--doc-delay", "0"});
  HWND main = waitForNavstub();
  ASSERT_TRUE(main);
  postCommand(main, win::kCmdAppExit);
  EXPECT_TRUE(waitForExit(process));
  EXPECT_TRUE(navstubLog().waitFor(isEvent("main", "exit"), 0));
}

}  // namespace
}  // namespace e2e
