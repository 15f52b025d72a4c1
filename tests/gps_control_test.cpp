// GPS start and stop, linked GPS, centring and relief: the steps of each
// handler per map program and state, on the fake desktop.
#include "gps/gps_control.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/timer_ids.h"
#include "fakes/test_context.h"
#include "mapctl/map_commands.h"
#include "platform/winmsg.h"
#include "resource.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ActionKind;
using testing::BitmapSet;
using testing::Enabled;
using testing::Focus;
using testing::Foreground;
using testing::Launched;
using testing::PopupClosed;
using testing::PopupShown;
using testing::PostedCommand;
using testing::Sent;
using testing::SentCommand;
using testing::Sleep;
using testing::TestContext;
using testing::TimerStart;
using testing::TimerStop;
using testing::WorkerStarted;

// The toolbar, Navin' You with its tool bar whose GPS and centring buttons
// toggle when their commands arrive, and an ATLAS frame.
class GpsScene : public ::testing::Test {
 protected:
  GpsScene() {
    toolbar = t.desktop.add("#32770", "Tabiro2");
    navin = t.desktop.add(kNavinYouClass, "Navin' You");
    navinToolbar = t.desktop.add(kNavinToolbarClass, "", navin);
    atlas = t.desktop.add(kAtlas98FrameClass, "ProAtlas98");
    scriptButton(kNavinGpsV1, gpsState);
    scriptButton(kNavinCenteringV1, centeringState);
  }
  void scriptButton(unsigned command, std::intptr_t& state) {
    t.desktop.answer(navinToolbar, win::kTbGetState, command,
                     [&state](std::uintptr_t, std::intptr_t) { return state; });
    t.desktop.answer(navin, win::kWmCommand, command, [&state](std::uintptr_t, std::intptr_t) {
      if (state == 4 || state == 5) state = 9 - state;
      return std::intptr_t{0};
    });
  }
  std::vector<testing::Action> layout() {
    return t.log.of({ActionKind::BitmapSet, ActionKind::Enable, ActionKind::Focus});
  }

  TestContext t;
  WindowHandle toolbar, navin, navinToolbar, atlas;
  std::intptr_t gpsState = 4;        // enabled, not checked: GPS off
  std::intptr_t centeringState = 5;  // centring on
};

TEST_F(GpsScene, NavinYouGpsStartPressesGpsUnderItsPopupAndShowsTheGpsLayout) {
  toggleGps(t.ctx);
  EXPECT_THAT(
      t.log.actions(),
      ElementsAre(TimerStop(1), Sent(navinToolbar, win::kTbGetState, kNavinGpsV1, 0),
                  WorkerStarted("routeDialogResponder"), PopupShown(148),
                  SentCommand(navin, kNavinGpsV1), PopupClosed(148), Foreground(toolbar),
                  Enabled(1001, true), Enabled(1009, true), Enabled(1002, true),
                  Enabled(1026, true), Enabled(1003, true), Enabled(1006, true),
                  Enabled(1062, true), Enabled(1023, false), BitmapSet(1010, "LM", false),
                  Focus(1010), BitmapSet(1011, "U1M", false), Focus(1011),
                  BitmapSet(1012, "STM", false), Focus(1012), BitmapSet(1013, "RM", false),
                  Focus(1013), Enabled(1010, true), Enabled(1011, true), Enabled(1012, true),
                  Enabled(1013, true), Focus(1000), TimerStart(4, 1500), Foreground(toolbar)));
  EXPECT_EQ(t.settings.readInt(key::kMatch, 0), 1);
  EXPECT_EQ(t.settings.readInt(key::kGps, 0), 0) << "Navin' You's own GPS is never stored";
  EXPECT_EQ(load(t.state.positionReaderRun), 0);
  EXPECT_EQ(gpsState, 5);
}

