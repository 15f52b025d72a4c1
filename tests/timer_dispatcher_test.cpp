#include "app/timer_dispatcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/timer_ids.h"
#include "fakes/sequences.h"
#include "fakes/test_context.h"
#include "guidance/music_players.h"
#include "mapctl/map_commands.h"
#include "platform/winmsg.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::Action;
using testing::ActionKind;
using testing::BringToTop;
using testing::Foreground;
using testing::PostedCommand;
using testing::Sent;
using testing::Sleep;
using testing::TestContext;
using testing::TimerStart;
using testing::TimerStop;

// An error box with a Cancel button that closes it.
WindowHandle addErrorBox(TestContext& t, const char* title) {
  const WindowHandle box = t.desktop.add("#32770", title);
  t.desktop.add("Button", "Cancel", box, win::kIdCancel);
  t.desktop.answer(box, win::kWmCommand, [&t, box](std::uintptr_t id, std::intptr_t) {
    if (id == win::kIdCancel) t.desktop.destroy(box);
    return std::intptr_t{0};
  });
  return box;
}

TEST(AudioErrorTimer, DismissesEveryBoxInOneExpiryAndRestartsWinamp) {
  TestContext t;
  const WindowHandle first = addErrorBox(t, "Error");
  const WindowHandle second = addErrorBox(t, "Error Initializing Audio");
  const WindowHandle winamp = t.desktop.add(kWinampClass, "Winamp");
  store(t.state.winampStopped, 1);
  store(t.state.winampResumePosition, 95000);
  handleTimer(t.ctx, timer::kAudioErrorWatch);
  EXPECT_FALSE(t.desktop.exists(first));
  EXPECT_FALSE(t.desktop.exists(second));
  EXPECT_THAT(t.log.filter([winamp](const Action& a) {
    return a.kind == ActionKind::Posted || (a.kind == ActionKind::Sent && a.window == winamp);
  }),
              ElementsAre(PostedCommand(winamp, kWinampPlay),
                          Sent(winamp, win::kWmUser, 95000, kWinampJumpTo)));
  EXPECT_EQ(load(t.state.winampStopped), 0);
  EXPECT_EQ(t.timers.running(),
            (std::map<int, int>{{timer::kAudioErrorWatch, 500}, {timer::kGuideCheck, 90000}}));
}

TEST(AudioErrorTimer, PausesTheGuideCheckWhileDismissingAndRestartsBoth) {
  TestContext t;
  t.settings.writeInt(key::kCheckTime, 45);
  const WindowHandle box = addErrorBox(t, "Error");
  const WindowHandle cancel = t.desktop.dialogItem(box, win::kIdCancel);
  const WindowHandle winamp = t.desktop.add(kWinampClass, "Winamp");
  t.desktop.answer(winamp, win::kWmUser, kWinampRefused);
  store(t.state.winampStopped, 1);
  store(t.state.winampResumePosition, 95000);
  handleTimer(t.ctx, timer::kAudioErrorWatch);
  EXPECT_THAT(
      t.log.of({ActionKind::TimerStart, ActionKind::TimerStop, ActionKind::Sent, ActionKind::Posted,
                ActionKind::Sleep}),
      ElementsAre(TimerStop(timer::kAudioErrorWatch), TimerStop(timer::kGuideCheck),
                  Sent(box, win::kWmCommand, win::kIdCancel, static_cast<std::intptr_t>(cancel)),
                  Sleep(10), Sleep(100), TimerStart(timer::kGuideCheck, 45000),
                  PostedCommand(winamp, kWinampPlay), Sleep(10),
                  Sent(winamp, win::kWmUser, 95000, kWinampJumpTo),
                  TimerStart(timer::kAudioErrorWatch, 500)));
  EXPECT_EQ(load(t.state.winampStopped), 1) << "a refused jump is tried again next time";

  // Without an error box: only the watch itself goes round.
  t.log.clear();
  handleTimer(t.ctx, timer::kAudioErrorWatch);
  EXPECT_THAT(t.log.actions(), ElementsAre(TimerStop(timer::kAudioErrorWatch),
                                           TimerStart(timer::kAudioErrorWatch, 500)));
}

