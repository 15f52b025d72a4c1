#include "mapctl/map_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/timer_ids.h"
#include "fakes/test_context.h"
#include "mapctl/map_commands.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ActionKind;
using testing::BringToTop;
using testing::Foreground;
using testing::Sleep;
using testing::TestContext;
using testing::TimerStart;

TEST(MapWindow, RearmRaiseTimerFollowsGps) {
  for (const int gps : {0, 1, 2, 7}) {
    TestContext t;
    t.settings.writeInt(key::kGps, gps);
    rearmRaiseTimer(t.ctx);
    const auto started = t.log.of(ActionKind::TimerStart);
    if (gps == 1) {
      EXPECT_THAT(started, ElementsAre(TimerStart(timer::kRaiseAfterGps, 2000)));
    } else if (gps == 2) {
      EXPECT_THAT(started, ElementsAre(TimerStart(timer::kRaiseAfterLinked, 2000)));
    } else {
      EXPECT_THAT(started, IsEmpty()) << "GPS " << gps;
    }
  }
}

TEST(MapWindow, ActivateMapWindowBringsTheMapThenSView) {
  TestContext t;
  const WindowHandle navin = t.desktop.add(kNavinYouClass);
  const WindowHandle sview = t.desktop.add(kSViewClass);
  activateMapWindow(t.ctx);
  EXPECT_THAT(t.log.actions(), ElementsAre(Foreground(navin), Sleep(500), BringToTop(sview),
                                           Foreground(sview), Sleep(500)));

  TestContext atlas;
  atlas.settings.writeInt(key::kMap, 1);
  const WindowHandle frame = atlas.desktop.add(kAtlas98FrameClass);
  atlas.desktop.add(kNavinYouClass);
  activateMapWindow(atlas.ctx);
  EXPECT_THAT(atlas.log.actions(), ElementsAre(Foreground(frame), Sleep(500), Sleep(500)));

  // No ATLAS window: still the full second, nothing sent.
  TestContext none;
  none.settings.writeInt(key::kMap, 1);
  activateMapWindow(none.ctx);
  raiseToolbar(none.ctx);
  EXPECT_THAT(none.log.actions(), ElementsAre(Sleep(500), Sleep(500)));
}

TEST(MapWindow, RaiseToolbarFindsItByTitle) {
  TestContext t;
  t.desktop.add("#32770", "Tabiro2 (old)");
  const WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
  raiseToolbar(t.ctx);
  EXPECT_THAT(t.log.actions(), ElementsAre(Foreground(toolbar)));
}

TEST(MapWindow, CancelRaiseTimersStopsTheRaiseTimersOnly) {
  TestContext t;
  t.timers.start(timer::kRaiseAfterGps, 2000);
  t.timers.start(timer::kBringMapToFront, 1000);
  cancelRaiseTimers(t.ctx);
  EXPECT_EQ(t.timers.running(), (std::map<int, int>{{timer::kBringMapToFront, 1000}}));
}

}  // namespace
}  // namespace tabiro
