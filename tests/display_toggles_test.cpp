#include "mapctl/display_toggles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/timer_ids.h"
#include "fakes/map_scene.h"
#include "fakes/sequences.h"
#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "platform/winmsg.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::Action;
using testing::BringToTop;
using testing::FakeMapView;
using testing::Foreground;
using testing::NavinScene;
using testing::Posted;
using testing::PostedCommand;
using testing::Shown;
using testing::Sleep;
using testing::TestContext;
using testing::raiseTimersStopped;
using testing::then;

struct Scene {
  TestContext t;
  WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
  NavinScene navin{t};
  WindowHandle guide = navin.addDocument("ガイダンス");
  FakeMapView own = navin.addMapDocument("地図");
  FakeMapView proAtlas = navin.addMapDocument("ProAtlas - 関東");
};

TEST(GuideWindow, ShowBringsTheGuideDocumentUpWithoutRaisingTheToolbar) {
  Scene s;
  showGuideWindow(s.t.ctx);
  EXPECT_THAT(s.t.log.actions(), ElementsAreArray(then(raiseTimersStopped(), BringToTop(s.guide))));

  Scene atlas;
  atlas.t.settings.writeInt(key::kMap, 1);
  showGuideWindow(atlas.t.ctx);
  hideGuideWindow(atlas.t.ctx);
  EXPECT_THAT(atlas.t.log.of({testing::ActionKind::BringToTop, testing::ActionKind::Show}), IsEmpty());
}

TEST(GuideWindow, HideMaximisesTheMapDocumentOverItPausingBetweenDocuments) {
  Scene s;
  hideGuideWindow(s.t.ctx);
  EXPECT_THAT(s.t.log.actions(),
              ElementsAreArray(then(raiseTimersStopped(), Sleep(50), BringToTop(s.own.document),
                                    Shown(s.own.document, 3))));
}

TEST(GuideWindow, HideWithVersionTwoAloneActivatesTheShownDocumentFromTheWindowMenu) {
  for (const bool proAtlasFirst : {false, true}) {
    for (const int shown : {0, 1}) {
      Scene s;
      s.t.settings.writeInt(key::kVer, 1);
      std::vector<std::string> items(13, "item");
      items.push_back(proAtlasFirst ? "&1 ProAtlas - 関東" : "&1 地図");
      s.t.desktop.setMenu(s.navin.main, {{"ﾌｧｲﾙ(&F)", {}}, {"ｳｨﾝﾄﾞｳ(&W)", items}});
      store(s.t.state.atlasDocumentShown, shown);
      hideGuideWindow(s.t.ctx);
      const bool firstDocument = (shown == 1) == proAtlasFirst;
      EXPECT_THAT(s.t.log.messages(),
                  ElementsAre(PostedCommand(s.navin.main, firstDocument ? kNavinFirstDocument : kNavinSecondDocument)))
          << "ProAtlas first " << proAtlasFirst << ", shown " << shown;
    }
  }
}

TEST(WindowSize, EachMapModeAndVariantResizesInItsOrderAndRaisesAfterHalfASecond) {
  for (const WindowSize size : {WindowSize::Normal, WindowSize::Maximised}) {
    const int mode = size == WindowSize::Normal ? 9 : 3;
    struct Case {
      int ver, mapMode, map;
      std::vector<Action> (*steps)(WindowHandle navin, WindowHandle atlas, WindowHandle doc, int mode);
    };
    const Case cases[] = {
        {0, 1, 1, [](WindowHandle n, WindowHandle a, WindowHandle, int m) {
           return std::vector<Action>{Shown(n, m), Sleep(500), Shown(a, m), Foreground(a)};
         }},
        {0, 1, 0, [](WindowHandle n, WindowHandle a, WindowHandle, int m) {
           return std::vector<Action>{Shown(a, m), Shown(n, m), Sleep(500)};
         }},
        {2, 0, 1, [](WindowHandle, WindowHandle a, WindowHandle, int m) {
           return std::vector<Action>{Shown(a, m), Foreground(a)};
         }},
        {0, 0, 0, [](WindowHandle n, WindowHandle, WindowHandle, int m) {
           return std::vector<Action>{Shown(n, m)};
         }},
        {0, 2, 0, [](WindowHandle, WindowHandle, WindowHandle, int) { return std::vector<Action>{}; }},
        {1, 1, 1, [](WindowHandle, WindowHandle, WindowHandle d, int m) {
           return std::vector<Action>{Shown(d, m)};
         }},
    };
    for (const Case& c : cases) {
      Scene s;
      s.t.settings.writeInt(key::kVer, c.ver);
      s.t.settings.writeInt(key::kMapMode, c.mapMode);
      s.t.settings.writeInt(key::kMap, c.map);
      store(s.t.state.atlasDocumentShown, 1);
      const testing::FakeAtlas atlas = testing::addAtlas98(s.t);
      setMapWindowSize(s.t.ctx, size);
      std::vector<Action> expected = c.steps(s.navin.main, atlas.frame, s.proAtlas.document, mode);
      expected.push_back(Sleep(500));
      expected.push_back(Foreground(s.toolbar));
      EXPECT_THAT(s.t.log.actions(), ElementsAreArray(expected))
          << "Ver " << c.ver << " MapMode " << c.mapMode << " Map " << c.map << " mode " << mode;
    }
  }
}