TEST(AudioErrorTimer, ABoxThatWillNotCloseDoesNotHangTheToolbar) {
  TestContext t;
  t.desktop.add("#32770", "Error");  // ignores Cancel
  handleTimer(t.ctx, timer::kAudioErrorWatch);
  EXPECT_EQ(t.log.of(ActionKind::Sent).size(), static_cast<std::size_t>(kMaxErrorBoxDismissals));
  EXPECT_EQ(t.timers.period(timer::kAudioErrorWatch), 500);
}

TEST(RouteListTimer, PollsWhileTheListIsOpenThenRaisesTheToolbarOnce) {
  TestContext t;
  const WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
  const WindowHandle list = t.desktop.add("#32770", "ﾙｰﾄ一覧");
  handleTimer(t.ctx, timer::kRouteListWatch);
  EXPECT_EQ(t.timers.period(timer::kRouteListWatch), 500);
  EXPECT_THAT(t.log.of(ActionKind::Foreground), IsEmpty());
  t.desktop.destroy(list);
  handleTimer(t.ctx, timer::kRouteListWatch);
  EXPECT_FALSE(t.timers.isRunning(timer::kRouteListWatch));
  EXPECT_THAT(t.log.of({ActionKind::Sleep, ActionKind::Foreground}),
              ElementsAre(testing::Sleep(2000), testing::Foreground(toolbar)));
}

TEST(RaiseTimers, StopThemselvesAndRaiseTheToolbar) {
  for (const int id : {timer::kRaiseAfterGps, timer::kRaiseAfterLinked}) {
    TestContext t;
    const WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
    t.timers.start(id, 2000);
    t.log.clear();
    handleTimer(t.ctx, id);
    EXPECT_THAT(t.log.actions(), ElementsAre(TimerStop(id), Foreground(toolbar))) << "timer " << id;
    EXPECT_FALSE(t.timers.isRunning(id));
  }
}

TEST(ForegroundTimer, BringsNavinYouThenSViewThenTheToolbar) {
  TestContext t;
  const WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
  const WindowHandle navin = t.desktop.add(kNavinYouClass, "");
  const WindowHandle sview = t.desktop.add(kSViewClass, "");
  t.timers.start(timer::kBringMapToFront, 1000);
  t.log.clear();
  handleTimer(t.ctx, timer::kBringMapToFront);
  EXPECT_THAT(t.log.actions(),
              ElementsAre(TimerStop(timer::kBringMapToFront), Foreground(navin), Sleep(500),
                          BringToTop(sview), Foreground(sview), Sleep(200), Foreground(toolbar)));
  EXPECT_FALSE(t.timers.isRunning(timer::kBringMapToFront));

  // With ATLAS in front the ATLAS window comes forward; with an unknown
  // "Map" nothing does, and the pauses stay.
  t.settings.writeInt(key::kMap, 1);
  const WindowHandle atlas = t.desktop.add(kAtlas98FrameClass, "");
  t.desktop.destroy(sview);
  t.log.clear();
  handleTimer(t.ctx, timer::kBringMapToFront);
  EXPECT_THAT(t.log.actions(), ElementsAre(TimerStop(timer::kBringMapToFront), Foreground(atlas),
                                           Sleep(500), Sleep(200), Foreground(toolbar)));
  t.settings.writeInt(key::kMap, 2);
  t.log.clear();
  handleTimer(t.ctx, timer::kBringMapToFront);
  EXPECT_THAT(t.log.actions(), ElementsAre(TimerStop(timer::kBringMapToFront), Sleep(500),
                                           Sleep(200), Foreground(toolbar)));
}

