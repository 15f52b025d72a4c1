// The fakes themselves, where a fault would make other tests pass or fail
// for the wrong reason.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/timer_ids.h"
#include "fakes/test_context.h"
#include "mapctl/map_commands.h"
#include "platform/winmsg.h"
#include "resource.h"

namespace tabiro::testing {
namespace {

using ::testing::ElementsAre;

TEST(FakeDesktop, FindsLikeWindowsClassIgnoringCaseTitleExactly) {
  TestContext t;
  const WindowHandle frame = t.desktop.add("ProAtlasFrame", "ProAtlas");
  const WindowHandle main = t.desktop.add("Navin' You", "Navin' You");
  const WindowHandle first = t.desktop.add("Button", "OK", main, 1);
  const WindowHandle second = t.desktop.add("Button", "OK", main, 2);

  EXPECT_EQ(t.desktop.findWindow("proatlasframe", nullptr), frame);
  EXPECT_EQ(t.desktop.findWindow(nullptr, "proatlas"), kNoWindow);
  EXPECT_EQ(t.desktop.findWindow(nullptr, "ProAtlas"), frame);
  EXPECT_EQ(t.desktop.findChild(main, kNoWindow, "BUTTON", "OK"), first);
  EXPECT_EQ(t.desktop.findChild(main, first, "Button", "OK"), second);
  EXPECT_EQ(t.desktop.findChild(main, second, "Button", nullptr), kNoWindow);
  EXPECT_EQ(t.desktop.dialogItem(main, 2), second);

  t.desktop.destroy(main);
  EXPECT_FALSE(t.desktop.exists(first));
  EXPECT_EQ(t.desktop.findWindow("Navin' You", nullptr), kNoWindow);
  EXPECT_THAT(t.desktop.topLevelWindows(), ElementsAre(frame));
}

TEST(FakeDesktop, TextsAreBoundedLikeGetWindowTextWithoutSplittingACharacter) {
  TestContext t;
  const WindowHandle w = t.desktop.add("C", "ABｳｨﾝﾄﾞｳ地図");  // ｳ is one byte, 地 two
  EXPECT_EQ(t.desktop.windowText(w, 4), "ABｳ");
  EXPECT_EQ(t.desktop.windowText(w, 10), "ABｳｨﾝﾄﾞｳ");  // 8 bytes: 9 would be half of 地
  EXPECT_EQ(t.desktop.windowText(w, 0), "");
  t.desktop.setMenu(w, {{"ﾌｧｲﾙ", {"開く"}}});
  EXPECT_EQ(t.desktop.menuItemText(w, 0, -1, 3), "ﾌｧ");
  EXPECT_EQ(t.desktop.menuItemText(w, 0, 0, 19), "開く");
  EXPECT_EQ(t.desktop.menuItemText(w, 0, 1, 19), std::nullopt);
  EXPECT_EQ(t.desktop.menuItemText(w, 1, -1, 19), std::nullopt);
}

TEST(FakeDesktop, ScriptedAnswersByWParamWinAndMayChangeTheDesktop) {
  TestContext t;
  const WindowHandle dialog = t.desktop.add("#32770", "ﾙｰﾄ確認");
  const WindowHandle toolbar = t.desktop.add("ToolbarWindow32");
  t.desktop.answer(toolbar, win::kTbGetState, win::kTbStateEnabled);
  t.desktop.answer(toolbar, win::kTbGetState, kNavinGpsV1, win::kTbStateEnabledChecked);
  t.desktop.answer(dialog, win::kWmCommand, kRouteConfirmYes, [&](std::uintptr_t, std::intptr_t) {
    t.desktop.destroy(dialog);
    return std::intptr_t{0};
  });

  EXPECT_EQ(t.desktop.send(toolbar, win::kTbGetState, kNavinGpsV1, 0), win::kTbStateEnabledChecked);
  EXPECT_EQ(t.desktop.send(toolbar, win::kTbGetState, kNavinGpsV2, 0), win::kTbStateEnabled);
  EXPECT_EQ(t.desktop.send(toolbar, win::kWmCommand, win::kIdOk, 0), 0);  // unscripted
  t.desktop.post(dialog, win::kWmCommand, kRouteConfirmNo, 0);
  EXPECT_TRUE(t.desktop.exists(dialog));
  t.desktop.post(dialog, win::kWmCommand, kRouteConfirmYes, 0);
  EXPECT_FALSE(t.desktop.exists(dialog));
  // Nothing left over.
  EXPECT_EQ(t.desktop.send(toolbar, win::kTbGetState, kNavinGpsV1, 0), win::kTbStateEnabledChecked);

  EXPECT_THAT(t.log.messagesTo(dialog), ElementsAre(PostedCommand(dialog, kRouteConfirmNo),
                                                    PostedCommand(dialog, kRouteConfirmYes)));
}

TEST(FakeDesktop, WindowsAppearAfterSearchesOrAtAVirtualTime) {
  TestContext t;
  t.desktop.onFind(3, [&] { t.desktop.add("Navin' You"); });
  EXPECT_EQ(t.desktop.findWindow("Navin' You", nullptr), kNoWindow);
  EXPECT_EQ(t.desktop.findWindow("Navin' You", nullptr), kNoWindow);
  EXPECT_NE(t.desktop.findWindow("Navin' You", nullptr), kNoWindow);

  t.desktop.atTime(1000, [&] { t.desktop.add("SViewClass"); });
  t.clock.sleep(999);
  EXPECT_EQ(t.desktop.findWindow("SViewClass", nullptr), kNoWindow);
  t.clock.sleep(1);
  EXPECT_NE(t.desktop.findWindow("SViewClass", nullptr), kNoWindow);
}

TEST(ActionLog, RecordsEveryPortInOrderStampedWithVirtualTime) {
  TestContext t;
  const WindowHandle atlas = t.desktop.add("ProAtlasFrame");
  t.desktop.post(atlas, win::kWmCommand, kAtlasGpsOff, 0);
  t.clock.sleep(500);
  t.timers.start(timer::kRaiseAfterGps, 2000);
  const int popup = t.popups.showStatus(IDD_POPUP_GPS_START);
  t.sound.playResource("DING");
  t.popups.closeStatus(popup);
  t.timers.stop(timer::kRaiseAfterGps);

  EXPECT_THAT(t.log.actions(),
              ElementsAre(PostedCommand(atlas, kAtlasGpsOff), Sleep(500),
                          TimerStart(timer::kRaiseAfterGps, 2000), PopupShown(IDD_POPUP_GPS_START),
                          SoundResource("DING"), PopupClosed(IDD_POPUP_GPS_START),
                          TimerStop(timer::kRaiseAfterGps)));
  EXPECT_EQ(t.log.actions()[2].atMs, 500);
  EXPECT_EQ(t.log.totalSleptMs(), 500);
  EXPECT_FALSE(t.timers.isRunning(timer::kRaiseAfterGps));
}

TEST(FakeClock, LocalTimeMovesOnWithVirtualTime) {
  TestContext t;
  t.clock.setLocalTime({2024, 2, 28, 23, 59, 59});
  t.clock.sleep(1500);
  const LocalTime now = t.clock.localTime();
  EXPECT_EQ(std::tie(now.year, now.month, now.day, now.hour, now.minute, now.second),
            std::make_tuple(2024, 2, 29, 0, 0, 0));
}

TEST(FakeWorkers, KeepBodiesUntilTheTestRunsThem) {
  TestContext t;
  int runs = 0;
  t.workers.start("positionReader", [&] {
    ++runs;
    t.workers.start("trackLogWriter", [&] { ++runs; });
  });
  EXPECT_EQ(runs, 0);
  EXPECT_THAT(t.workers.pending(), ElementsAre("positionReader"));
  t.workers.runPending();
  EXPECT_EQ(runs, 2);
  EXPECT_THAT(t.log.actions(),
              ElementsAre(WorkerStarted("positionReader"), WorkerStarted("trackLogWriter")));
}

TEST(TestContext, EachHasItsOwnProfileRemovedAfterwards) {
  std::string path;
  {
    TestContext a;
    TestContext b;
    a.settings.writeInt("Tabiro Info", "Map", 1);
    EXPECT_EQ(b.settings.storedInt("Tabiro Info", "Map").value_or(0), 0);
    path = a.settings.path();
  }
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace tabiro::testing
