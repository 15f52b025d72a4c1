#include "guidance/guidance_control.h"

#include <memory>
#include <optional>
#include <string>

#include "core/modes.h"
#include "gps/position_reader.h"
#include "guidance/announce.h"
#include "guidance/audio_ducking.h"
#include "guidance/camera_file.h"
#include "guidance/file_warnings.h"
#include "guidance/guidance_engine.h"
#include "guidance/music_players.h"
#include "guidance/route_file.h"
#include "mapctl/map_window.h"
#include "speech/toolbar_speech.h"
#include "ui/toolbar_states.h"

namespace tabiro {

namespace {

// The start and end of guidance: the chime, then the phrase spoken or, when
// speech cannot or must not be used, the sound resource.
void announceGuidance(AppContext& ctx, const char* sound, const char* phrase) {
  const auto quiet = std::make_shared<OtherSessionsLowered>(ctx);
  pauseMusic(ctx);
  ctx.sound.playResource("DING");
  // Queued behind any phrase still on its way; each keeps the quiet until
  // said.
  if (speechChosen(ctx))
    queueForSpeech(ctx, {phrase, {sound, true}, quiet});
  else
    ctx.sound.playResource(sound);
  store(ctx.state.musicPlayerSeen, 0);
  resumeMusic(ctx);
}

// Loads the route (or none) and the speed cameras. Gives what the driver is
// to be told of the files (empty when they loaded cleanly), or nothing after
// a file error, which the loaders have shown.
std::optional<std::string> loadGuidanceFiles(AppContext& ctx, const std::string& route,
                                             const std::string& cameras) {
  std::string message;
  if (route.empty()) {
    loadNoRoute(ctx);
  } else if (const auto scan = loadRoute(ctx, route)) {
    message += routeLoadMessage(route, *scan);
  } else {
    return std::nullopt;
  }
  if (!cameras.empty()) {
    const auto scan = loadCameras(ctx, cameras);
    if (!scan) return std::nullopt;
    message += cameraLoadMessage(cameras, *scan);
  }
  return message;
}

// Rows are never cleared, so a "WayPoint" beyond what this start loaded
// would name a waypoint of an earlier, longer route: start at the first.
void keepWaypointWithinRoute(AppContext& ctx) {
  if (ctx.settings.readInt(key::kWayPoint) <=
      ctx.settings.readInt(key::kWayPointMax)) {
    return;
  }
  ctx.settings.writeInt(key::kWayPoint, 1);
  ctx.view.setWaypointField(1);
}

void beginGuidance(AppContext& ctx) {
  const std::string route = ctx.settings.readString(key::kFileName);
  const std::string cameras = ctx.settings.readString(key::kPot);
  const std::optional<std::string> fileMessage = loadGuidanceFiles(ctx, route, cameras);
  if (!fileMessage) return;
  if (route.empty() && cameras.empty()) return;
  keepWaypointWithinRoute(ctx);
  showGuidanceOn(ctx.view);
  store(ctx.state.guidanceRun, 1);
  announceGuidance(ctx, "START", kGuidanceStartPhrase);
  if (guidanceOwnsReader(ctx.settings)) startPositionReader(ctx);
  startGuidanceEngine(ctx);
  ctx.settings.writeInt(key::kWavNavi, 1);
  // Told once the guidance runs, so that the box never holds up its start.
  if (!fileMessage->empty()) ctx.popups.showError(*fileMessage + kGuidanceStartsAnywayText);
}

void requestGuidanceStop(AppContext& ctx) {
  stopWorker(ctx.state, ctx.state.guidanceRun);
  if (guidanceOwnsReader(ctx.settings)) store(ctx.state.positionReaderRun, 0);
}

void stepWaypoint(AppContext& ctx, int step) {
  cancelRaiseTimers(ctx);
  int waypoint = ctx.settings.readInt(key::kWayPoint);
  if (step < 0 && waypoint > 1) --waypoint;
  if (step > 0 && waypoint < ctx.settings.readInt(key::kWayPointMax))
    ++waypoint;
  ctx.settings.writeInt(key::kWayPoint, waypoint);
  writePointLevel(ctx.settings, PointLevel::Far);
  ctx.view.setWaypointField(waypoint);
  rearmRaiseTimer(ctx);
}

}  // namespace

void startGuidance(AppContext& ctx) {
  cancelRaiseTimers(ctx);
  switch (ctx.settings.readInt(key::kWavNavi)) {
    case 0:
      beginGuidance(ctx);
      break;
    case 1:
      requestGuidanceStop(ctx);
      break;
    default:
      break;
  }
  rearmRaiseTimer(ctx);
}

void guidanceStopped(AppContext& ctx) {
  announceGuidance(ctx, "END", kGuidanceEndPhrase);
  ctx.settings.writeInt(key::kWavNavi, 0);
  writePointLevel(ctx.settings, PointLevel::Far);
  showCurrentWaypoint(ctx);
  showGuidanceOff(ctx.view);
}

void showCurrentWaypoint(AppContext& ctx) {
  ctx.view.setWaypointField(ctx.settings.readInt(key::kWayPoint));
}

void waypointBack(AppContext& ctx) { stepWaypoint(ctx, -1); }

void waypointForward(AppContext& ctx) { stepWaypoint(ctx, +1); }

}  // namespace tabiro