TEST(ForegroundTimer, DoesNothingWithoutNavinYou) {
  TestContext t;
  t.desktop.add(kAtlas98FrameClass, "");
  t.settings.writeInt(key::kMap, 1);
  handleTimer(t.ctx, timer::kBringMapToFront);
  EXPECT_THAT(t.log.of({ActionKind::Foreground, ActionKind::Sleep, ActionKind::TimerStart,
                        ActionKind::TimerStop}),
              ElementsAre(testing::TimerStop(timer::kBringMapToFront)));
}

// Each of the four conditions of timer::kGuideCheck on its own keeps the check from
// starting; the timer goes round with "checktime" every time.
TEST(GuideCheckTimer, StartsTheMusicCheckOnlyWhenAllFourConditionsHold) {
  struct Scene {
    const char* missing;
    bool guideWindow, guideCheck, winamp, winampStopped;
  };
  for (const Scene& scene : {Scene{"nothing", true, true, true, false},
                             Scene{"the guide window", false, true, true, false},
                             Scene{"guidecheck", true, false, true, false},
                             Scene{"Winamp", true, true, false, false},
                             Scene{"a Winamp not stopped by us", true, true, true, true}}) {
    TestContext t;
    t.settings.writeInt(key::kCheckTime, 20);
    const WindowHandle area = t.desktop.add(kMdiClientClass, "", t.desktop.add(kNavinYouClass, ""));
    t.desktop.add("D", scene.guideWindow ? "ガイダンス" : "地図", area);
    t.settings.writeInt(key::kGuideCheck, scene.guideCheck ? 1 : 0);
    if (scene.winamp) t.desktop.add(kWinampClass, "");
    store(t.state.winampStopped, scene.winampStopped ? 1 : 0);
    t.timers.start(timer::kGuideCheck, 20000);
    t.log.clear();
    handleTimer(t.ctx, timer::kGuideCheck);
    const bool all = scene.guideWindow && scene.guideCheck && scene.winamp && !scene.winampStopped;
    EXPECT_EQ(t.log.of(ActionKind::WorkerStarted).size(), all ? 1u : 0u) << "missing " << scene.missing;
    EXPECT_THAT(t.log.of({ActionKind::TimerStart, ActionKind::TimerStop}),
                ElementsAre(TimerStop(timer::kGuideCheck), TimerStart(timer::kGuideCheck, 20000)));
  }
}

TEST(MusicPlayers, Layer3PlayerGoesBackToItsTrack) {
  TestContext t;
  const WindowHandle player = t.desktop.add(kLayer3Class, "");
  t.desktop.answer(player, win::kWmCommand, [&t](std::uintptr_t id, std::intptr_t) {
    if (id == kLayer3TrackInfo)
      t.desktop.add("Edit", "3", t.desktop.add("#32770", kTrackInfoTitle), kTrackNumberControl);
    return std::intptr_t{0};
  });
  pauseMusic(t.ctx);
  resumeMusic(t.ctx);
  EXPECT_THAT(t.log.of(ActionKind::Posted),
              ::testing::ElementsAreArray(testing::layer3BackToTrack(player, 3)));
  EXPECT_EQ(load(t.state.musicPlayerSeen), 1);
}

TEST(MusicPlayers, StoppedWinampIsNotStartedAfterwards) {
  TestContext t;
  const WindowHandle winamp = t.desktop.add(kWinampClass, "");
  t.desktop.answer(winamp, win::kWmUser, [](std::uintptr_t, std::intptr_t l) {
    return std::intptr_t{l == kWinampGetState ? 0 : 95000};
  });
  musicPlayerCheck(t.ctx);
  EXPECT_THAT(t.log.filter([winamp](const Action& a) {
    return a.kind == ActionKind::Sent && a.window == winamp && a.message == win::kWmCommand;
  }),
              IsEmpty());
  EXPECT_EQ(load(t.state.winampStopped), 0);
}

}  // namespace
}  // namespace tabiro
