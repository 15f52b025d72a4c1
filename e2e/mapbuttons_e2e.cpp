// The map buttons pressed by their mnemonic keys on the toolbar, as a user
// presses them, against the stand-ins: what each stand-in received or how
// its windows changed, and that a stand-in closed in the middle of a wait
// never hangs the toolbar.
#include "harness.h"

#include <cstdlib>

#include "mapctl/map_commands.h"
#include "resource.h"

namespace e2e {
namespace {

using tabiro::kAtlasDetailMap;
using tabiro::kAtlasScaleBase;
constexpr const char* kMapDocument = "地図 - 東京都千代田区";
constexpr const char* kGuideDocument = "ガイダンス";
// The toolbar gives up a wait on another program after 10 s.
constexpr int kGiveUpMs = 10000;
constexpr int kHandlerMs = 15000;

LogPredicate activated(const std::string& window) {
  return [=](const LogEntry& e) {
    return !e.isEvent && e.window == window && e.message == WM_ACTIVATE && LOWORD(e.wParam) != 0;
  };
}

LogPredicate isKey(const std::string& window, unsigned message, unsigned key) {
  return [=](const LogEntry& e) { return !e.isEvent && e.window == window && e.message == message && e.wParam == key; };
}

// The last slider position navstub's first map view reported.
int lastSlider(StubLog& log) {
  const auto moves = log.matching(isEvent("updown1", "slider "));
  return moves.empty() ? -72 : std::atoi(moves.back().event.c_str() + 7);
}

class MapButtonsTest : public E2eTest {
 protected:
  // Starts the toolbar on a profile that launches nothing: the test starts
  // the stand-ins itself.
  HWND startToolbar(const std::string& profile) {
    writeProfile(profile);
    tabiro_ = startTabiro();
    toolbar_ = waitForTabiro(kHandlerMs);
    EXPECT_TRUE(toolbar_) << "no toolbar";
    return toolbar_;
  }

  // Navin' You (version 1.0, with its map and the guide window) in front, and
  // the toolbar once the start-up's foreground timer has handed the front
  // back to it.
  HWND startWithNavstub(std::vector<std::string> args = {}, const std::string& extra = "") {
    navstub_ = startNavstub(args);
    if (!navstubLog().waitFor(isEvent("main", "documents"), kHandlerMs)) return nullptr;
    navstubMain_ = waitForNavstub();
    const size_t mark = navstubLog().size();
    if (!startToolbar("[Tabiro Info]\r\nMapMode=0\r\nMap=0\r\n" + extra)) return nullptr;
    EXPECT_TRUE(navstubLog().waitFor(activated("main"), kHandlerMs, mark)) << "timer::kBringMapToFront never brought Navin' You";
    EXPECT_TRUE(settled());
    return toolbar_;
  }

  // The toolbar has finished what it was doing and (unless inFront is false)
  // is in front again.
  bool settled(int timeoutMs = kHandlerMs, bool inFront = true) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(toolbar_, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeoutMs), &result)) return false;
    return !inFront || waitUntil([&] { return GetForegroundWindow() == toolbar_; }, timeoutMs);
  }

  // Presses a button's key and waits until the stand-in shows that the
  // handler acted (`count` entries matching `sign` from now on), then until
  // the toolbar has finished.
  void press(char mnemonic, StubLog& log, const LogPredicate& sign, size_t count = 1, bool backInFront = true) {
    const size_t mark = log.size();
    ASSERT_TRUE(pressMnemonic(toolbar_, mnemonic)) << mnemonic;
    const auto signsSinceMark = [&] {
      size_t n = 0;
      const auto& all = log.entries();
      for (size_t i = mark; i < all.size(); ++i) n += sign(all[i]) ? 1 : 0;
      return n;
    };
    ASSERT_TRUE(waitUntil([&] { return signsSinceMark() >= count; }, kHandlerMs))
        << "key " << mnemonic << ": " << signsSinceMark() << " of " << count << " signs in " << log.path();
    ASSERT_TRUE(settled(kHandlerMs, backInFront)) << "key " << mnemonic << ": the toolbar did not come back";
  }

  // As GPS start would, so that the key reaches a button that waits for GPS.
  void enableButton(int id) { EnableWindow(GetDlgItem(toolbar_, id), TRUE); }

  HWND mapView() {
    HWND area = findChild(navstubMain_, "MDIClient");
    return findChild(findChild(area, nullptr, kMapDocument), "AfxFrameOrView42");
  }

  HANDLE tabiro_ = nullptr;
  HANDLE navstub_ = nullptr;
  HWND toolbar_ = nullptr;
  HWND navstubMain_ = nullptr;
};

// --- scale and zoom ---------------------------------------------------------------

