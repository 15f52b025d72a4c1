#include "gps/gps_control.h"

#include <optional>

#include "core/modes.h"
#include "core/timer_ids.h"
#include "gps/position_reader.h"
#include "gps/receiver_settings.h"
#include "gps/track_log.h"
#include "guidance/guidance_control.h"
#include "mapctl/atlas_window.h"
#include "mapctl/discovery.h"
#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "mapctl/map_window.h"
#include "mapctl/navin_gps_button.h"
#include "mapctl/route_dialogs.h"
#include "platform/winmsg.h"
#include "resource.h"
#include "ui/bitmap_sets.h"

namespace tabiro {

namespace {

constexpr int kArrows[] = {IDC_LEFT, IDC_UP, IDC_DOWN, IDC_RIGHT};

constexpr int kGpsOffDisabled[] = {IDC_GUIDE_SHOW, IDC_GPS_RELIEF, IDC_GUIDE_HIDE, IDC_ADD_CAMERA};

void enableAll(ToolbarView& view, std::initializer_list<int> ids, bool enabled) {
  for (const int id : ids) view.enable(id, enabled);
}

template <std::size_t N>
void enableAll(ToolbarView& view, const int (&ids)[N], bool enabled) {
  for (const int id : ids) view.enable(id, enabled);
}

void showCenteringOff(ToolbarView& view) {
  loadAndRepaint(view, IDC_CENTERING, bitmaps::kCenteringOff);
}

// GPS on in Navin' You, alone or linked: the arrows correct the
// map-matched position.
void showCorrectionArrows(AppContext& ctx) {
  showArrowSets(ctx.view, ArrowRole::Correction);
  enableArrows(ctx.view, true);
  ctx.settings.writeInt(key::kMatch, 1);
}

// GPS off: the GPS buttons unusable, centring shown on and unusable.
void showGpsOffButtons(ToolbarView& view) {
  enableAll(view, kGpsOffDisabled, false);
  showCenteringOn(view, true);
  view.enable(IDC_CENTERING, false);
}

void showScrollingArrowsWithoutGuidance(AppContext& ctx) {
  showArrowSets(ctx.view, ArrowRole::Scroll);
  ctx.settings.writeInt(key::kMatch, 0);
  enableAll(ctx.view, {IDC_NAVIGATION, IDC_SVIEW}, false);
  ctx.view.focus(IDC_GPS);
}

void startGuidanceIfAsked(AppContext& ctx, SpeechControl& speech) {
  if (ctx.settings.readInt(key::kWavStart, 0) == 1) startGuidance(ctx, speech);
}

void toggleNavinYouGps(AppContext& ctx, SpeechControl& speech) {
  ctx.timers.stop(timer::kReserved1);
  if (toggleNavinGps(ctx)) {
    raiseToolbar(ctx);
    enableAll(ctx.view, kGpsOnlyButtons, true);
    ctx.view.enable(IDC_LINKED_GPS, false);
    showCorrectionArrows(ctx);
    ctx.view.focus(IDC_GPS);
    startGpsWorkersForTrackLog(ctx);
    startGuidanceIfAsked(ctx, speech);
    ctx.timers.start(timer::kBringMapToFront, kMapToFrontAfterGpsMs);
    raiseToolbar(ctx);
    return;
  }
  showGpsOffButtons(ctx.view);
  stopGpsWorkers(ctx.state);
  if (readMapMode(ctx.settings) == MapMode::Simultaneous) ctx.view.enable(IDC_LINKED_GPS, true);
  showScrollingArrowsWithoutGuidance(ctx);
  raiseToolbar(ctx);
}

void toggleAtlasGps(AppContext& ctx) {
  ctx.timers.stop(timer::kRaiseAfterGps);
  switch (readGpsRun(ctx.settings)) {
    case GpsRun::Stopped:
      enableAll(ctx.view, {IDC_LINKED_GPS, IDC_LEFT, IDC_UP, IDC_DOWN, IDC_RIGHT}, false);
      postAtlasCommand(ctx, kAtlasGpsOn);
      ctx.view.enable(IDC_CENTERING, true);
      ctx.view.focus(IDC_GPS);
      writeGpsRun(ctx.settings, GpsRun::Running);
      ctx.settings.writeInt(key::kCenter, 1);
      postAtlasCommand(ctx, kAtlasDetailMap);
      activateAtlas(ctx);
      raiseToolbar(ctx);
      ctx.timers.start(timer::kBringMapToFront, kMapToFrontAfterGpsMs);
      raiseToolbar(ctx);
      break;
    case GpsRun::Running:
      if (readMapMode(ctx.settings) == MapMode::Simultaneous) ctx.view.enable(IDC_LINKED_GPS, true);
      enableArrows(ctx.view, true);
      postAtlasCommand(ctx, kAtlasGpsOff);
      showCenteringOn(ctx.view, true);
      ctx.view.enable(IDC_CENTERING, false);
      writeGpsRun(ctx.settings, GpsRun::Stopped);
      ctx.settings.writeInt(key::kCenter, 1);
      postAtlasCommand(ctx, kAtlasDetailMap);
      raiseToolbar(ctx);
      break;
    default:  // linked GPS runs: button 1000 is disabled then
      raiseToolbar(ctx);
      break;
  }
}

// Buttons that work while a receiver gives positions: guidance and AD. The
// map program's own GPS buttons stay as they are.
constexpr int kReceiverGpsOnButtons[] = {IDC_NAVIGATION, IDC_ADD_CAMERA};

// GPS from a receiver: the reader always, the track log with "SaveTRK" 1,
// guidance with "Wavstart" 1. The map program's GPS is not touched: two
// programs cannot share one port.
void toggleReceiverGps(AppContext& ctx, SpeechControl& speech) {
  if (load(ctx.state.receiverGpsOn) == 1) {
    stopGpsWorkers(ctx.state);
    enableAll(ctx.view, kReceiverGpsOnButtons, false);
    ctx.view.focus(IDC_GPS);
    raiseToolbar(ctx);
    return;
  }
  store(ctx.state.receiverGpsOn, 1);
  enableAll(ctx.view, kReceiverGpsOnButtons, true);
  ctx.view.focus(IDC_GPS);
  startPositionReader(ctx);
  if (ctx.settings.readInt(key::kSaveTrk, 0) == 1) startTrackLog(ctx);
  startGuidanceIfAsked(ctx, speech);
  raiseToolbar(ctx);
}

// TB_GETSTATE of a button of Navin' You's tool bar; 0 without one.
std::intptr_t navinButtonState(AppContext& ctx, unsigned command) {
  const WindowHandle main = ctx.desktop.findWindow(kNavinYouClass, nullptr);
  if (!main) return 0;
  const WindowHandle toolbar = ctx.desktop.findChild(main, kNoWindow, kNavinToolbarClass, nullptr);
  return toolbar ? ctx.desktop.send(toolbar, win::kTbGetState, command, 0) : 0;
}

void toggleNavinCentering(AppContext& ctx) {
  ctx.timers.stop(timer::kReserved1);
  ctx.timers.stop(timer::kRaiseAfterLinked);
  const std::optional<unsigned> command =
      navinButtonCommand(readNavinVersion(ctx.settings), NavinButton::Centering);
  if (!command) return;
  const std::intptr_t state = navinButtonState(ctx, *command);
  if (state == win::kTbStateEnabled) {
    showCenteringOn(ctx.view, true);
  } else if (state == win::kTbStateEnabledChecked) {
    showCenteringOff(ctx.view);
  } else {
    return;
  }
  for (const int id : {IDC_GPS, IDC_LINKED_GPS, IDC_CENTERING}) repaint(ctx.view, id);
  sendNavinCommand(ctx, *command);
}

// With ATLAS alone the arrows scroll while centring is off and are disabled
// while it is on; with linked GPS they switch between scrolling and
// correction.
void toggleAtlasCentering(AppContext& ctx) {
  ctx.timers.stop(timer::kRaiseAfterGps);
  ctx.timers.stop(timer::kRaiseAfterLinked);
  const int center = ctx.settings.readInt(key::kCenter, 0);
  if (center == 0 || center == 1) {
    const bool turningOn = center == 0;
    if (turningOn) {
      showCenteringOn(ctx.view, true);
    } else {
      showCenteringOff(ctx.view);
    }
    ctx.view.focus(IDC_GPS);
    ctx.view.focus(IDC_LINKED_GPS);
    if (readGpsRun(ctx.settings) == GpsRun::Linked) {
      showArrowSets(ctx.view, turningOn ? ArrowRole::Correction : ArrowRole::Scroll);
      if (turningOn) enableArrows(ctx.view, true);
      ctx.settings.writeInt(key::kMatch, turningOn ? 1 : 0);
    } else {
      enableArrows(ctx.view, !turningOn);
    }
    ctx.view.focus(IDC_CENTERING);
    ctx.settings.writeInt(key::kCenter, turningOn ? 1 : 0);
    postAtlasCommand(ctx, kAtlasCentering);
  }
  rearmRaiseTimer(ctx);
}

}  // namespace

void showArrowSets(ToolbarView& view, ArrowRole role) {
  for (const ButtonSet& b : role == ArrowRole::Correction ? kCorrectionSets : kScrollSets) {
    loadSet(view, b);
    repaint(view, b.id);
  }
}

void enableArrows(ToolbarView& view, bool enabled) { enableAll(view, kArrows, enabled); }

void showCenteringOn(ToolbarView& view, bool withFocus) {
  view.loadBitmapSet(IDC_CENTERING, bitmaps::kCenteringOn, true);
  if (withFocus) repaint(view, IDC_CENTERING);
}

void startGpsWorkersForTrackLog(AppContext& ctx) {
  if (ctx.settings.readInt(key::kSaveTrk, 0) != 1) return;
  startPositionReader(ctx);
  startTrackLog(ctx);
}

bool toggleNavinGps(AppContext& ctx) {
  const std::optional<NavinGpsButton> button = readNavinGpsButton(ctx);
  if (!button) return false;
  if (button->state == win::kTbStateEnabled) {
    startRouteDialogResponder(ctx);
    const int popup = ctx.popups.showStatus(IDD_POPUP_GPS_START);
    sendNavinCommand(ctx, button->command);
    ctx.popups.closeStatus(popup);
    return true;
  }
  if (button->state == win::kTbStateEnabledChecked) {
    const int popup = ctx.popups.showStatus(IDD_POPUP_GPS_STOP);
    postNavinCommand(ctx, button->command);
    ctx.clock.sleep(kGpsStopPopupMs);
    ctx.popups.closeStatus(popup);
  }
  return false;
}

void toggleGps(AppContext& ctx, SpeechControl& speech) {
  if (readReceiverSettings(ctx.settings).source != PositionSource::StatusBar) {
    toggleReceiverGps(ctx, speech);
    return;
  }
  switch (readMapInFront(ctx.settings)) {
    case MapInFront::NavinYou:
      toggleNavinYouGps(ctx, speech);
      break;
    case MapInFront::Atlas:
      toggleAtlasGps(ctx);
      break;
    case MapInFront::Unknown:
      raiseToolbar(ctx);
      break;
  }
}

void toggleLinkedGps(AppContext& ctx, SpeechControl& speech) {
  ctx.timers.stop(timer::kBringMapToFront);
  if (toggleNavinGps(ctx)) {
    startGpsWorkersForTrackLog(ctx);
    ctx.launcher.launch(kGpsLinkProgram, win::kSwRestore);
    writeGpsRun(ctx.settings, GpsRun::Linked);
    ctx.settings.writeInt(key::kCenter, 1);
    postAtlasCommand(ctx, kAtlasGpsOn);
    enableAll(ctx.view, kGpsOnlyButtons, true);
    showCorrectionArrows(ctx);
    ctx.view.enable(IDC_GPS, false);
    ctx.view.focus(IDC_LINKED_GPS);
    startGuidanceIfAsked(ctx, speech);
  } else {
    postAtlasCommand(ctx, kAtlasGpsOff);
    writeGpsRun(ctx.settings, GpsRun::Stopped);
    ctx.settings.writeInt(key::kCenter, 1);
    stopGpsWorkers(ctx.state);
    showGpsOffButtons(ctx.view);
    ctx.view.enable(IDC_GPS, true);
    showScrollingArrowsWithoutGuidance(ctx);
  }
  ctx.timers.start(timer::kBringMapToFront, kMapToFrontAfterGpsMs);
  raiseToolbar(ctx);
}

void toggleCentering(AppContext& ctx) {
  switch (readMapInFront(ctx.settings)) {
    case MapInFront::NavinYou:
      toggleNavinCentering(ctx);
      break;
    case MapInFront::Atlas:
      toggleAtlasCentering(ctx);
      break;
    case MapInFront::Unknown:
      break;
  }
}

void gpsRelief(AppContext& ctx) {
  if (const WindowHandle player = ctx.desktop.findWindow(kGpsPlayerClass, nullptr)) {
    ctx.desktop.send(player, win::kWmCommand, kGpsReliefCommand, 0);
  }
}

}  // namespace tabiro
