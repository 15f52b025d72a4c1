// The map switch in its three cases, alternating and side by side.
#include "mapctl/map_switch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/timer_ids.h"
#include "fakes/sequences.h"
#include "fakes/test_context.h"
#include "mapctl/map_commands.h"
#include "platform/winmsg.h"
#include "resource.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::ActionKind;
using testing::BitmapSet;
using testing::Enabled;
using testing::Focus;
using testing::Foreground;
using testing::Launched;
using testing::PostedCommand;
using testing::Shown;
using testing::TestContext;
using testing::Steps;
using testing::routeButtonsEnabled;
using testing::then;

// The toolbar controls that only work while GPS runs.
const std::set<int> kGpsOnlyControls = {IDC_GUIDE_SHOW, IDC_GUIDE_HIDE, IDC_CENTERING,
                                        IDC_GPS_RELIEF, IDC_ADD_CAMERA};

// The arrows back to scrolling, as in the map just started: bitmaps, then enabled.
Steps arrowsScroll() {
  return then(BitmapSet(IDC_LEFT, "L", true), BitmapSet(IDC_UP, "U1", true),
              BitmapSet(IDC_DOWN, "ST", true), BitmapSet(IDC_RIGHT, "R", true),
              testing::arrowsEnabled(true));
}

class MapSwitch : public ::testing::Test {
 protected:
  MapSwitch() { toolbar = t.desktop.add("#32770", "Tabiro2"); }
  void runningWorkers() {
    store(t.state.guidanceRun, 1);
    store(t.state.positionReaderRun, 1);
    store(t.state.trackLogRun, 1);
  }
  void expectWorkersStopped(bool stopped) {
    EXPECT_EQ(load(t.state.guidanceRun), stopped ? 0 : 1);
    EXPECT_EQ(load(t.state.positionReaderRun), stopped ? 0 : 1);
    EXPECT_EQ(load(t.state.trackLogRun), stopped ? 0 : 1);
  }

  TestContext t;
  WindowHandle toolbar;
};

TEST_F(MapSwitch, VersionTwoAloneSwitchesDocumentsAndTwoClicksReturnToTheStart) {
  t.settings.writeInt(key::kVer, 1);
  const WindowHandle navin = t.desktop.add(kNavinYouClass);
  t.desktop.setMenu(navin, {{"ﾌｧｲﾙ", {}},
                            {"ｳｨﾝﾄﾞｳ(&W)", {"", "", "", "", "", "", "", "", "", "", "", "", "",
                                            "&1 地図 - 東京", "&2 ProAtlas - 関東"}}});
  runningWorkers();
  switchMap(t.ctx);
  EXPECT_THAT(t.log.actions(),
              ElementsAreArray(then(
                  testing::raiseTimersStopped(), BitmapSet(IDC_ZOOM_OUT, "X", true),
                  Focus(IDC_ZOOM_OUT), BitmapSet(IDC_ZOOM_IN, "SK5", true), Focus(IDC_ZOOM_IN),
                  Enabled(IDC_ZOOM_OUT, false), Focus(IDC_GPS), BitmapSet(IDC_MAP_SWITCH, "M0", true),
                  Focus(IDC_MAP_SWITCH), PostedCommand(navin, kNavinSecondDocument),
                  testing::mapInFront(navin), Foreground(toolbar))));
  EXPECT_EQ(load(t.state.atlasDocumentShown), 1);

  t.log.clear();
  switchMap(t.ctx);
  EXPECT_THAT(t.log.of({ActionKind::BitmapSet, ActionKind::Enable, ActionKind::Posted}),
              ElementsAre(BitmapSet(IDC_ZOOM_OUT, "W", true), BitmapSet(IDC_ZOOM_IN, "U", true),
                          Enabled(IDC_ZOOM_OUT, true), BitmapSet(IDC_MAP_SWITCH, "M1", true),
                          PostedCommand(navin, kNavinFirstDocument)));
  EXPECT_EQ(load(t.state.atlasDocumentShown), 0);
  expectWorkersStopped(false);
}