TEST_F(MapButtonsTest, EveryFixedScaleBringsNavinYouSliderWithinTenOfItsTargetAndZoomStepsOnce) {
  ASSERT_TRUE(startWithNavstub());
  // Each press activates Navin' You, and timer::kBringMapToFront does so once more a second later.
  for (const auto& [key, target] : std::vector<std::pair<char, int>>{{'9', -340}, {'0', -250}, {'-', -130}, {'^', -72}}) {
    press(key, navstubLog(), activated("main"), 2);
    EXPECT_LT(std::abs(target - lastSlider(navstubLog())), 10) << "key " << key << " target " << target;
  }
  const int before = lastSlider(navstubLog());
  press('[', navstubLog(), activated("main"), 2);
  EXPECT_EQ(lastSlider(navstubLog()), before - 9) << "zoom out: one step up";
  press('\\', navstubLog(), activated("main"));
  EXPECT_EQ(lastSlider(navstubLog()), before) << "zoom in: one step down";
}

TEST_F(MapButtonsTest, AtlasGetsTheMenuCommandOfEachConfiguredScaleAndNothingForZero) {
  startAtlas();
  ASSERT_TRUE(atlasLog().waitFor(isEvent("frame", "view ready")));
  ASSERT_TRUE(startToolbar("[Tabiro Info]\r\nMapMode=0\r\nMap=1\r\n20=3\r\n7=0\r\n2=5\r\n1=10\r\n05=2\r\n"));
  ASSERT_TRUE(settled());
  for (char key : {'9', '0', '-', '^', '\\', '['}) press(key, atlasLog(), activated("frame"));
  const std::vector<unsigned> expected{kAtlasScaleBase + 3, kAtlasScaleBase + 5, kAtlasScaleBase + 10,
                                       kAtlasScaleBase + 2, kAtlasDetailMap};
  const auto posted = [this] {
    std::vector<unsigned> commands;
    for (const LogEntry& e : atlasLog().matching(isMessage("frame", WM_COMMAND))) {
      if (!e.sent) commands.push_back(LOWORD(e.wParam));
    }
    return commands;
  };
  // The last command is posted before the toolbar comes back, but ATLAS may
  // take it from its queue only after that.
  waitUntil([&] { return posted().size() >= expected.size(); }, kHandlerMs);
  EXPECT_EQ(posted(), expected);
}

// --- scrolling and correction ---------------------------------------------------------

TEST_F(MapButtonsTest, ArrowsScrollNavinYouWithKeyDownAndUp) {
  ASSERT_TRUE(startWithNavstub());
  for (const auto& [key, vk, scan] : std::vector<std::tuple<char, unsigned, unsigned>>{
           {'a', VK_LEFT, 0x4B}, {'w', VK_UP, 0x48}, {'z', VK_DOWN, 0x50}, {'s', VK_RIGHT, 0x4D}}) {
    press(key, navstubLog(), isKey("view1", WM_KEYUP, vk));
    const auto down = navstubLog().matching(isKey("view1", WM_KEYDOWN, vk));
    ASSERT_EQ(down.size(), 1u) << key;
    EXPECT_EQ(down[0].lParam, 0x01000001u | (scan << 16)) << key;
    EXPECT_FALSE(down[0].sent);
    EXPECT_EQ(navstubLog().matching(isKey("view1", WM_KEYUP, vk))[0].lParam, 0xC1000001u | (scan << 16));
  }
}

TEST_F(MapButtonsTest, ArrowsScrollTheAtlasMapWithOneSentKeyDown) {
  startAtlas({"--kind", "frame"});
  ASSERT_TRUE(atlasLog().waitFor(isEvent("frame", "view ready")));
  ASSERT_TRUE(startToolbar("[Tabiro Info]\r\nMapMode=0\r\nMap=1\r\n"));
  ASSERT_TRUE(settled());
  for (const auto& [key, vk] : std::vector<std::pair<char, unsigned>>{{'a', VK_LEFT}, {'w', VK_UP}, {'z', VK_DOWN}, {'s', VK_RIGHT}}) {
    // Under Wine the ATLAS stand-in sometimes takes the front back after the
    // toolbar's raise; what matters here is the one sent key-down.
    press(key, atlasLog(), isKey("view", WM_KEYDOWN, vk), 1, false);
  }
  const auto keys = atlasLog().matching([](const LogEntry& e) {
    return !e.isEvent && e.window == "view" && (e.message == WM_KEYDOWN || e.message == WM_KEYUP);
  });
  ASSERT_EQ(keys.size(), 4u) << "one key-down a button, no key-up";
  for (const LogEntry& e : keys) EXPECT_TRUE(e.sent);
}

