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
#include "ui/toolbar_states.h"

namespace tabiro {

namespace {

bool linkedGpsUsable(const SettingsStore& settings) {
  return readMapMode(settings) == MapMode::Simultaneous;
}

void startGuidanceIfAsked(AppContext& ctx) {
  if (ctx.settings.readInt(key::kWavStart, 0) == 1) startGuidance(ctx);
}

void toggleNavinYouGps(AppContext& ctx) {
  ctx.timers.stop(timer::kReserved1);
  if (toggleNavinGps(ctx)) {
    raiseToolbar(ctx);
    showNavinGpsOn(ctx.view);
    ctx.settings.writeInt(key::kMatch, 1);
    startGpsWorkersForTrackLog(ctx);
    startGuidanceIfAsked(ctx);
    ctx.timers.start(timer::kBringMapToFront, kMapToFrontAfterGpsMs);
    raiseToolbar(ctx);
    return;
  }
  stopGpsWorkers(ctx.state);
  showNavinGpsOff(ctx.view, linkedGpsUsable(ctx.settings));
  ctx.settings.writeInt(key::kMatch, 0);
  raiseToolbar(ctx);
}

void toggleAtlasGps(AppContext& ctx) {
  ctx.timers.stop(timer::kRaiseAfterGps);
  switch (readGpsRun(ctx.settings)) {
    case GpsRun::Stopped:
      showAtlasGpsStarting(ctx.view);
      postAtlasCommand(ctx, kAtlasGpsOn);
      showAtlasGpsOn(ctx.view);
      writeGpsRun(ctx.settings, GpsRun::Running);
      ctx.settings.writeInt(key::kCenter, 1);
      postAtlasCommand(ctx, kAtlasDetailMap);
      activateAtlas(ctx);
      raiseToolbar(ctx);
      ctx.timers.start(timer::kBringMapToFront, kMapToFrontAfterGpsMs);
      raiseToolbar(ctx);
      break;
    case GpsRun::Running:
      showAtlasGpsStopping(ctx.view, linkedGpsUsable(ctx.settings));
      postAtlasCommand(ctx, kAtlasGpsOff);
      showAtlasGpsOff(ctx.view);
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

// GPS from a receiver: the reader always, the track log with "SaveTRK" 1,
// guidance with "Wavstart" 1. The map program's GPS and its buttons are not
// touched: two programs cannot share one port.
void toggleReceiverGps(AppContext& ctx) {
  if (load(ctx.state.receiverGpsOn) == 1) {
    stopGpsWorkers(ctx.state);
    showReceiverGps(ctx.view, false);
    raiseToolbar(ctx);
    return;
  }
  store(ctx.state.receiverGpsOn, 1);
  showReceiverGps(ctx.view, true);
  startPositionReader(ctx);
  if (ctx.settings.readInt(key::kSaveTrk, 0) == 1) startTrackLog(ctx);
  startGuidanceIfAsked(ctx);
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
  if (state != win::kTbStateEnabled && state != win::kTbStateEnabledChecked) return;
  showNavinCentering(ctx.view, state == win::kTbStateEnabled);
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
    const bool linked = readGpsRun(ctx.settings) == GpsRun::Linked;
    showAtlasCentering(ctx.view, turningOn, linked);
    if (linked) ctx.settings.writeInt(key::kMatch, turningOn ? 1 : 0);
    ctx.settings.writeInt(key::kCenter, turningOn ? 1 : 0);
    postAtlasCommand(ctx, kAtlasCentering);
  }
  rearmRaiseTimer(ctx);
}

}  // namespace

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

void toggleGps(AppContext& ctx) {
  if (readReceiverSettings(ctx.settings).source != PositionSource::StatusBar) {
    toggleReceiverGps(ctx);
    return;
  }
  switch (readMapInFront(ctx.settings)) {
    case MapInFront::NavinYou:
      toggleNavinYouGps(ctx);
      break;
    case MapInFront::Atlas:
      toggleAtlasGps(ctx);
      break;
    case MapInFront::Unknown:
      raiseToolbar(ctx);
      break;
  }
}

void toggleLinkedGps(AppContext& ctx) {
  ctx.timers.stop(timer::kBringMapToFront);
  if (toggleNavinGps(ctx)) {
    startGpsWorkersForTrackLog(ctx);
    ctx.launcher.launch(kGpsLinkProgram, win::kSwRestore);
    writeGpsRun(ctx.settings, GpsRun::Linked);
    ctx.settings.writeInt(key::kCenter, 1);
    postAtlasCommand(ctx, kAtlasGpsOn);
    showLinkedGpsOn(ctx.view);
    ctx.settings.writeInt(key::kMatch, 1);
    startGuidanceIfAsked(ctx);
  } else {
    postAtlasCommand(ctx, kAtlasGpsOff);
    writeGpsRun(ctx.settings, GpsRun::Stopped);
    ctx.settings.writeInt(key::kCenter, 1);
    stopGpsWorkers(ctx.state);
    showLinkedGpsOff(ctx.view);
    ctx.settings.writeInt(key::kMatch, 0);
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
