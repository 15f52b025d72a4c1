#include "mapctl/scale_zoom.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/timer_ids.h"
#include "fakes/map_scene.h"
#include "fakes/sequences.h"
#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "platform/winmsg.h"
#include "resource.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::Action;
using testing::ActionKind;
using testing::FakeMapView;
using testing::Foreground;
using testing::NavinScene;
using testing::PopupClosed;
using testing::PopupShown;
using testing::PostedCommand;
using testing::Sent;
using testing::Sleep;
using testing::TestContext;
using testing::TimerStart;
using testing::TimerStop;
using testing::mapInFront;
using testing::raiseTimersStopped;
using testing::then;

Action readSlider(const FakeMapView& v) { return Sent(v.trackbar, win::kTbmGetPos, 0, 0); }
Action click(const FakeMapView& v, ClientPoint arrow) {
  return Sent(v.upDown, win::kWmLButtonDown, win::kMkLButton, clickPosition(arrow.x, arrow.y));
}

// The toolbar, Navin' You with its own map and the guide window.
struct NavinScale {
  explicit NavinScale(int sliderPos, int step = 9) : map(navin.addMapDocument("地図", sliderPos, step)) {
    navin.addDocument("ガイダンス");
  }
  TestContext t;
  WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
  NavinScene navin{t};
  FakeMapView map;

  int clicks() {
    return static_cast<int>(t.log.filter([&](const Action& a) { return a.window == map.upDown; }).size());
  }
  int readings() {
    return static_cast<int>(t.log.filter([&](const Action& a) { return a.window == map.trackbar; }).size());
  }
};

TEST(FixedScale, NavinYouWalksTheSliderInBurstsUnderTheScalePopup) {
  // p = -72 for 1/20万: d = -268, 29 clicks on the upper arrow, then a new
  // reading finds -333, within 10 of -340.
  NavinScale s(-72);
  selectFixedScale(s.t.ctx, kScale200k);

  std::vector<Action> burst;
  for (int i = 0; i < 29; ++i) burst.insert(burst.end(), {click(s.map, kUpperScaleArrow), Sleep(10)});
  EXPECT_THAT(s.t.log.actions(),
              ElementsAreArray(then(raiseTimersStopped(), mapInFront(s.navin.main),
                                    PopupShown(IDD_POPUP_SCALE), readSlider(s.map), burst,
                                    Sleep(10), readSlider(s.map),
                                    TimerStart(timer::kBringMapToFront, 1000),
                                    Foreground(s.toolbar), PopupClosed(IDD_POPUP_SCALE))));
  EXPECT_EQ(s.navin.sliderPos(), -333);
}

TEST(FixedScale, SliderWalkClicksTheRightArrowAsOftenAsTheDistanceSays) {
  struct Case {
    int from;
    FixedScale scale;
    int clicks;
    int endsAt;
  };
  for (const Case c : {Case{-325, kScale200k, 1, -334},   // d = -15: one click up
                       Case{-335, kScale200k, 0, -335},   // d = -5: within 10 already
                       Case{-330, kScale200k, 1, -339},   // d = -10: not within, one click up
                       Case{-350, kScale200k, 1, -341},   // d = 10: one click down
                       Case{-340, kScale10k, 29, -79},    // d = 268: down, lower arrow
                       Case{-72, kScale70k, 19, -243},
                       Case{-72, kScale20k, 6, -126}}) {
    NavinScale s(c.from);
    selectFixedScale(s.t.ctx, c.scale);
    EXPECT_EQ(s.clicks(), c.clicks) << "from " << c.from << " to " << c.scale.sliderTarget;
    EXPECT_EQ(s.navin.sliderPos(), c.endsAt) << "from " << c.from;
  }
  NavinScale down(-340);
  selectFixedScale(down.t.ctx, kScale10k);
  EXPECT_THAT(down.t.log.filter([&](const Action& a) { return a.window == down.map.upDown; }),
              ::testing::Each(click(down.map, kLowerScaleArrow)));
}

TEST(FixedScale, ASliderThatNeverMovesEndsTheWalkAfterOnePass) {
  for (const FixedScale& scale : {kScale200k, kScale70k, kScale20k, kScale10k}) {
    NavinScale s(-200, 0);
    selectFixedScale(s.t.ctx, scale);
    EXPECT_EQ(s.readings(), 2) << scale.sliderTarget;
  }
}

TEST(FixedScale, ASliderThatOvershootsForEverEndsAfterTheLastPass) {
  // 30 positions a click: -360, -300, -360, ... never within 10 of -340.
  NavinScale s(-72, 30);
  selectFixedScale(s.t.ctx, kScale200k);
  EXPECT_EQ(s.readings(), 1 + kMaxSliderPasses);
  EXPECT_EQ(s.t.popups.openStatus(), std::vector<int>{}) << "the popup goes with the handler";
}

