#include "app/toolbar_handlers.h"

#include <string>

#include "app/placement.h"
#include "app/startup.h"
#include "app/timer_dispatcher.h"
#include "core/modes.h"
#include "core/timer_ids.h"
#include "gps/gps_control.h"
#include "guidance/audio_ducking.h"
#include "guidance/camera_file.h"
#include "guidance/guidance_control.h"
#include "mapctl/atlas_window.h"
#include "mapctl/centering.h"
#include "mapctl/display_toggles.h"
#include "mapctl/map_commands.h"
#include "mapctl/map_switch.h"
#include "mapctl/map_window.h"
#include "mapctl/route_dialogs.h"
#include "mapctl/scale_zoom.h"
#include "mapctl/scrolling.h"
#include "platform/winmsg.h"
#include "resource.h"
#include "settings/guidance_settings.h"
#include "settings/operation_settings.h"
#include "settings/receiver_setup.h"
#include "speech/voice_properties.h"
#include "ui/toolbar_states.h"

namespace tabiro {

namespace {

std::string waypointRangeMessage() {
  return "ﾅﾋﾞﾎﾟｲﾝﾄには " + std::to_string(kWaypointFieldMin) + " から " +
         std::to_string(kWaypointFieldMax) + " までの整数を入力してください。";
}

}  // namespace

void ToolbarDialog::initialiseBeforeSystemMenu() {
  speech_.choose();
  showStartSets(ctx_.view);

  resetRuntimeKeys(ctx_.settings);
  restoreSessionsLeftLowered(ctx_);
  applyFirstRunDefaults(ctx_.settings);
  applyVersionOverride(ctx_.settings);

  startupPopup_ = ctx_.popups.showStatus(IDD_POPUP_STARTUP);

  const StartupPlan plan =
      planStartup(readMapMode(ctx_.settings), readMapInFront(ctx_.settings));
  applyStartupLayout(ctx_.view, plan);
  launchMapPrograms(ctx_, plan);
  foregroundTimerMs_ = plan.foregroundTimerMs;
}

void ToolbarDialog::initialiseAfterSystemMenu() {
  restorePlacement(ctx_);
  ctx_.timers.start(timer::kBringMapToFront, foregroundTimerMs_);
  ctx_.timers.start(timer::kAudioErrorWatch, timer::kAudioErrorWatchMs);
  startGuideCheckTimer(ctx_);
  ctx_.popups.closeStatus(startupPopup_);
  startupPopup_ = 0;
}

bool ToolbarDialog::onOk() {
  // Checked before anything is released: a refused OK leaves the toolbar
  // running with its speech intact.
  const std::optional<int> waypoint = ctx_.view.waypointField();
  if (!waypoint || *waypoint < kWaypointFieldMin || *waypoint > kWaypointFieldMax) {
    ctx_.popups.showError(waypointRangeMessage());
    ctx_.view.focus(IDC_WAYPOINT_FIELD);
    return false;
  }
  speech_.release();
  return true;
}

void ToolbarDialog::onCancel() {
  speech_.release();
  int exitPopup = 0;
  if (const WindowHandle navin = ctx_.desktop.findWindow(kNavinYouClass, nullptr)) {
    exitPopup = ctx_.popups.showStatus(IDD_POPUP_EXIT);
    ctx_.desktop.post(navin, win::kWmCommand, win::kCmdAppExit, 0);
  }
  postAtlasCommand(ctx_, win::kCmdAppExit);
  if (exitPopup) ctx_.popups.closeStatus(exitPopup);
}

bool ToolbarDialog::onCommandMessage(int id, int notificationCode) {
  if (notificationCode != win::kBnClicked) return true;
  switch (id) {
    case win::kIdOk:
    case IDC_EXIT:
      return !onOk();
    case win::kIdCancel:
      onCancel();
      return false;
    default:
      onCommand(id);
      return true;
  }
}

void ToolbarDialog::onCommand(int id) {
  switch (id) {
    case IDC_HELP_BUTTON:
      cancelRaiseTimers(ctx_);
      ctx_.popups.openHelp();
      rearmRaiseTimer(ctx_);
      break;
    case IDC_SPEAK:
      speech_.speakNext();
      break;
    case IDC_SCALE_200K: selectFixedScale(ctx_, kScale200k); break;
    case IDC_SCALE_70K: selectFixedScale(ctx_, kScale70k); break;
    case IDC_SCALE_20K: selectFixedScale(ctx_, kScale20k); break;
    case IDC_SCALE_10K: selectFixedScale(ctx_, kScale10k); break;
    case IDC_ZOOM_OUT: zoomOut(ctx_); break;
    case IDC_ZOOM_IN: zoomIn(ctx_); break;
    case IDC_LEFT: pressDirectionButton(ctx_, kLeftButton); break;
    case IDC_UP: pressDirectionButton(ctx_, kUpButton); break;
    case IDC_DOWN: pressDirectionButton(ctx_, kDownButton); break;
    case IDC_RIGHT: pressDirectionButton(ctx_, kRightButton); break;
    case IDC_GUIDE_SHOW: showGuideWindow(ctx_); break;
    case IDC_GUIDE_HIDE: hideGuideWindow(ctx_); break;
    case IDC_WINDOW_NORMAL: setMapWindowSize(ctx_, WindowSize::Normal); break;
    case IDC_WINDOW_MAX: setMapWindowSize(ctx_, WindowSize::Maximised); break;
    case IDC_SVIEW: switchSView(ctx_); break;
    case IDC_MAP_MATCH: switchMapMatching(ctx_); break;
    case IDC_ROUTE_LIST: showRouteList(ctx_); break;
    case IDC_ROUTE_CLEAR: clearRoute(ctx_); break;
    case IDC_VOICE_PROPERTIES:
      openVoiceProperties(ctx_, speech_);
      break;
    case IDC_GPS: pressGps(ctx_); break;
    case IDC_LINKED_GPS: pressLinkedGps(ctx_); break;
    case IDC_CENTERING: toggleCentering(ctx_); break;
    case IDC_GPS_RELIEF: gpsRelief(ctx_); break;
    case IDC_NAVIGATION: startGuidance(ctx_); break;
    case IDC_GUIDANCE_ENDED: guidanceStopped(ctx_); break;
    case IDC_WAYPOINT_PREV: waypointBack(ctx_); break;
    case IDC_WAYPOINT_NEXT: waypointForward(ctx_); break;
    case IDC_ADD_CAMERA: addSpeedCamera(ctx_); break;
    case IDC_MAP_SWITCH: switchMap(ctx_); break;
    default:
      break;
  }
}

void ToolbarDialog::onTimer(int id) {
  if (id == timer::kSpeechWatch)
    speech_.watch();
  else
    handleTimer(ctx_, id);
}

bool ToolbarDialog::onSystemCommand(int id) {
  switch (id) {
    case IDM_ABOUT:
      ctx_.popups.showAbout();
      return true;
    case IDM_PATH_SETTINGS:
      openPathSettings(ctx_);
      return true;
    case IDM_GUIDANCE_SETTINGS:
      openGuidanceSettings(ctx_, speech_);
      return true;
    case IDM_RECEIVER_SETTINGS:
      openReceiverSettings(ctx_);
      return true;
    default:
      return false;
  }
}

void ToolbarDialog::onControlColour() { savePlacement(ctx_); }

void ToolbarDialog::onShowWaypoint() { showCurrentWaypoint(ctx_); }

namespace {

GpsStarted guidanceWithGps(AppContext& ctx) {
  return [&ctx] {
    if (ctx.settings.readInt(key::kWavStart) == 1) startGuidance(ctx);
  };
}

}  // namespace

void pressGps(AppContext& ctx) { toggleGps(ctx, guidanceWithGps(ctx)); }

void pressLinkedGps(AppContext& ctx) { toggleLinkedGps(ctx, guidanceWithGps(ctx)); }

}  // namespace tabiro
