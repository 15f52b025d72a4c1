#include "mapctl/scrolling.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/timer_ids.h"
#include "fakes/map_scene.h"
#include "fakes/sequences.h"
#include "mapctl/map_commands.h"
#include "platform/winmsg.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::FakeMapView;
using testing::Foreground;
using testing::NavinScene;
using testing::Posted;
using testing::PostedCommand;
using testing::Sent;
using testing::Sleep;
using testing::TestContext;
using testing::TimerStart;
using testing::TimerStop;
using testing::mapInFront;
using testing::then;

struct Scene {
  Scene() { navin.addDocument("ガイダンス"); }
  TestContext t;
  WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
  NavinScene navin{t};
  FakeMapView proAtlas = navin.addMapDocument("ProAtlas - 関東");
  FakeMapView own = navin.addMapDocument("地図");
};

TEST(Scroll, NavinYouGetsTheArrowOnTheShownDocumentHeld300Ms) {
  Scene s;
  pressDirectionButton(s.t.ctx, kLeftButton);
  EXPECT_THAT(s.t.log.actions(),
              ElementsAreArray(then(mapInFront(s.navin.main), TimerStop(timer::kReserved1),
                                    TimerStop(timer::kRaiseAfterLinked),
                                    Posted(s.own.view, win::kWmKeyDown, 37, 0x014B0001), Sleep(300),
                                    Posted(s.own.view, win::kWmKeyUp, 37, 0xC14B0001),
                                    Foreground(s.toolbar))));

  s.t.log.clear();
  store(s.t.state.atlasDocumentShown, 1);
  pressDirectionButton(s.t.ctx, kDownButton);
  EXPECT_THAT(s.t.log.messages(),
              ElementsAre(Posted(s.proAtlas.view, win::kWmKeyDown, 40, 0x01500001),
                          Posted(s.proAtlas.view, win::kWmKeyUp, 40, 0xC1500001)));
}

TEST(Scroll, AtlasGetsOneKeyDownPerButtonAndTheRaiseTimerFollowsGps) {
  struct Case {
    const DirectionButton& button;
    unsigned key;
    std::intptr_t data;
  };
  for (const Case& c : {Case{kLeftButton, 37, 0x014B0001}, Case{kUpButton, 38, 0x01480001},
                        Case{kDownButton, 40, 0x01500001}, Case{kRightButton, 39, 0x014D0001}}) {
    TestContext t;
    t.settings.writeInt(key::kMap, 1);
    t.settings.writeInt(key::kGps, 2);
    const WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
    const testing::FakeAtlas atlas = testing::addAtlas98(t);
    pressDirectionButton(t.ctx, c.button);
    EXPECT_THAT(t.log.actions(),
                ElementsAreArray(then(mapInFront(atlas.frame), TimerStop(timer::kRaiseAfterGps),
                                      TimerStop(timer::kRaiseAfterLinked),
                                      Sent(atlas.view, win::kWmKeyDown, c.key, c.data),
                                      TimerStart(timer::kRaiseAfterLinked, 2000),
                                      Foreground(toolbar))))
        << "key " << c.key;
  }
}

TEST(Scroll, NoMapProgramSendsNothingButRaisesTheToolbar) {
  for (int map : {0, 1, 5}) {
    TestContext t;
    t.settings.writeInt(key::kMap, map);
    const WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
    pressDirectionButton(t.ctx, kUpButton);
    EXPECT_THAT(t.log.messages(), IsEmpty());
    EXPECT_EQ(t.desktop.foreground(), toolbar);
  }
}