TEST_F(GpsScene, NavinYouGpsStartWithTrackLogStartsReaderAndLoggerAndWithWavstartGuidance) {
  t.settings.writeInt(key::kSaveTrk, 1);
  t.settings.writeInt(key::kWavStart, 1);
  t.settings.writeInt(key::kWavNavi, 0);
  t.settings.writeString(key::kPot, t.dir.file("none.pot"));  // cannot be opened
  toggleGps(t.ctx);
  EXPECT_THAT(t.log.of(ActionKind::WorkerStarted),
              ElementsAre(WorkerStarted("routeDialogResponder"), WorkerStarted("positionReader"),
                          WorkerStarted("trackLogWriter")));
  EXPECT_EQ(load(t.state.positionReaderRun), 1);
  EXPECT_EQ(load(t.state.trackLogRun), 1);
  // Guidance was asked to start: the point file's error shows.
  EXPECT_EQ(t.log.of(ActionKind::Error).size(), 1u);
}

TEST_F(GpsScene, NavinYouGpsStopPostsUnderTheStopPopupAndStopsEveryWorker) {
  gpsState = 5;
  t.settings.writeInt(key::kMapMode, 1);
  store(t.state.guidanceRun, 1);
  store(t.state.positionReaderRun, 1);
  store(t.state.trackLogRun, 1);
  toggleGps(t.ctx);
  EXPECT_THAT(
      t.log.actions(),
      ElementsAre(TimerStop(1), Sent(navinToolbar, win::kTbGetState, kNavinGpsV1, 0),
                  PopupShown(149), testing::Posted(navin, win::kWmCommand, kNavinGpsV1, 0),
                  Sleep(1000), PopupClosed(149), Enabled(1001, false), Enabled(1009, false),
                  Enabled(1002, false), Enabled(1026, false), BitmapSet(1003, "T", true),
                  Focus(1003), Enabled(1003, false), Enabled(1023, true),
                  BitmapSet(1010, "L", true), Focus(1010), BitmapSet(1011, "U1", true),
                  Focus(1011), BitmapSet(1012, "ST", true), Focus(1012),
                  BitmapSet(1013, "R", true), Focus(1013), Enabled(1006, false),
                  Enabled(1062, false), Focus(1000), Foreground(toolbar)));
  EXPECT_EQ(load(t.state.guidanceRun), 0);
  EXPECT_EQ(load(t.state.positionReaderRun), 0);
  EXPECT_EQ(load(t.state.trackLogRun), 0);
  EXPECT_EQ(t.settings.readInt(key::kMatch, 1), 0);
}

TEST_F(GpsScene, WithoutNavinYouOrItsButtonNothingIsSentAndTheOffLayoutShows) {
  for (const int version : {0, 7}) {
    for (const bool withNavin : {true, false}) {
      TestContext s;
      s.settings.writeInt(key::kVer, version);
      if (withNavin) {
        const WindowHandle main = s.desktop.add(kNavinYouClass);
        s.desktop.answer(s.desktop.add(kNavinToolbarClass, "", main), win::kTbGetState, 3);
      }
      toggleGps(s.ctx);
      EXPECT_THAT(s.log.of(ActionKind::PopupShown), IsEmpty());
      EXPECT_THAT(s.log.of(ActionKind::Posted), IsEmpty());
      EXPECT_THAT(s.log.of(ActionKind::WorkerStarted), IsEmpty());
      EXPECT_EQ(s.view.bitmapSet(IDC_LEFT), "L");
      EXPECT_FALSE(s.view.isEnabled(IDC_NAVIGATION));
      EXPECT_EQ(s.settings.readInt(key::kMatch, 1), 0);
    }
  }
}

TEST_F(GpsScene, VersionTwoUsesItsOwnGpsCommand) {
  t.settings.writeInt(key::kVer, 2);
  scriptButton(kNavinGpsV2, gpsState);
  toggleGps(t.ctx);
  EXPECT_THAT(t.log.messagesTo(navin), ElementsAre(SentCommand(navin, kNavinGpsV2)));
}