TEST_F(MapButtonsTest, ArrowsInCorrectionModeRightClickNavinYouMapBesideItsCentre) {
  ASSERT_TRUE(startWithNavstub());
  // GPS start sets "Match" in the profile; the toolbar reads it at every press.
  std::string profile = readProfile();
  profile.replace(profile.find("Match=0"), 7, "Match=1");
  writeProfile(profile + "[MapMatch]\r\nhosei_L=40\r\n");
  RECT r = {};
  GetWindowRect(mapView(), &r);
  const int cx = (r.right - r.left) / 2, cy = (r.bottom - r.top) / 2;

  press('a', navstubLog(), isMessage("view1", WM_LBUTTONUP));
  press('w', navstubLog(), isMessage("view1", WM_LBUTTONUP));
  const auto rightClicks = navstubLog().matching(isMessage("view1", WM_RBUTTONDOWN));
  ASSERT_EQ(rightClicks.size(), 2u);
  EXPECT_EQ(rightClicks[0].lParam, static_cast<uint64_t>(MAKELPARAM(cx - 40, cy)));
  EXPECT_EQ(rightClicks[1].lParam, static_cast<uint64_t>(MAKELPARAM(cx, cy - 30)));
  EXPECT_EQ(navstubLog().matching(isCommand("view1", tabiro::kNavinMapMatch)).size(), 2u);
  const auto leftClicks = navstubLog().matching(isMessage("view1", WM_LBUTTONDOWN));
  ASSERT_EQ(leftClicks.size(), 2u);
  EXPECT_EQ(leftClicks[0].lParam, static_cast<uint64_t>(MAKELPARAM(cx - 50, cy - 50)));
  EXPECT_TRUE(navstubLog().matching(isMessage("view1", WM_KEYDOWN)).empty()) << "no scrolling";
}

// --- window and display toggles ----------------------------------------------------------

TEST_F(MapButtonsTest, GuideShowAndHideAndWindowSizeChangeNavinYouWindows) {
  ASSERT_TRUE(startWithNavstub());
  HWND area = findChild(navstubMain_, "MDIClient");
  HWND guide = findChild(area, nullptr, kGuideDocument);
  HWND map = findChild(area, nullptr, kMapDocument);
  enableButton(IDC_GUIDE_SHOW);
  enableButton(IDC_GUIDE_HIDE);

  ASSERT_TRUE(pressMnemonic(toolbar_, '3'));
  EXPECT_TRUE(waitUntil([&] { return GetWindow(area, GW_CHILD) == guide; })) << "the guide window is on top";
  // Navin' You opens its documents maximised: restore them, so that hiding
  // the guide window has to maximise the map again.
  for (HWND document : {guide, map}) send(area, WM_MDIRESTORE, reinterpret_cast<WPARAM>(document));
  ASSERT_FALSE(IsZoomed(map) || IsZoomed(guide));
  ASSERT_TRUE(pressMnemonic(toolbar_, '4'));
  EXPECT_TRUE(waitUntil([&] { return GetWindow(area, GW_CHILD) == map && IsZoomed(map); }))
      << "the map document is maximised over the guide window";

  press(']', navstubLog(), isMessage("main", WM_SIZE));
  EXPECT_TRUE(waitUntil([&] { return IsZoomed(navstubMain_) != FALSE; })) << "maximised";
  press(':', navstubLog(), isMessage("main", WM_SIZE));
  EXPECT_TRUE(waitUntil([&] { return !IsZoomed(navstubMain_); })) << "normal";
}

TEST_F(MapButtonsTest, WindowSizeWithBothProgramsResizesNavinYouThenAtlasWhichEndsInFront) {
  navstub_ = startNavstub();
  ASSERT_TRUE(navstubLog().waitFor(isEvent("main", "documents"), kHandlerMs));
  navstubMain_ = waitForNavstub();
  startAtlas();
  ASSERT_TRUE(atlasLog().waitFor(isEvent("frame", "view ready")));
  HWND frame = waitForWindow("ProAtlas98Frame", nullptr);
  const size_t mark = atlasLog().size();
  ASSERT_TRUE(startToolbar("[Tabiro Info]\r\nMapMode=1\r\nMap=1\r\n"));
  ASSERT_TRUE(atlasLog().waitFor(activated("frame"), kHandlerMs, mark)) << "timer::kBringMapToFront never brought ATLAS";
  ASSERT_TRUE(settled());

  press(']', atlasLog(), activated("frame"));
  EXPECT_TRUE(IsZoomed(navstubMain_));
  EXPECT_TRUE(IsZoomed(frame));
  press(':', atlasLog(), activated("frame"));
  EXPECT_FALSE(IsZoomed(navstubMain_));
  EXPECT_FALSE(IsZoomed(frame));
}