TEST_F(MapSwitch, AlternatingFromAtlasWithGpsStopsAtlasGpsClosesItAndLaunchesNavinYou) {
  t.settings.writeInt(key::kMap, 1);
  t.settings.writeInt(key::kGps, 1);
  t.settings.writeString(key::kExeFilePath0, "navstub.exe");
  const WindowHandle atlas = t.desktop.add(kAtlas98FrameClass);
  t.launcher.onLaunch([&](const std::string&, int) {
    const WindowHandle main = t.desktop.add(kNavinYouClass);
    t.desktop.add("Doc", "地図", t.desktop.add(kMdiClientClass, "", main));
    return true;
  });
  switchMap(t.ctx);
  EXPECT_THAT(t.log.messagesTo(atlas),
              ElementsAre(PostedCommand(atlas, kAtlasGpsOff), PostedCommand(atlas, kAtlasDetailMap),
                          PostedCommand(atlas, win::kCmdAppExit)));
  EXPECT_THAT(t.log.of(ActionKind::Launch), ElementsAre(Launched("navstub.exe", 9)));
  EXPECT_THAT(t.log.of({ActionKind::BitmapSet, ActionKind::Enable}),
              ElementsAreArray(then(BitmapSet(IDC_CENTERING, "T", true),
                                    Enabled(IDC_CENTERING, false), Enabled(IDC_LINKED_GPS, false),
                                    BitmapSet(IDC_ZOOM_OUT, "W", true),
                                    BitmapSet(IDC_ZOOM_IN, "U", true), routeButtonsEnabled(true),
                                    arrowsScroll(), BitmapSet(IDC_MAP_SWITCH, "M1", true))));
  EXPECT_EQ(t.settings.storedInt(key::kMap).value_or(1), 0);
  EXPECT_EQ(t.settings.storedInt(key::kGps).value_or(1), 0);
  EXPECT_EQ(t.settings.storedInt(key::kCenter).value_or(0), 1);
  EXPECT_EQ(t.settings.storedInt(key::kMatch).value_or(1), 0);
}

TEST_F(MapSwitch, AlternatingWithoutNavinYouPathLaunchesNothing) {
  t.settings.writeInt(key::kMap, 1);
  switchMap(t.ctx);
  EXPECT_THAT(t.log.of(ActionKind::Launch), IsEmpty());
  EXPECT_EQ(t.view.bitmapSet(IDC_MAP_SWITCH), "M1");
  EXPECT_EQ(t.log.totalSleptMs(), 1000) << "only the map window's own pauses";
}

TEST_F(MapSwitch, SideBySideFromAtlasKeepsLinkedGpsAndStopsAtlasGps) {
  t.settings.writeInt(key::kMap, 1);
  t.settings.writeInt(key::kMapMode, 1);
  const WindowHandle atlas = t.desktop.add(kAtlas98FrameClass);
  const WindowHandle navin = t.desktop.add(kNavinYouClass);

  t.settings.writeInt(key::kGps, 2);
  switchMap(t.ctx);
  EXPECT_THAT(t.log.messages(), IsEmpty());
  EXPECT_THAT(t.log.of(ActionKind::Focus),
              ElementsAre(Focus(IDC_ZOOM_OUT), Focus(IDC_ZOOM_IN), Focus(IDC_LINKED_GPS)));
  EXPECT_THAT(t.log.of(ActionKind::Show), ElementsAre(Shown(navin, 5)));
  EXPECT_EQ(t.settings.storedInt(key::kGps).value_or(0), 2);
  EXPECT_EQ(t.settings.storedInt(key::kMap).value_or(1), 0);

  t.settings.writeInt(key::kMap, 1);
  t.settings.writeInt(key::kGps, 1);
  t.view.enable(IDC_LINKED_GPS, false);  // as GPS start in one map left it
  t.log.clear();
  switchMap(t.ctx);
  EXPECT_THAT(t.log.messagesTo(atlas), ElementsAre(PostedCommand(atlas, kAtlasGpsOff),
                                                   PostedCommand(atlas, kAtlasDetailMap)));
  EXPECT_EQ(t.view.disabled(), kGpsOnlyControls);
  EXPECT_EQ(t.view.focused(), IDC_GPS);
  EXPECT_EQ(t.view.bitmapSet(IDC_MAP_SWITCH), "M1");
  EXPECT_EQ(t.settings.storedInt(key::kGps).value_or(1), 0);
}