TEST_F(GpsScene, AtlasGpsOnOffAndLinked) {
  t.settings.writeInt(key::kMap, 1);
  t.settings.writeInt(key::kMapMode, 1);
  t.settings.writeInt(key::kCenter, 0);
  toggleGps(t.ctx);
  EXPECT_THAT(t.log.actions(),
              ElementsAre(TimerStop(2), Enabled(1023, false), Enabled(1010, false),
                          Enabled(1011, false), Enabled(1012, false), Enabled(1013, false),
                          PostedCommand(atlas, kAtlasGpsOn), Enabled(1003, true), Focus(1000),
                          PostedCommand(atlas, kAtlasDetailMap), Foreground(atlas),
                          Foreground(toolbar), TimerStart(4, 1500), Foreground(toolbar)));
  EXPECT_EQ(t.settings.readInt(key::kGps, 0), 1);
  EXPECT_EQ(t.settings.readInt(key::kCenter, 0), 1);
  EXPECT_THAT(t.log.of(ActionKind::WorkerStarted), IsEmpty()) << "positions come from Navin' You";

  t.log.clear();
  toggleGps(t.ctx);
  EXPECT_THAT(t.log.actions(),
              ElementsAre(TimerStop(2), Enabled(1023, true), Enabled(1010, true),
                          Enabled(1011, true), Enabled(1012, true), Enabled(1013, true),
                          PostedCommand(atlas, kAtlasGpsOff), BitmapSet(1003, "T", true),
                          Focus(1003), Enabled(1003, false), PostedCommand(atlas, kAtlasDetailMap),
                          Foreground(toolbar)));
  EXPECT_EQ(t.settings.readInt(key::kGps, 1), 0);
  EXPECT_EQ(t.settings.readInt(key::kCenter, 0), 1);

  t.settings.writeInt(key::kGps, 2);
  t.log.clear();
  toggleGps(t.ctx);
  EXPECT_THAT(t.log.actions(), ElementsAre(TimerStop(2), Foreground(toolbar)));
}

TEST_F(GpsScene, LinkedGpsStartsGpsLinkAndAtlasThenStopsBoth) {
  t.settings.writeInt(key::kSaveTrk, 1);
  toggleLinkedGps(t.ctx);
  EXPECT_THAT(t.log.filter([](const testing::Action& a) {
                return a.kind == ActionKind::Launch || a.kind == ActionKind::Posted ||
                       a.kind == ActionKind::WorkerStarted || a.kind == ActionKind::TimerStart ||
                       a.kind == ActionKind::TimerStop;
              }),
              ElementsAre(TimerStop(4), WorkerStarted("routeDialogResponder"),
                          WorkerStarted("positionReader"), WorkerStarted("trackLogWriter"),
                          Launched("GPSLINK2.exe", 9), PostedCommand(atlas, kAtlasGpsOn),
                          TimerStart(4, 1500)));
  EXPECT_EQ(t.settings.readInt(key::kGps, 0), 2);
  EXPECT_EQ(t.settings.readInt(key::kMatch, 0), 1);
  EXPECT_FALSE(t.view.isEnabled(IDC_GPS));
  EXPECT_EQ(t.view.focused(), IDC_LINKED_GPS);
  EXPECT_EQ(t.view.bitmapSet(IDC_UP), "U1M");

  t.log.clear();
  toggleLinkedGps(t.ctx);
  EXPECT_THAT(t.log.messagesTo(atlas), ElementsAre(PostedCommand(atlas, kAtlasGpsOff)));
  EXPECT_EQ(t.settings.readInt(key::kGps, 2), 0);
  EXPECT_EQ(t.settings.readInt(key::kMatch, 1), 0);
  EXPECT_EQ(load(t.state.positionReaderRun), 0);
  EXPECT_EQ(load(t.state.trackLogRun), 0);
  EXPECT_TRUE(t.view.isEnabled(IDC_GPS));
  EXPECT_FALSE(t.view.isEnabled(IDC_CENTERING));
  EXPECT_EQ(t.view.focused(), IDC_GPS);
  EXPECT_EQ(t.view.bitmapSet(IDC_UP), "U1");
  EXPECT_EQ(t.log.of(ActionKind::TimerStart).back(), TimerStart(4, 1500));
}