TEST(FixedScale, AtlasGetsTheStoredMenuNumberAndNothingForZero) {
  const std::vector<std::pair<FixedScale, ProfileKey>> scales = {
      {kScale200k, key::kScale20}, {kScale70k, key::kScale7}, {kScale20k, key::kScale2},
      {kScale10k, key::kScale1}};
  for (int stored : {0, 3}) {
    for (const auto& [scale, menuKey] : scales) {
      TestContext t;
      t.settings.writeInt(key::kMap, 1);
      t.settings.writeInt(menuKey, stored);
      const WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
      const testing::FakeAtlas atlas = testing::addAtlas98(t);
      selectFixedScale(t.ctx, scale);
      std::vector<Action> expected = then(raiseTimersStopped(), mapInFront(atlas.frame));
      if (stored) expected.push_back(PostedCommand(atlas.frame, kAtlasScaleBase + 3));
      expected.push_back(Foreground(toolbar));
      EXPECT_THAT(t.log.actions(), ElementsAreArray(expected)) << menuKey.name << "=" << stored;
    }
  }
}

TEST(FixedScale, ProAtlasDocumentInNavinYouTakesTheMenuNumberOnItsView) {
  TestContext t;
  t.settings.writeInt(key::kScale20, 3);
  NavinScene navin(t);
  const FakeMapView own = navin.addMapDocument("地図");
  const FakeMapView proAtlas = navin.addMapDocument("ProAtlas - 関東");
  store(t.state.atlasDocumentShown, 1);
  selectFixedScale(t.ctx, kScale200k);
  EXPECT_THAT(t.log.messages(), ElementsAre(PostedCommand(proAtlas.view, kProAtlasScaleBase + 3)));
  EXPECT_THAT(t.log.of({ActionKind::PopupShown, ActionKind::PopupClosed, ActionKind::TimerStart}),
              ElementsAre(PopupShown(IDD_POPUP_SCALE), PopupClosed(IDD_POPUP_SCALE)));

  t.log.clear();
  t.settings.writeInt(key::kScale20, 0);
  selectFixedScale(t.ctx, kScale200k);
  EXPECT_THAT(t.log.messages(), IsEmpty());
  (void)own;
}

TEST(FixedScale, NoMapProgramStillPausesAndRaisesTheToolbar) {
  for (int map : {0, 1, 7}) {
    TestContext t;
    t.settings.writeInt(key::kMap, map);
    const WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
    selectFixedScale(t.ctx, kScale20k);
    EXPECT_THAT(t.log.messages(), IsEmpty());
    EXPECT_EQ(t.log.totalSleptMs(), 1000) << "Map " << map;
    EXPECT_EQ(t.desktop.foreground(), toolbar);
    EXPECT_EQ(t.timers.isRunning(timer::kBringMapToFront), map == 0) << "Map " << map;
  }
}

TEST(Zoom, NavinYouOwnMapStepsOneArrowAndZoomOutArmsTheBringToFrontTimer) {
  NavinScale out(-72);
  zoomOut(out.t.ctx);
  EXPECT_THAT(out.t.log.actions(),
              ElementsAreArray(then(raiseTimersStopped(), mapInFront(out.navin.main),
                                    click(out.map, kUpperScaleArrow),
                                    TimerStart(timer::kBringMapToFront, 1000),
                                    Foreground(out.toolbar))));

  NavinScale in(-72);
  in.t.timers.start(timer::kReserved11, 500);
  in.t.log.clear();
  zoomIn(in.t.ctx);
  EXPECT_THAT(in.t.log.actions(),
              ElementsAreArray(then(raiseTimersStopped(), TimerStop(timer::kReserved11),
                                    mapInFront(in.navin.main), click(in.map, kLowerScaleArrow),
                                    Foreground(in.toolbar))));
}

TEST(Zoom, ProAtlasDocumentShownZoomOutClicksNothingButArmsTheBringToFrontTimerZoomInPostsFiveThousand) {
  TestContext t;
  t.settings.writeInt(key::kScale05, 5);
  NavinScene navin(t);
  const FakeMapView own = navin.addMapDocument("地図");
  const FakeMapView proAtlas = navin.addMapDocument("ProAtlas - 関東");
  store(t.state.atlasDocumentShown, 1);
  zoomOut(t.ctx);
  EXPECT_THAT(t.log.messages(), IsEmpty());
  EXPECT_TRUE(t.timers.isRunning(timer::kBringMapToFront));
  t.log.clear();
  zoomIn(t.ctx);
  EXPECT_THAT(t.log.messages(), ElementsAre(PostedCommand(proAtlas.view, kProAtlasScaleBase + 5)));
  (void)own;
}

TEST(Zoom, AtlasZoomOutSwitchesTheDetailMapZoomInUsesFiveThousand) {
  for (int stored : {0, 4}) {
    TestContext t;
    t.settings.writeInt(key::kMap, 1);
    t.settings.writeInt(key::kScale05, stored);
    const testing::FakeAtlas atlas = testing::addAtlas98(t);
    zoomOut(t.ctx);
    zoomIn(t.ctx);
    if (stored) {
      EXPECT_THAT(t.log.messages(), ElementsAre(PostedCommand(atlas.frame, kAtlasDetailMap),
                                                PostedCommand(atlas.frame, kAtlasScaleBase + 4)));
    } else {
      EXPECT_THAT(t.log.messages(), ElementsAre(PostedCommand(atlas.frame, kAtlasDetailMap)));
    }
    EXPECT_FALSE(t.timers.isRunning(timer::kBringMapToFront));
  }
}

}  // namespace
}  // namespace tabiro