TEST(Correction, RightClickBesideTheCentreThenTheCommandThenALeftClick) {
  struct Case {
    const DirectionButton& button;
    int x, y;
  };
  for (const Case& c : {Case{kLeftButton, 290, 240}, Case{kUpButton, 320, 210},
                        Case{kDownButton, 320, 270}, Case{kRightButton, 350, 240}}) {
    Scene s;
    s.t.settings.writeInt(key::kMatch, 1);
    s.t.desktop.setRect(s.own.view, {100, 50, 741, 531});  // 641 x 481
    pressDirectionButton(s.t.ctx, c.button);
    const std::intptr_t at = clickPosition(c.x, c.y);
    const std::intptr_t followUp = clickPosition(270, 190);
    EXPECT_THAT(
        s.t.log.actions(),
        ElementsAre(TimerStop(timer::kReserved1), TimerStop(timer::kRaiseAfterLinked),
                    Posted(s.own.view, win::kWmRButtonDown, win::kMkRButton, at),
                    Posted(s.own.view, win::kWmRButtonUp, 0, at),
                    PostedCommand(s.own.view, kNavinMapMatch), Sleep(500),
                    Posted(s.own.view, win::kWmLButtonDown, win::kMkLButton, followUp),
                    Posted(s.own.view, win::kWmLButtonUp, 0, followUp), Foreground(s.toolbar)))
        << c.x << "," << c.y;
  }
}

TEST(Correction, UsesTheStoredAmountsAndPacksNegativeCoordinates) {
  Scene s;
  s.t.settings.writeInt(key::kMatch, 1);
  s.t.settings.writeInt(key::kHoseiL, 25);
  s.t.settings.writeInt(key::kHoseiD, -5);
  s.t.desktop.setRect(s.own.view, {0, 0, 21, 41});  // cx 10, cy 20
  pressDirectionButton(s.t.ctx, kLeftButton);
  pressDirectionButton(s.t.ctx, kDownButton);
  const auto rightDowns =
      s.t.log.filter([](const testing::Action& a) { return a.message == win::kWmRButtonDown; });
  EXPECT_THAT(
      rightDowns,
      ElementsAre(
          Posted(s.own.view, win::kWmRButtonDown, win::kMkRButton, 0x0014FFF1),    // (-15, 20)
          Posted(s.own.view, win::kWmRButtonDown, win::kMkRButton, 0x000F000A)));  // (10, 15)
  EXPECT_THAT(
      s.t.log.filter([](const testing::Action& a) { return a.message == win::kWmLButtonDown; }),
      ::testing::Each(
          Posted(s.own.view, win::kWmLButtonDown, win::kMkLButton, 0xFFE2FFD8)));  // (-40, -30)
}

TEST(Correction, AlwaysOnNavinYouOwnMapWhateverIsShownOrInFront) {
  Scene s;
  s.t.settings.writeInt(key::kMatch, 1);
  s.t.settings.writeInt(key::kMap, 1);
  store(s.t.state.atlasDocumentShown, 1);
  const testing::FakeAtlas atlas = testing::addAtlas98(s.t);
  pressDirectionButton(s.t.ctx, kRightButton);
  EXPECT_THAT(s.t.log.messagesTo(atlas.view), IsEmpty());
  EXPECT_THAT(s.t.log.messagesTo(s.proAtlas.view), IsEmpty());
  EXPECT_EQ(s.t.log.messagesTo(s.own.view).size(), 5u);
  EXPECT_THAT(s.t.log.of(testing::ActionKind::Foreground), ElementsAre(Foreground(s.toolbar)))
      << "the map program is not activated first";

  // Without Navin' You nothing is clicked and the toolbar still comes back.
  TestContext alone;
  alone.settings.writeInt(key::kMatch, 1);
  const WindowHandle toolbar = alone.desktop.add("#32770", "Tabiro2");
  pressDirectionButton(alone.ctx, kRightButton);
  EXPECT_THAT(alone.log.messages(), IsEmpty());
  EXPECT_EQ(alone.desktop.foreground(), toolbar);
}

TEST(Correction, AnyOtherMatchValueOnlyRaisesTheToolbar) {
  Scene s;
  s.t.settings.writeInt(key::kMatch, 2);
  pressDirectionButton(s.t.ctx, kUpButton);
  EXPECT_THAT(s.t.log.actions(), ElementsAre(Foreground(s.toolbar)));
}

}  // namespace
}  // namespace tabiro
