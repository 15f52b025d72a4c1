#include "mapctl/route_dialogs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/timer_dispatcher.h"
#include "core/timer_ids.h"
#include "fakes/sequences.h"
#include "fakes/test_context.h"
#include "mapctl/map_commands.h"
#include "platform/winmsg.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::Foreground;
using testing::Posted;
using testing::SentCommand;
using testing::Sleep;
using testing::TestContext;
using testing::TimerStart;
using testing::TimerStop;

TEST(RouteList, SendsTheCommandThenTheRouteListWatchFollowsTheListUntilItCloses) {
  TestContext t;
  const WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
  const WindowHandle navin = t.desktop.add(kNavinYouClass);
  WindowHandle list = kNoWindow;
  t.desktop.answer(navin, win::kWmCommand, kNavinRouteList, [&](std::uintptr_t, std::intptr_t) {
    list = t.desktop.add("#32770", kNavinRouteListTitle);
    return 0;
  });
  showRouteList(t.ctx);
  EXPECT_THAT(t.log.actions(),
              ElementsAreArray(testing::then(testing::raiseTimersStopped(),
                                             SentCommand(navin, kNavinRouteList),
                                             TimerStart(timer::kRouteListWatch, 500))));
  for (int firing = 0; firing < 3; ++firing) {
    t.log.clear();
    handleTimer(t.ctx, timer::kRouteListWatch);
    EXPECT_THAT(t.log.actions(), ElementsAre(TimerStop(timer::kRouteListWatch),
                                             TimerStart(timer::kRouteListWatch, 500)));
  }
  t.desktop.destroy(list);
  t.log.clear();
  handleTimer(t.ctx, timer::kRouteListWatch);
  EXPECT_THAT(t.log.actions(),
              ElementsAre(TimerStop(timer::kRouteListWatch), Sleep(2000), Foreground(toolbar)));
}

TEST(RouteList, ClearSendsItsCommandAndWithoutNavinYouTheTimerStillRuns) {
  TestContext t;
  const WindowHandle navin = t.desktop.add(kNavinYouClass);
  clearRoute(t.ctx);
  EXPECT_THAT(t.log.messages(), ElementsAre(SentCommand(navin, kNavinRouteClear)));

  TestContext alone;
  showRouteList(alone.ctx);
  EXPECT_THAT(alone.log.messages(), IsEmpty());
  EXPECT_EQ(alone.timers.period(timer::kRouteListWatch), 500);
}

// The driver dialog's other button, never pressed.
constexpr int kDriverConfirmOther = 8521;

// A Navin' You dialog that closes when one of its buttons is pressed.
WindowHandle addDialog(TestContext& t, const char* title, std::initializer_list<int> buttons) {
  const WindowHandle dialog = t.desktop.add("#32770", title);
  for (const int id : buttons) {
    t.desktop.add("Button", "", dialog, id);
    t.desktop.answer(dialog, win::kWmCommand, static_cast<std::uintptr_t>(id),
                     [&t, dialog](std::uintptr_t, std::intptr_t) {
                       t.desktop.destroy(dialog);
                       return 0;
                     });
  }
  return dialog;
}

std::intptr_t control(TestContext& t, WindowHandle dialog, int id) {
  return static_cast<std::intptr_t>(t.desktop.dialogItem(dialog, id));
}

TEST(RouteDialogResponder, AnswersOnlyTheConfirmationWhenBothRouteDialogsAreOpenThenTheDriver) {
  TestContext t;
  const WindowHandle confirm = addDialog(t, kRouteConfirmTitle, {kRouteConfirmYes, kRouteConfirmNo});
  const WindowHandle select = addDialog(t, kRouteSelectTitle, {kRouteSelectOk, kRouteSelectCancel});
  const std::intptr_t yes = control(t, confirm, kRouteConfirmYes);
  WindowHandle driver = kNoWindow;
  std::intptr_t driverOk = 0;
  t.desktop.atTime(500, [&] {
    driver = addDialog(t, kDriverConfirmTitle, {kDriverConfirmOk, kDriverConfirmOther});
    driverOk = control(t, driver, kDriverConfirmOk);
  });
  routeDialogResponder(t.ctx);
  EXPECT_THAT(
      t.log.actions(),
      ElementsAre(Posted(confirm, win::kWmCommand, kRouteConfirmYes, yes), Sleep(200), Sleep(200),
                  Sleep(200), Posted(driver, win::kWmCommand, kDriverConfirmOk, driverOk)));
  EXPECT_TRUE(t.desktop.exists(select));
}

TEST(RouteDialogResponder, AnswersTheSelectionWhenItComesAlone) {
  TestContext t;
  WindowHandle select = kNoWindow;
  std::intptr_t ok = 0;
  t.desktop.atTime(250, [&] {
    select = addDialog(t, kRouteSelectTitle, {kRouteSelectOk, kRouteSelectCancel});
    ok = control(t, select, kRouteSelectOk);
    addDialog(t, kDriverConfirmTitle, {kDriverConfirmOk});
  });
  routeDialogResponder(t.ctx);
  const auto messages = t.log.messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], Posted(select, win::kWmCommand, kRouteSelectOk, ok));
  EXPECT_EQ(messages[1].wParam, static_cast<std::uintptr_t>(kDriverConfirmOk));
  EXPECT_THAT(t.log.of(testing::ActionKind::Sleep), ElementsAre(Sleep(100), Sleep(100), Sleep(100)));
}

TEST(RouteDialogResponder, GivesUpAfterTwoMinutesWhetherNoDialogOrNoDriverDialogComes) {
  TestContext none;
  routeDialogResponder(none.ctx);
  EXPECT_THAT(none.log.messages(), IsEmpty());
  EXPECT_GE(none.clock.nowMs(), kRouteDialogResponderMs);
  EXPECT_LE(none.clock.nowMs(), kRouteDialogResponderMs + 100);

  TestContext noDriver;
  addDialog(noDriver, kRouteConfirmTitle, {kRouteConfirmYes});
  routeDialogResponder(noDriver.ctx);
  EXPECT_EQ(noDriver.log.messages().size(), 1u);
  EXPECT_GE(noDriver.clock.nowMs(), kRouteDialogResponderMs);
  EXPECT_LE(noDriver.clock.nowMs(), kRouteDialogResponderMs + 200);
}

TEST(RouteDialogResponder, StartsOnAWorkerOfItsOwn) {
  TestContext t;
  const WindowHandle confirm = addDialog(t, kRouteConfirmTitle, {kRouteConfirmYes});
  startRouteDialogResponder(t.ctx);
  EXPECT_THAT(t.log.messages(), IsEmpty()) << "the caller does not wait for the dialogs";
  EXPECT_THAT(t.workers.pending(), ElementsAre("routeDialogResponder"));
  addDialog(t, kDriverConfirmTitle, {kDriverConfirmOk});
  t.workers.runPending();
  EXPECT_FALSE(t.desktop.exists(confirm));
  EXPECT_EQ(t.log.messages().size(), 2u);
}

}  // namespace
}  // namespace tabiro
