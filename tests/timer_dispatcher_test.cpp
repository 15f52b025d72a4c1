#include "app/timer_dispatcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/test_context.h"
#include "guidance/music_players.h"
#include "mapctl/map_commands.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::Action;
using testing::ActionKind;
using testing::PostedCommand;
using testing::Sent;
using testing::TestContext;

// An error box with a Cancel button that closes it.
WindowHandle addErrorBox(TestContext& t, const char* title) {
  const WindowHandle box = t.desktop.add("#32770", title);
  t.desktop.add("Button", "Cancel", box, 2);
  t.desktop.answer(box, 273, [&t, box](std::uintptr_t id, std::intptr_t) {
    if (id == 2) t.desktop.destroy(box);
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
  handleTimer(t.ctx, 100);
  EXPECT_FALSE(t.desktop.exists(first));
  EXPECT_FALSE(t.desktop.exists(second));
  EXPECT_THAT(t.log.filter([winamp](const Action& a) {
    return a.kind == ActionKind::Posted || (a.kind == ActionKind::Sent && a.window == winamp);
  }),
              ElementsAre(PostedCommand(winamp, 40045), Sent(winamp, 1024, 95000, 106)));
  EXPECT_EQ(load(t.state.winampStopped), 0);
  EXPECT_EQ(t.timers.running(), (std::map<int, int>{{100, 500}, {110, 90000}}));
}

TEST(AudioErrorTimer, ABoxThatWillNotCloseDoesNotHangTheToolbar) {
  TestContext t;
  t.desktop.add("#32770", "Error");  // ignores Cancel
  handleTimer(t.ctx, 100);
  EXPECT_EQ(t.log.of(ActionKind::Sent).size(), static_cast<std::size_t>(kMaxErrorBoxDismissals));
  EXPECT_EQ(t.timers.period(100), 500);
}

TEST(RouteListTimer, PollsWhileTheListIsOpenThenRaisesTheToolbarOnce) {
  TestContext t;
  const WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
  const WindowHandle list = t.desktop.add("#32770", "ﾙｰﾄ一覧");
  handleTimer(t.ctx, 12);
  EXPECT_EQ(t.timers.period(12), 500);
  EXPECT_THAT(t.log.of(ActionKind::Foreground), IsEmpty());
  t.desktop.destroy(list);
  handleTimer(t.ctx, 12);
  EXPECT_FALSE(t.timers.isRunning(12));
  EXPECT_THAT(t.log.of({ActionKind::Sleep, ActionKind::Foreground}),
              ElementsAre(testing::Sleep(2000), testing::Foreground(toolbar)));
}

TEST(ForegroundTimer, DoesNothingWithoutNavinYou) {
  TestContext t;
  t.desktop.add(kAtlas98FrameClass, "");
  t.settings.writeInt(key::kMap, 1);
  handleTimer(t.ctx, 4);
  EXPECT_THAT(t.log.of({ActionKind::Foreground, ActionKind::Sleep, ActionKind::TimerStart,
                        ActionKind::TimerStop}),
              ElementsAre(testing::TimerStop(4)));
}

TEST(GuideCheckTimer, StartsTheMusicCheckOnlyWhenEverythingHolds) {
  TestContext t;
  const WindowHandle main = t.desktop.add(kNavinYouClass, "");
  t.desktop.add("D", "ガイダンス", t.desktop.add(kMdiClientClass, "", main));
  t.desktop.add(kWinampClass, "");
  handleTimer(t.ctx, 110);
  EXPECT_THAT(t.log.of(ActionKind::WorkerStarted), IsEmpty());  // "guidecheck" is off
  t.settings.writeInt(key::kGuideCheck, 1);
  handleTimer(t.ctx, 110);
  EXPECT_THAT(t.log.of(ActionKind::WorkerStarted),
              ElementsAre(testing::WorkerStarted("musicPlayerCheck")));
  EXPECT_EQ(t.timers.period(110), 90000);
}

TEST(MusicPlayers, Layer3PlayerGoesBackToItsTrack) {
  TestContext t;
  const WindowHandle player = t.desktop.add(kLayer3Class, "");
  t.desktop.answer(player, 273, [&t](std::uintptr_t id, std::intptr_t) {
    if (id == 40016) t.desktop.add("Edit", "3", t.desktop.add("#32770", "Track information"), 1034);
    return std::intptr_t{0};
  });
  pauseMusic(t.ctx);
  resumeMusic(t.ctx);
  EXPECT_THAT(t.log.of(ActionKind::Posted),
              ElementsAre(PostedCommand(player, 40014), PostedCommand(player, 40014),
                          PostedCommand(player, 40010)));
  EXPECT_EQ(load(t.state.musicPlayerSeen), 1);
}

TEST(MusicPlayers, StoppedWinampIsNotStartedAfterwards) {
  TestContext t;
  const WindowHandle winamp = t.desktop.add(kWinampClass, "");
  t.desktop.answer(winamp, 1024, [](std::uintptr_t, std::intptr_t l) {
    return std::intptr_t{l == 104 ? 0 : 95000};
  });
  musicPlayerCheck(t.ctx);
  EXPECT_THAT(t.log.filter([winamp](const Action& a) {
    return a.kind == ActionKind::Sent && a.window == winamp && a.message == 273;
  }),
              IsEmpty());
  EXPECT_EQ(load(t.state.winampStopped), 0);
}

}  // namespace
}  // namespace tabiro
