#include "guidance/guidance_control.h"

#include <string>

#include "gps/position_reader.h"
#include "guidance/audio_ducking.h"
#include "guidance/camera_file.h"
#include "guidance/guidance_engine.h"
#include "guidance/music_players.h"
#include "guidance/route_file.h"
#include "mapctl/map_window.h"
#include "resource.h"

namespace tabiro {

namespace {

// The start and end of guidance: the chime, then the phrase spoken or, when
// speech cannot or must not be used, the sound resource.
void announceGuidance(AppContext& ctx, SpeechControl& speech, const char* sound,
                      const char* phrase) {
  const OtherSessionsLowered quiet(ctx);
  pauseMusic(ctx);
  ctx.sound.playResource("DING");
  if (load(ctx.state.speechReady) != 1 || load(ctx.state.musicPlayerSeen) == 1 ||
      ctx.settings.readInt(key::kAntiTos, 0) != 0) {
    ctx.sound.playResource(sound);
  } else {
    ctx.state.speechText.push(phrase);
    speech.speakNow(ctx.state);
  }
  store(ctx.state.musicPlayerSeen, 0);
  resumeMusic(ctx);
}

// Loads the route (or none) and the speed cameras; false after a file error,
// which the loaders have shown.
bool loadGuidanceFiles(AppContext& ctx, const std::string& route, const std::string& cameras) {
  if (route.empty()) {
    loadNoRoute(ctx);
  } else if (!loadRoute(ctx, route)) {
    return false;
  }
  return cameras.empty() || loadCameras(ctx, cameras);
}

// Rows are never cleared, so a "WayPoint" beyond what this start loaded
// would name a waypoint of an earlier, longer route: start at the first.
void keepWaypointWithinRoute(AppContext& ctx) {
  if (ctx.settings.readInt(key::kWayPoint, 1) <= ctx.settings.readInt(key::kWayPointMax, 50)) {
    return;
  }
  ctx.settings.writeInt(key::kWayPoint, 1);
  ctx.view.setWaypointField(1);
}

void beginGuidance(AppContext& ctx, SpeechControl& speech) {
  const std::string route = ctx.settings.readString(key::kFileName, "");
  const std::string cameras = ctx.settings.readString(key::kPot, "");
  if (!loadGuidanceFiles(ctx, route, cameras)) return;
  if (route.empty() && cameras.empty()) return;
  keepWaypointWithinRoute(ctx);
  // OTON has no disabled image of its own.
  ctx.view.loadBitmapSet(IDC_NAVIGATION, "OTON", false);
  ctx.view.focus(IDC_GPS);
  ctx.view.focus(IDC_NAVIGATION);
  ctx.view.enable(IDC_ADD_CAMERA, true);
  store(ctx.state.guidanceRun, 1);
  announceGuidance(ctx, speech, "START", kGuidanceStartPhrase);
  if (ctx.settings.readInt(key::kSaveTrk, 0) == 0) startPositionReader(ctx);
  startGuidanceEngine(ctx);
  ctx.settings.writeInt(key::kWavNavi, 1);
}

void requestGuidanceStop(AppContext& ctx) {
  stopWorker(ctx.state, ctx.state.guidanceRun);
  if (ctx.settings.readInt(key::kSaveTrk, 0) == 0) store(ctx.state.positionReaderRun, 0);
}

void stepWaypoint(AppContext& ctx, int step) {
  cancelRaiseTimers(ctx);
  int waypoint = ctx.settings.readInt(key::kWayPoint, 1);
  if (step < 0 && waypoint > 1) --waypoint;
  if (step > 0 && waypoint < ctx.settings.readInt(key::kWayPointMax, 50)) ++waypoint;
  ctx.settings.writeInt(key::kWayPoint, waypoint);
  ctx.settings.writeInt(key::kPointLevel, 0);
  ctx.view.setWaypointField(waypoint);
  rearmRaiseTimer(ctx);
}

}  // namespace

void startGuidance(AppContext& ctx, SpeechControl& speech) {
  cancelRaiseTimers(ctx);
  switch (ctx.settings.readInt(key::kWavNavi, 1)) {
    case 0:
      beginGuidance(ctx, speech);
      break;
    case 1:
      requestGuidanceStop(ctx);
      break;
    default:
      break;
  }
  rearmRaiseTimer(ctx);
}

void guidanceStopped(AppContext& ctx, SpeechControl& speech) {
  announceGuidance(ctx, speech, "END", kGuidanceEndPhrase);
  ctx.settings.writeInt(key::kWavNavi, 0);
  ctx.settings.writeInt(key::kPointLevel, 0);
  ctx.view.setWaypointField(ctx.settings.readInt(key::kWayPoint, 1));
  ctx.view.loadBitmapSet(IDC_NAVIGATION, "OT", true);
  ctx.view.enable(IDC_NAVIGATION, false);
  ctx.view.enable(IDC_SVIEW, false);
  ctx.view.focus(IDC_GPS);
  ctx.view.focus(IDC_NAVIGATION);
  ctx.view.enable(IDC_ADD_CAMERA, false);
}

void waypointBack(AppContext& ctx) { stepWaypoint(ctx, -1); }

void waypointForward(AppContext& ctx) { stepWaypoint(ctx, +1); }

}  // namespace tabiro