TEST_F(MapButtonsTest, SViewOpensResizesAndClosesThroughTheGpsPlayer) {
  startStub("gpsplayer.exe", "gpsplayer");
  StubLog& player = log("gpsplayer");
  ASSERT_TRUE(player.waitFor(isEvent("gpsplayer", "ready")));
  ASSERT_TRUE(startToolbar("[Tabiro Info]\r\nMapMode=2\r\n"));
  ASSERT_TRUE(settled());
  enableButton(IDC_SVIEW);
  press('7', player, isEvent("sview", "opened"));
  press('7', player, isEvent("sview", "size 640x480"));
  press('7', player, isEvent("sview", "closed"));
  press('7', player, isEvent("sview", "opened"));
}

TEST_F(MapButtonsTest, MapMatchSwitchTogglesTheCheckBoxInTheSettingsSheetUnderItsHalfWidthTitle) {
  ASSERT_TRUE(startWithNavstub({"--sheet-halfwidth"}));
  press('8', navstubLog(), isEvent("settings-sheet", "ok"));
  EXPECT_TRUE(navstubLog().waitFor(isEvent("settings-page", "mapmatch 0")));
  EXPECT_TRUE(waitForWindowGone(nullptr, "GPS/ｶﾞｲﾀﾞﾝｽ機能設定"));
  press('8', navstubLog(), isEvent("settings-page", "mapmatch 1"));
}

// --- route list and route clear --------------------------------------------------------------

TEST_F(MapButtonsTest, RouteListReachesNavinYouAndTheToolbarReturnsTwoSecondsAfterTheListCloses) {
  ASSERT_TRUE(startWithNavstub({"--route-list-ms", "1500"}));
  ASSERT_TRUE(pressMnemonic(toolbar_, 'b'));
  const auto command = navstubLog().waitFor(isCommand("main", tabiro::kNavinRouteList));
  ASSERT_TRUE(command);
  EXPECT_TRUE(command->sent);
  const auto closed = navstubLog().waitFor(isEvent("route-list", "closed"), kHandlerMs);
  ASSERT_TRUE(closed);
  SetForegroundWindow(navstubMain_);  // the user went on in Navin' You
  ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == toolbar_; }, kHandlerMs));
  const uint64_t back = GetTickCount64() - closed->timeMs;
  EXPECT_GE(back, 1800u) << "the toolbar waits two seconds after the list closes";
  EXPECT_LE(back, 6000u);

  press('n', navstubLog(), isEvent("main", "route cleared"));
}

// --- a stand-in closed while a handler waits on it ------------------------------------------

TEST_F(MapButtonsTest, GpsPlayerClosedWhileSViewIsAwaitedDoesNotHangTheToolbar) {
  HANDLE player = startStub("gpsplayer.exe", "gpsplayer", {"--sview-delay", "60000"});
  ASSERT_TRUE(log("gpsplayer").waitFor(isEvent("gpsplayer", "ready")));
  ASSERT_TRUE(startToolbar("[Tabiro Info]\r\nMapMode=2\r\n"));
  ASSERT_TRUE(settled());
  enableButton(IDC_SVIEW);
  ASSERT_TRUE(pressMnemonic(toolbar_, '7'));
  ASSERT_TRUE(log("gpsplayer").waitFor(isEvent("gpsplayer", "sview starting")));
  TerminateProcess(player, 1);
  const uint64_t start = GetTickCount64();
  EXPECT_TRUE(settled(kGiveUpMs + 5000)) << "the toolbar never came back";
  EXPECT_LT(GetTickCount64() - start, static_cast<uint64_t>(kGiveUpMs + 5000));
}

TEST_F(MapButtonsTest, NavinYouClosedWhileItsSettingsSheetIsAwaitedDoesNotHangTheToolbar) {
  ASSERT_TRUE(startWithNavstub({"--sheet-delay", "60000"}));
  ASSERT_TRUE(pressMnemonic(toolbar_, '8'));
  ASSERT_TRUE(navstubLog().waitFor(isEvent("main", "sheet in")));
  TerminateProcess(navstub_, 1);
  const uint64_t start = GetTickCount64();
  EXPECT_TRUE(settled(kGiveUpMs + 5000)) << "the toolbar never came back";
  EXPECT_LT(GetTickCount64() - start, static_cast<uint64_t>(kGiveUpMs + 5000));
}

TEST_F(MapButtonsTest, NavinYouClosedWhileTheRouteListIsWatchedBringsTheToolbarBack) {
  ASSERT_TRUE(startWithNavstub({"--route-list-ms", "60000"}));
  ASSERT_TRUE(pressMnemonic(toolbar_, 'b'));
  ASSERT_TRUE(navstubLog().waitFor(isEvent("route-list", "opened")));
  TerminateProcess(navstub_, 1);
  const uint64_t start = GetTickCount64();
  EXPECT_TRUE(settled(8000)) << "the toolbar never came back";
  EXPECT_LT(GetTickCount64() - start, 8000u);
}

}  // namespace
}  // namespace e2e