// A GPS player whose kGpsPlayerCommand opens SView, or closes it when open.
struct SViewScene {
  explicit SViewScene(int sviewMode, bool opens = true) {
    t.settings.writeInt(key::kSviewMode, sviewMode);
    t.desktop.answer(player, win::kWmCommand, kGpsPlayerCommand,
                     [this, opens](std::uintptr_t, std::intptr_t) {
                       if (t.desktop.exists(sview)) {
                         t.desktop.destroy(sview);
                       } else if (opens) {
                         sview = t.desktop.add(kSViewClass, "SView");
                       }
                       return 0;
                     });
  }
  // A press that tells the player to open SView, waits for it and raises it.
  ::testing::AssertionResult pressOpens() {
    const std::vector<Action> actions = press();
    const std::vector<Action> expected = {PostedCommand(player, kGpsPlayerCommand), Sleep(1000),
                                          BringToTop(sview), Foreground(sview), Foreground(toolbar)};
    if (actions == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(actions);
  }
  std::vector<Action> press() {
    t.log.clear();
    switchSView(t.ctx);
    return t.log.actions();
  }
  TestContext t;
  WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
  WindowHandle player = t.desktop.add(kGpsPlayerClass, "GPS Player");
  WindowHandle sview = kNoWindow;
};

TEST(SView, ModeZeroCyclesOpenResizeCloseOpen) {
  SViewScene s(0);
  const Action toPlayer = PostedCommand(s.player, kGpsPlayerCommand);
  EXPECT_TRUE(s.pressOpens());
  const std::vector<Action> resized = s.press();
  EXPECT_THAT(resized, ElementsAre(PostedCommand(s.sview, kSViewCommand), BringToTop(s.sview),
                                   Sleep(100), Foreground(s.toolbar)));
  EXPECT_THAT(s.press(), ElementsAre(toPlayer, Foreground(s.toolbar)));
  EXPECT_FALSE(s.t.desktop.exists(s.sview));
  EXPECT_TRUE(s.pressOpens());
}

TEST(SView, ModeOneOpensAndCloses) {
  SViewScene s(1);
  const Action toPlayer = PostedCommand(s.player, kGpsPlayerCommand);
  EXPECT_TRUE(s.pressOpens());
  EXPECT_EQ(load(s.t.state.sviewState), 1);
  EXPECT_THAT(s.press(), ElementsAre(toPlayer, Foreground(s.toolbar)));
  EXPECT_EQ(load(s.t.state.sviewState), 0);
  EXPECT_TRUE(s.pressOpens());
}

TEST(SView, WithoutGpsPlayerOnlyRaisesTheToolbar) {
  SViewScene s(0);
  s.t.desktop.destroy(s.player);
  EXPECT_THAT(s.press(), ElementsAre(Foreground(s.toolbar)));
}

TEST(SView, AnSViewThatNeverOpensIsGivenUpAndTheNextPressTriesAgain) {
  for (const int mode : {0, 1}) {
    SViewScene s(mode, false);
    const std::int64_t start = s.t.clock.nowMs();
    const std::vector<Action> actions = s.press();
    EXPECT_EQ(actions.back(), Foreground(s.toolbar));
    EXPECT_GE(s.t.clock.nowMs() - start, kToggleWaitMs);
    EXPECT_LT(s.t.clock.nowMs() - start, kToggleWaitMs + 1000) << "mode " << mode;
    EXPECT_EQ(s.press().front(), PostedCommand(s.player, kGpsPlayerCommand)) << "mode " << mode;
  }
}

// Navin' You's settings sheet as the program builds it: the sheet opens on
// its command, the page on a click of the second tab, the OK click closes it.
struct SheetScene {
  explicit SheetScene(const char* title = kSettingsSheetTitleHalfWidth, bool pageOpens = true) {
    t.desktop.answer(navin.main, win::kWmCommand, kNavinSettingsV1,
                     [this, title, pageOpens](std::uintptr_t, std::intptr_t) {
                       sheet = t.desktop.add("#32770", title);
                       tabs = t.desktop.add("SysTabControl32", "", sheet);
                       ok = t.desktop.add("Button", "OK", sheet, win::kIdOk);
                       t.desktop.answer(ok, win::kWmLButtonUp, [this](std::uintptr_t, std::intptr_t) {
                         t.desktop.destroy(sheet);
                         return 0;
                       });
                       if (pageOpens) {
                         t.desktop.answer(tabs, win::kWmLButtonUp, [this](std::uintptr_t, std::intptr_t) {
                           page = t.desktop.add("#32770", "走行ﾊﾟｽ/ﾏｯﾌﾟﾏｯﾁ", sheet);
                           checkbox = t.desktop.add("Button", "ﾏｯﾌﾟﾏｯﾁを有効にする", page);
                           t.desktop.answer(checkbox, win::kWmLButtonUp,
                                            [this](std::uintptr_t, std::intptr_t) {
                                              mapMatching = !mapMatching;
                                              return 0;
                                            });
                           return 0;
                         });
                       }
                       return 0;
                     });
  }
  TestContext t;
  WindowHandle toolbar = t.desktop.add("#32770", "Tabiro2");
  NavinScene navin{t};
  FakeMapView own = navin.addMapDocument("地図");
  WindowHandle sheet = kNoWindow, tabs = kNoWindow, ok = kNoWindow, page = kNoWindow,
               checkbox = kNoWindow;
  bool mapMatching = true;
};

std::vector<Action> clickAt(WindowHandle w, ClientPoint p) {
  const std::intptr_t at = clickPosition(p.x, p.y);
  return {Posted(w, win::kWmLButtonDown, win::kMkLButton, at), Sleep(50),
          Posted(w, win::kWmLButtonUp, win::kMkLButton, at)};
}

TEST(MapMatchSwitch, WalksTheSheetFoundByItsHalfWidthTitleAndTogglesTheCheckBox) {
  SheetScene s;
  switchMapMatching(s.t.ctx);
  EXPECT_THAT(s.t.log.actions(),
              ElementsAreArray(then(BringToTop(s.navin.main),
                                    PostedCommand(s.navin.main, kNavinSettingsV1), Sleep(500),
                                    Sleep(100), Sleep(100), clickAt(s.tabs, kSheetTab), Sleep(100),
                                    Sleep(100), BringToTop(s.page), Sleep(50),
                                    clickAt(s.checkbox, kSheetCheckbox), Sleep(100), Sleep(100),
                                    clickAt(s.ok, kSheetOk), Sleep(10),
                                    testing::mapInFront(s.navin.main), Foreground(s.toolbar))));
  EXPECT_FALSE(s.mapMatching);
  EXPECT_FALSE(s.t.desktop.exists(s.sheet));
}

TEST(MapMatchSwitch, VersionTwoOpensTheSheetWithItsOwnCommandAndAnyVariantWorks) {
  SheetScene s(kSettingsSheetTitle);
  s.t.settings.writeInt(key::kVer, 2);
  s.t.settings.writeInt(key::kMap, 1);
  s.t.desktop.answer(s.navin.main, win::kWmCommand, kNavinSettingsV2,
                     [&](std::uintptr_t, std::intptr_t l) {
                       return s.t.desktop.send(s.navin.main, win::kWmCommand, kNavinSettingsV1, l);
                     });
  switchMapMatching(s.t.ctx);
  EXPECT_FALSE(s.mapMatching);
  EXPECT_EQ(s.t.desktop.foreground(), s.toolbar);
}

TEST(MapMatchSwitch, ASheetOrPageThatNeverComesIsGivenUpAndTheToolbarRaised) {
  SheetScene noSheet;
  noSheet.t.desktop.answer(noSheet.navin.main, win::kWmCommand, kNavinSettingsV1, 0);
  switchMapMatching(noSheet.t.ctx);
  EXPECT_EQ(noSheet.t.log.actions().back(), Foreground(noSheet.toolbar));
  EXPECT_LT(noSheet.t.clock.nowMs(), 500 + kToggleWaitMs + 1000);
  EXPECT_GE(noSheet.t.clock.nowMs(), kToggleWaitMs);

  SheetScene noPage(kSettingsSheetTitle, false);
  switchMapMatching(noPage.t.ctx);
  EXPECT_EQ(noPage.t.log.actions().back(), Foreground(noPage.toolbar));
  EXPECT_LT(noPage.t.clock.nowMs(), 2000 + kToggleWaitMs);
  EXPECT_TRUE(noPage.mapMatching);

  // Without Navin' You there is nothing to wait for.
  TestContext alone;
  const WindowHandle toolbar = alone.desktop.add("#32770", "Tabiro2");
  switchMapMatching(alone.ctx);
  EXPECT_THAT(alone.log.actions(), ElementsAre(Foreground(toolbar)));
}

}  // namespace
}  // namespace tabiro