TEST_F(MapSwitch, AlternatingFromNavinYouStopsEverythingClosesItAndLaunchesAtlas) {
  t.settings.writeString(key::kExeFilePath1, "atlasstub.exe");
  t.settings.writeInt(key::kCenter, 0);
  const WindowHandle navin = t.desktop.add(kNavinYouClass);
  runningWorkers();
  switchMap(t.ctx);
  expectWorkersStopped(true);
  EXPECT_THAT(t.log.messages(), ElementsAre(PostedCommand(navin, win::kCmdAppExit)));
  EXPECT_THAT(t.log.of(ActionKind::Launch), ElementsAre(Launched("atlasstub.exe", 9)));
  EXPECT_THAT(t.log.of({ActionKind::BitmapSet, ActionKind::Enable}),
              ElementsAreArray(then(Enabled(IDC_LINKED_GPS, false),
                                    BitmapSet(IDC_ZOOM_OUT, "SS", true),
                                    BitmapSet(IDC_ZOOM_IN, "SK5", true), arrowsScroll(),
                                    routeButtonsEnabled(false),
                                    BitmapSet(IDC_MAP_SWITCH, "M0", true))));
  EXPECT_EQ(t.settings.storedInt(key::kMap).value_or(0), 1);
  EXPECT_EQ(t.settings.storedInt(key::kGps).value_or(1), 0);
  EXPECT_EQ(t.settings.storedInt(key::kCenter).value_or(0), 1);
}

TEST_F(MapSwitch, SideBySideFromNavinYouReleasesItsGpsUnlessLinked) {
  t.settings.writeInt(key::kMapMode, 1);
  const WindowHandle navin = t.desktop.add(kNavinYouClass);
  const WindowHandle navinToolbar = t.desktop.add(kNavinToolbarClass, "", navin);
  t.desktop.answer(navinToolbar, win::kTbGetState, kNavinGpsV1, 5);
  const WindowHandle atlas = t.desktop.add(kAtlas98FrameClass);

  t.settings.writeInt(key::kGps, 2);
  runningWorkers();
  switchMap(t.ctx);
  expectWorkersStopped(false);
  EXPECT_THAT(t.log.of(ActionKind::Sent), IsEmpty());
  EXPECT_EQ(t.settings.storedInt(key::kMap).value_or(0), 1);
  EXPECT_EQ(t.view.focused(), IDC_LINKED_GPS);

  t.settings.writeInt(key::kMap, 0);
  t.settings.writeInt(key::kGps, 0);
  t.view.enable(IDC_LINKED_GPS, false);  // as a start with "MapMode" 0 left it
  t.log.clear();
  switchMap(t.ctx);
  expectWorkersStopped(true);
  EXPECT_THAT(t.log.messagesTo(navin), ElementsAre(testing::SentCommand(navin, kNavinGpsV1)));
  EXPECT_THAT(t.log.of(ActionKind::Foreground),
              ElementsAre(Foreground(atlas), Foreground(atlas), Foreground(toolbar)));
  EXPECT_EQ(t.view.disabled(), kGpsOnlyControls);
  EXPECT_EQ(t.view.bitmapSet(IDC_MAP_SWITCH), "M0");
  EXPECT_EQ(t.settings.storedInt(key::kCenter).value_or(0), 1);
}

TEST_F(MapSwitch, AnUnknownMapOrModeOnlyBringsTheMapAndToolbarForward) {
  for (const auto& [map, mapMode] : {std::pair{5, 0}, std::pair{0, 3}}) {
    TestContext s;
    s.settings.writeInt(key::kMap, map);
    s.settings.writeInt(key::kMapMode, mapMode);
    switchMap(s.ctx);
    EXPECT_THAT(s.log.of({ActionKind::BitmapSet, ActionKind::Posted, ActionKind::Launch}),
                IsEmpty());
    EXPECT_EQ(s.settings.storedInt(key::kMap).value_or(-1), map);
  }
}

}  // namespace
}  // namespace tabiro
