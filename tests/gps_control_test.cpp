// GPS start and stop, linked GPS, centring and relief: the steps of each
// handler per map program and state, on the fake desktop.
#include "gps/gps_control.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/toolbar_handlers.h"
#include "core/timer_ids.h"
#include "fakes/sequences.h"
#include "fakes/test_context.h"
#include "mapctl/centering.h"
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
using testing::arrowsEnabled;
using testing::Steps;
using testing::then;

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
  // Before either press: is Navin' You's GPS button down?
  Steps gpsStateAsked() {
    return {TimerStop(timer::kReserved1), Sent(navinToolbar, win::kTbGetState, kNavinGpsV1, 0)};
  }

  TestContext t;
  WindowHandle toolbar, navin, navinToolbar, atlas;
  std::intptr_t gpsState = 4;        // enabled, not checked: GPS off
  std::intptr_t centeringState = 5;  // centring on
};

// The buttons that work on the running GPS: guide window, relief, camera.
Steps gpsButtonsEnabled(bool enabled) {
  return {Enabled(IDC_GUIDE_SHOW, enabled), Enabled(IDC_GPS_RELIEF, enabled),
          Enabled(IDC_GUIDE_HIDE, enabled), Enabled(IDC_ADD_CAMERA, enabled)};
}

// The arrows' bitmaps, each focused: red to correct the map match, blue to scroll.
Steps arrowBitmaps(const char* left, const char* up, const char* down, const char* right, bool red) {
  return {BitmapSet(IDC_LEFT, left, !red), Focus(IDC_LEFT), BitmapSet(IDC_UP, up, !red),
          Focus(IDC_UP), BitmapSet(IDC_DOWN, down, !red), Focus(IDC_DOWN),
          BitmapSet(IDC_RIGHT, right, !red), Focus(IDC_RIGHT)};
}

// The centring button back to its first look, disabled, when GPS stops.
Steps centeringDisabled() {
  return {BitmapSet(IDC_CENTERING, "T", true), Focus(IDC_CENTERING), Enabled(IDC_CENTERING, false)};
}

// Centring turned off: its bitmap changes and the focus passes the GPS buttons.
Steps centeringShownOff() {
  return {BitmapSet(IDC_CENTERING, "T1", true), Focus(IDC_CENTERING), Focus(IDC_GPS),
          Focus(IDC_LINKED_GPS)};
}

TEST_F(GpsScene, NavinYouGpsStartPressesGpsUnderItsPopupAndShowsTheGpsLayout) {
  pressGps(t.ctx);
  EXPECT_THAT(t.log.actions(),
              ElementsAreArray(then(
                  gpsStateAsked(), WorkerStarted("routeDialogResponder"),
                  PopupShown(IDD_POPUP_GPS_START), SentCommand(navin, kNavinGpsV1),
                  PopupClosed(IDD_POPUP_GPS_START), Foreground(toolbar), gpsButtonsEnabled(true),
                  Enabled(IDC_CENTERING, true), Enabled(IDC_NAVIGATION, true),
                  Enabled(IDC_SVIEW, true), Enabled(IDC_LINKED_GPS, false),
                  arrowBitmaps("LM", "U1M", "STM", "RM", true), arrowsEnabled(true), Focus(IDC_GPS),
                  TimerStart(timer::kBringMapToFront, 1500), Foreground(toolbar))));
  EXPECT_EQ(t.settings.storedInt(key::kMatch).value_or(0), 1);
  EXPECT_EQ(t.settings.storedInt(key::kGps).value_or(0), 0) << "Navin' You's own GPS is never stored";
  EXPECT_EQ(load(t.state.positionReaderRun), 0);
  EXPECT_EQ(gpsState, 5);
}

