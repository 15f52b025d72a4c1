#include "gps/gps_control.h"

#include <optional>

#include "core/modes.h"
#include "core/timer_ids.h"
#include "gps/position_reader.h"
#include "gps/receiver_settings.h"
#include "gps/track_log.h"
#include "mapctl/atlas_window.h"
#include "mapctl/discovery.h"
#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "mapctl/map_window.h"
#include "mapctl/navin_buttons.h"
#include "mapctl/route_dialogs.h"
#include "platform/winmsg.h"
#include "resource.h"
#include "ui/toolbar_states.h"

namespace tabiro {

namespace {

bool linkedGpsUsable(const SettingsStore& settings) {
  return readMapMode(settings) == MapMode::Simultaneous;
}

void toggleNavinYouGps(AppContext& ctx, const GpsStarted& started) {
  ctx.timers.stop(timer::kReserved1);
  if (toggleNavinGps(ctx)) {
    raiseToolbar(ctx);
    showNavinGpsOn(ctx.view);
    ctx.settings.writeInt(key::kMatch, 1);
    startGpsWorkersForTrackLog(ctx);
    started();
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
    default:  // linked GPS runs: IDC_GPS is disabled then
      raiseToolbar(ctx);
      break;
  }
}

// GPS from a receiver: the reader always, the track log with "SaveTRK" 1,
// then what comes with GPS. The map program's GPS and its buttons are not
// touched: two programs cannot share one port.
void toggleReceiverGps(AppContext& ctx, const GpsStarted& started) {
  if (load(ctx.state.receiverGpsOn) == 1) {
    stopGpsWorkers(ctx.state);
    showReceiverGps(ctx.view, false);
    raiseToolbar(ctx);
    return;
  }
  store(ctx.state.receiverGpsOn, 1);
  showReceiverGps(ctx.view, true);
  startPositionReader(ctx);
  if (ctx.settings.readInt(key::kSaveTrk) == 1) startTrackLog(ctx);
  started();
  raiseToolbar(ctx);
}

}  // namespace

void startGpsWorkersForTrackLog(AppContext& ctx) {
  if (ctx.settings.readInt(key::kSaveTrk) != 1) return;
  startPositionReader(ctx);
  startTrackLog(ctx);
}

bool toggleNavinGps(AppContext& ctx) {
  const std::optional<NavinButtonState> button = readNavinButton(ctx, NavinButton::Gps);
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

void toggleGps(AppContext& ctx, const GpsStarted& started) {
  if (readReceiverSettings(ctx.settings).source != PositionSource::StatusBar) {
    toggleReceiverGps(ctx, started);
    return;
  }
  switch (readMapInFront(ctx.settings)) {
    case MapInFront::NavinYou:
      toggleNavinYouGps(ctx, started);
      break;
    case MapInFront::Atlas:
      toggleAtlasGps(ctx);
      break;
    case MapInFront::Unknown:
      raiseToolbar(ctx);
      break;
  }
}

void toggleLinkedGps(AppContext& ctx, const GpsStarted& started) {
  ctx.timers.stop(timer::kBringMapToFront);
  if (toggleNavinGps(ctx)) {
    startGpsWorkersForTrackLog(ctx);
    ctx.launcher.launch(kGpsLinkProgram, win::kSwRestore);
    writeGpsRun(ctx.settings, GpsRun::Linked);
    ctx.settings.writeInt(key::kCenter, 1);
    postAtlasCommand(ctx, kAtlasGpsOn);
    showLinkedGpsOn(ctx.view);
    ctx.settings.writeInt(key::kMatch, 1);
    started();
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

void gpsRelief(AppContext& ctx) {
  if (const WindowHandle player = ctx.desktop.findWindow(kGpsPlayerClass, nullptr)) {
    ctx.desktop.send(player, win::kWmCommand, kGpsReliefCommand, 0);
  }
}

}  // namespace tabiro