TEST_F(GpsScene, NavinYouCenteringShowsTheNewStateThenPressesTheButton) {
  toggleCentering(t.ctx);
  EXPECT_THAT(t.log.actions(),
              ElementsAre(TimerStop(1), TimerStop(3),
                          Sent(navinToolbar, win::kTbGetState, kNavinCenteringV1, 0),
                          BitmapSet(1003, "T1", true), Focus(1003), Focus(1000), Focus(1023),
                          Focus(1003), SentCommand(navin, kNavinCenteringV1)));
  t.log.clear();
  toggleCentering(t.ctx);
  EXPECT_EQ(t.view.bitmapSet(IDC_CENTERING), "T");
  centeringState = 0;
  t.log.clear();
  toggleCentering(t.ctx);
  EXPECT_THAT(t.log.messagesTo(navin), IsEmpty()) << "a button in neither state is not pressed";
}

TEST_F(GpsScene, AtlasCenteringDisablesOrEnablesTheArrowsOrSwitchesThemWhenLinked) {
  t.settings.writeInt(key::kMap, 1);
  t.settings.writeInt(key::kCenter, 1);
  t.settings.writeInt(key::kGps, 1);
  toggleCentering(t.ctx);
  EXPECT_THAT(t.log.actions(),
              ElementsAre(TimerStop(2), TimerStop(3), BitmapSet(1003, "T1", true), Focus(1003),
                          Focus(1000), Focus(1023), Enabled(1010, true), Enabled(1011, true),
                          Enabled(1012, true), Enabled(1013, true), Focus(1003),
                          PostedCommand(atlas, kAtlasCentering), TimerStart(2, 2000)));
  EXPECT_EQ(t.settings.readInt(key::kCenter, 1), 0);
  toggleCentering(t.ctx);
  EXPECT_EQ(t.settings.readInt(key::kCenter, 0), 1);
  EXPECT_FALSE(t.view.isEnabled(IDC_LEFT));

  t.settings.writeInt(key::kGps, 2);
  t.log.clear();
  toggleCentering(t.ctx);  // off: the arrows scroll
  EXPECT_EQ(t.view.bitmapSet(IDC_RIGHT), "R");
  EXPECT_EQ(t.settings.readInt(key::kMatch, 1), 0);
  toggleCentering(t.ctx);  // on: they correct
  EXPECT_EQ(t.view.bitmapSet(IDC_RIGHT), "RM");
  EXPECT_TRUE(t.view.isEnabled(IDC_RIGHT));
  EXPECT_EQ(t.settings.readInt(key::kMatch, 0), 1);
  EXPECT_EQ(t.log.of(ActionKind::TimerStart).back(), TimerStart(3, 2000));

  t.settings.writeInt(key::kCenter, 4);
  t.log.clear();
  toggleCentering(t.ctx);
  EXPECT_THAT(t.log.actions(), ElementsAre(TimerStop(2), TimerStop(3), TimerStart(3, 2000)));
}

TEST_F(GpsScene, ReliefReleaseGoesToTheGpsPlayerWhenItRuns) {
  gpsRelief(t.ctx);
  EXPECT_THAT(t.log.actions(), IsEmpty());
  const WindowHandle player = t.desktop.add(kGpsPlayerClass);
  gpsRelief(t.ctx);
  EXPECT_THAT(t.log.actions(), ElementsAre(SentCommand(player, 4013)));
}

}  // namespace
}  // namespace tabiro