TEST_F(GpsScene, NavinYouGpsStartWithTrackLogStartsReaderAndLoggerAndWithWavstartGuidance) {
  t.settings.writeInt(key::kSaveTrk, 1);
  t.settings.writeInt(key::kWavStart, 1);
  t.settings.writeInt(key::kWavNavi, 0);
  t.settings.writeString(key::kPot, t.dir.file("none.pot"));  // cannot be opened
  pressGps(t.ctx);
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
  pressGps(t.ctx);
  EXPECT_THAT(t.log.actions(),
              ElementsAreArray(then(
                  gpsStateAsked(), PopupShown(IDD_POPUP_GPS_STOP),
                  testing::Posted(navin, win::kWmCommand, kNavinGpsV1, 0), Sleep(1000),
                  PopupClosed(IDD_POPUP_GPS_STOP), gpsButtonsEnabled(false), centeringDisabled(),
                  Enabled(IDC_LINKED_GPS, true), arrowBitmaps("L", "U1", "ST", "R", false),
                  Enabled(IDC_NAVIGATION, false), Enabled(IDC_SVIEW, false), Focus(IDC_GPS),
                  Foreground(toolbar))));
  EXPECT_EQ(load(t.state.guidanceRun), 0);
  EXPECT_EQ(load(t.state.positionReaderRun), 0);
  EXPECT_EQ(load(t.state.trackLogRun), 0);
  EXPECT_EQ(t.settings.storedInt(key::kMatch).value_or(1), 0);
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
      pressGps(s.ctx);
      EXPECT_THAT(s.log.of(ActionKind::PopupShown), IsEmpty());
      EXPECT_THAT(s.log.of(ActionKind::Posted), IsEmpty());
      EXPECT_THAT(s.log.of(ActionKind::WorkerStarted), IsEmpty());
      EXPECT_EQ(s.view.bitmapSet(IDC_LEFT), "L");
      EXPECT_FALSE(s.view.isEnabled(IDC_NAVIGATION));
      EXPECT_EQ(s.settings.storedInt(key::kMatch).value_or(1), 0);
    }
  }
}

TEST_F(GpsScene, VersionTwoUsesItsOwnGpsCommand) {
  t.settings.writeInt(key::kVer, 2);
  scriptButton(kNavinGpsV2, gpsState);
  pressGps(t.ctx);
  EXPECT_THAT(t.log.messagesTo(navin), ElementsAre(SentCommand(navin, kNavinGpsV2)));
}

TEST_F(GpsScene, AtlasGpsOnOffAndLinked) {
  t.settings.writeInt(key::kMap, 1);
  t.settings.writeInt(key::kMapMode, 1);
  t.settings.writeInt(key::kCenter, 0);
  pressGps(t.ctx);
  EXPECT_THAT(t.log.actions(),
              ElementsAreArray(then(
                  TimerStop(timer::kRaiseAfterGps), Enabled(IDC_LINKED_GPS, false),
                  arrowsEnabled(false), PostedCommand(atlas, kAtlasGpsOn),
                  Enabled(IDC_CENTERING, true), Focus(IDC_GPS),
                  PostedCommand(atlas, kAtlasDetailMap), Foreground(atlas), Foreground(toolbar),
                  TimerStart(timer::kBringMapToFront, 1500), Foreground(toolbar))));
  EXPECT_EQ(t.settings.storedInt(key::kGps).value_or(0), 1);
  EXPECT_EQ(t.settings.storedInt(key::kCenter).value_or(0), 1);
  EXPECT_THAT(t.log.of(ActionKind::WorkerStarted), IsEmpty()) << "positions come from Navin' You";

  t.log.clear();
  pressGps(t.ctx);
  EXPECT_THAT(t.log.actions(),
              ElementsAreArray(then(TimerStop(timer::kRaiseAfterGps),
                                    Enabled(IDC_LINKED_GPS, true), arrowsEnabled(true),
                                    PostedCommand(atlas, kAtlasGpsOff), centeringDisabled(),
                                    PostedCommand(atlas, kAtlasDetailMap), Foreground(toolbar))));
  EXPECT_EQ(t.settings.storedInt(key::kGps).value_or(1), 0);
  EXPECT_EQ(t.settings.storedInt(key::kCenter).value_or(0), 1);

  t.settings.writeInt(key::kGps, 2);
  t.log.clear();
  pressGps(t.ctx);
  EXPECT_THAT(t.log.actions(), ElementsAre(TimerStop(timer::kRaiseAfterGps), Foreground(toolbar)));
}

TEST_F(GpsScene, LinkedGpsStartsGpsLinkAndAtlasThenStopsBoth) {
  t.settings.writeInt(key::kSaveTrk, 1);
  pressLinkedGps(t.ctx);
  EXPECT_THAT(t.log.filter([](const testing::Action& a) {
    return a.kind == ActionKind::Launch || a.kind == ActionKind::Posted ||
           a.kind == ActionKind::WorkerStarted || a.kind == ActionKind::TimerStart ||
           a.kind == ActionKind::TimerStop;
  }),
              ElementsAre(TimerStop(timer::kBringMapToFront), WorkerStarted("routeDialogResponder"),
                          WorkerStarted("positionReader"), WorkerStarted("trackLogWriter"),
                          Launched("GPSLINK2.exe", 9), PostedCommand(atlas, kAtlasGpsOn),
                          TimerStart(timer::kBringMapToFront, 1500)));
  EXPECT_EQ(t.settings.storedInt(key::kGps).value_or(0), 2);
  EXPECT_EQ(t.settings.storedInt(key::kMatch).value_or(0), 1);
  EXPECT_FALSE(t.view.isEnabled(IDC_GPS));
  EXPECT_EQ(t.view.focused(), IDC_LINKED_GPS);
  EXPECT_EQ(t.view.bitmapSet(IDC_UP), "U1M");

  t.log.clear();
  pressLinkedGps(t.ctx);
  EXPECT_THAT(t.log.messagesTo(atlas), ElementsAre(PostedCommand(atlas, kAtlasGpsOff)));
  EXPECT_EQ(t.settings.storedInt(key::kGps).value_or(2), 0);
  EXPECT_EQ(t.settings.storedInt(key::kMatch).value_or(1), 0);
  EXPECT_EQ(load(t.state.positionReaderRun), 0);
  EXPECT_EQ(load(t.state.trackLogRun), 0);
  EXPECT_TRUE(t.view.isEnabled(IDC_GPS));
  EXPECT_FALSE(t.view.isEnabled(IDC_CENTERING));
  EXPECT_EQ(t.view.focused(), IDC_GPS);
  EXPECT_EQ(t.view.bitmapSet(IDC_UP), "U1");
  EXPECT_EQ(t.log.of(ActionKind::TimerStart).back(), TimerStart(timer::kBringMapToFront, 1500));
}

TEST_F(GpsScene, NavinYouCenteringShowsTheNewStateThenPressesTheButton) {
  toggleCentering(t.ctx);
  EXPECT_THAT(t.log.actions(),
              ElementsAreArray(then(TimerStop(timer::kReserved1),
                                    TimerStop(timer::kRaiseAfterLinked),
                                    Sent(navinToolbar, win::kTbGetState, kNavinCenteringV1, 0),
                                    centeringShownOff(), Focus(IDC_CENTERING),
                                    SentCommand(navin, kNavinCenteringV1))));
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
              ElementsAreArray(then(TimerStop(timer::kRaiseAfterGps),
                                    TimerStop(timer::kRaiseAfterLinked), centeringShownOff(),
                                    arrowsEnabled(true), Focus(IDC_CENTERING),
                                    PostedCommand(atlas, kAtlasCentering),
                                    TimerStart(timer::kRaiseAfterGps, 2000))));
  EXPECT_EQ(t.settings.storedInt(key::kCenter).value_or(1), 0);
  toggleCentering(t.ctx);
  EXPECT_EQ(t.settings.storedInt(key::kCenter).value_or(0), 1);
  EXPECT_FALSE(t.view.isEnabled(IDC_LEFT));

  t.settings.writeInt(key::kGps, 2);
  t.log.clear();
  toggleCentering(t.ctx);  // off: the arrows scroll
  EXPECT_EQ(t.view.bitmapSet(IDC_RIGHT), "R");
  EXPECT_EQ(t.settings.storedInt(key::kMatch).value_or(1), 0);
  toggleCentering(t.ctx);  // on: they correct
  EXPECT_EQ(t.view.bitmapSet(IDC_RIGHT), "RM");
  EXPECT_TRUE(t.view.isEnabled(IDC_RIGHT));
  EXPECT_EQ(t.settings.storedInt(key::kMatch).value_or(0), 1);
  EXPECT_EQ(t.log.of(ActionKind::TimerStart).back(), TimerStart(timer::kRaiseAfterLinked, 2000));

  t.settings.writeInt(key::kCenter, 4);
  t.log.clear();
  toggleCentering(t.ctx);
  EXPECT_THAT(t.log.actions(),
              ElementsAre(TimerStop(timer::kRaiseAfterGps), TimerStop(timer::kRaiseAfterLinked),
                          TimerStart(timer::kRaiseAfterLinked, 2000)));
}

TEST_F(GpsScene, ReliefReleaseGoesToTheGpsPlayerWhenItRuns) {
  gpsRelief(t.ctx);
  EXPECT_THAT(t.log.actions(), IsEmpty());
  const WindowHandle player = t.desktop.add(kGpsPlayerClass);
  gpsRelief(t.ctx);
  EXPECT_THAT(t.log.actions(), ElementsAre(SentCommand(player, kGpsReliefCommand)));
}

}  // namespace
}  // namespace tabiro
