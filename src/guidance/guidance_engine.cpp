#include "guidance/guidance_engine.h"

#include <cmath>
#include <cstdlib>

#include "core/modes.h"
#include "gps/coordinates.h"
#include "gps/position_reader.h"
#include "gps/status_bar.h"
#include "guidance/camera_kinds.h"
#include "platform/sjis.h"
#include "platform/stage_marks.h"
#include "resource.h"

namespace tabiro {

namespace {

// A flag cleared without a wake is still seen this soon.
constexpr std::chrono::milliseconds kRunFlagRecheck{1000};

// The part of the circle between two directions in degrees, 0 to 180.
std::int32_t angleBetween(std::int32_t a, std::int32_t b) {
  std::int32_t difference = std::abs(a - b) % 360;
  return difference > 180 ? 360 - difference : difference;
}

std::int64_t cameraDistance(const GpsFix& fix, const Camera& camera) {
  return static_cast<std::int64_t>(distanceMetres(fix.latitude, fix.longitude,
                                                  load(camera.latitude), load(camera.longitude)));
}

// "この先" says the camera is ahead: a camera the car has already passed
// must not be announced, however its direction matches.
bool isAhead(const GpsFix& fix, const Camera& camera) {
  const Coordinates car{fix.latitude, fix.longitude};
  const Coordinates at{load(camera.latitude), load(camera.longitude)};
  if (car == at) return true;
  return angleBetween(headingBetween(car, at), fix.heading) <= kAheadAngle;
}

void announceCamera(SettingsStore& settings, const std::string& text, GuidanceOutput& out) {
  const AnnouncedPicture picture = AnnouncedPicture::camera(text);
  if (settings.readInt(key::kNaviMode) == 1) {
    out.showPicture(picture);
    return;
  }
  const std::string speech = settings.readString(key::kOvis1) + text +
                             settings.readString(key::kOvis2);
  out.announce(speech, picture, cameraWavFile(text));
}

// The speed-camera scan: at most one announcement a pass; a held camera
// silences every other until the car is beyond "OvisUp" from it.
void scanCameras(SettingsStore& settings, const SharedState& state, const GpsFix& fix,
                 const EngineLimits& limits, EngineState& engine, GuidanceOutput& out) {
  const CameraTable& cameras = state.cameras;
  if (load(cameras.row(1).longitude) == 0) return;
  for (int n = 1; n <= CameraTable::kRows; ++n) {
    const Camera& camera = cameras.row(n);
    if (load(camera.latitude) == 0 || load(camera.longitude) == 0) break;
    const std::int64_t d = cameraDistance(fix, camera);
    if (engine.heldCamera != 0) {
      if (engine.heldCamera == n && d > limits.ovisUp) engine.heldCamera = 0;
      continue;
    }
    if (d < limits.ovisUp && fix.speedKmh >= limits.ovisUp2 &&
        watchesHeading(load(camera.direction), fix.heading) && isAhead(fix, camera)) {
      announceCamera(settings, camera.text.get(), out);
      engine.heldCamera = n;
    }
  }
}

struct TagCommand {
  const char* tag;
  int command;
};

// Map actions asked for by a waypoint text; the first tag of each group wins.
constexpr TagCommand kGuideWindowTags[] = {
    {"ud", IDC_GPS_RELIEF}, {"u", IDC_GUIDE_SHOW}, {"d", IDC_GUIDE_HIDE}};
constexpr TagCommand kScaleTags[] = {{"sk20", IDC_SCALE_200K},
                                     {"sk07", IDC_SCALE_70K},
                                     {"sk02", IDC_SCALE_20K},
                                     {"sk01", IDC_SCALE_10K}};

template <std::size_t N>
void sendFirstTagCommand(const std::string& text, const TagCommand (&tags)[N],
                         GuidanceOutput& out) {
  for (const TagCommand& t : tags) {
    if (sjis::contains(text, t.tag)) {
      out.toolbarCommand(t.command);
      return;
    }
  }
}

void announceWaypoint(SettingsStore& settings, const std::string& text, double distance,
                      EngineState& engine, GuidanceOutput& out) {
  writePointLevel(settings, PointLevel::Announced);
  const TurnPhrase phrase = turnPhrase(settings, text);
  out.cancelRaiseTimers();
  if (!phrase.wavFile.empty()) {
    if (settings.readInt(key::kNaviMode) == 1) {
      out.showPicture(AnnouncedPicture::turn());
    } else {
      out.announce(phrase.speechText, AnnouncedPicture::turn(), phrase.wavFile);
    }
  }
  sendFirstTagCommand(text, kGuideWindowTags, out);
  sendFirstTagCommand(text, kScaleTags, out);
  out.rearmRaiseTimer();
  engine.nearestDistance = truncateToInt32(distance);
}

void passWaypoint(SettingsStore& settings, SharedState& state, int waypoint, GuidanceOutput& out) {
  if (waypoint + 1 > settings.readInt(key::kWayPointMax)) {
    store(state.guidanceRun, 0);
    if (guidanceOwnsReader(settings)) store(state.positionReaderRun, 0);
  }
  settings.writeInt(key::kWayPoint, waypoint + 1);
  writePointLevel(settings, PointLevel::Far);
  out.showCurrentWaypoint();
}

// The current waypoint through its stages: far, approaching, announced, passed.
void followWaypoint(SettingsStore& settings, SharedState& state, const GpsFix& fix,
                    EngineState& engine, GuidanceOutput& out) {
  const int waypoint = settings.readInt(key::kWayPoint);
  const PointLevel stage = readPointLevel(settings);
  // The waypoint field accepts one past the last row: a number without a
  // row names a point that is never reached. Nor is a row the
  // current route did not load: it still holds a waypoint of an earlier one.
  if (waypoint < 1 || waypoint > WaypointTable::kRows) return;
  if (waypoint > settings.readInt(key::kWayPointMax)) return;
  const Waypoint& row = state.waypoints.row(waypoint);
  const double d =
      distanceMetres(fix.latitude, fix.longitude, load(row.latitude), load(row.longitude));
  const std::uint32_t lead = leadDistance(settings.readInt(key::kWaveUp), fix.speedKmh);
  switch (stage) {
    case PointLevel::Far:
      if (d < kApproachMetres) writePointLevel(settings, PointLevel::Approaching);
      break;
    case PointLevel::Approaching:
      if (d <= lead || d <= kAnnounceMetres) {
        announceWaypoint(settings, row.text.get(), d, engine, out);
      }
      break;
    case PointLevel::Announced:
      if (d < engine.nearestDistance) engine.nearestDistance = truncateToInt32(d);
      if (d < kPassedMetres || d > static_cast<double>(engine.nearestDistance) + kMovedAwayMetres) {
        passWaypoint(settings, state, waypoint, out);
      }
      break;
    case PointLevel::Unknown:
      writePointLevel(settings, PointLevel::Far);
      break;
  }
}

}  // namespace

EngineLimits readEngineLimits(const SettingsStore& settings) {
  return {settings.readInt(key::kOvisUp),
          settings.readInt(key::kOvisUp2)};
}

double distanceMetres(std::int32_t fromLatitude, std::int32_t fromLongitude,
                      std::int32_t toLatitude, std::int32_t toLongitude) {
  return metresBetween({fromLatitude, fromLongitude}, {toLatitude, toLongitude});
}

std::uint32_t leadDistance(std::int32_t waveUpSeconds, std::int32_t speedKmh) {
  // 30 s at the speed, 4 standing in for 3.6; no speed is below 0.
  const auto steps = static_cast<std::uint32_t>(waveUpSeconds > 0 ? waveUpSeconds / 30 : 0);
  const auto speed = static_cast<std::uint32_t>(speedKmh > 0 ? speedKmh : 0);
  return steps * speed * 30 / 4;
}

bool watchesHeading(std::int32_t direction, std::int32_t heading) {
  return direction == CameraTable::kAnyDirection || angleBetween(direction, heading) < kCameraAngle;
}

std::string cameraWavFile(const std::string& text) {
  return cameraKindFile(text, ".wav", "オービス.wav");
}

TurnPhrase turnPhrase(const SettingsStore& settings, const std::string& text) {
  struct Tag {
    const char* tag;
    const char* wavFile;
    TextKey phrase;
  };
  static const Tag kTags[] = {
      {"右", "右方向.wav", key::kMigi},
      {"左", "左方向.wav", key::kHidari},
      {"直", "直進.wav", key::kChoku},
      {"目", "目的地.wav", key::kMoku},
  };
  TurnPhrase chosen;
  for (const Tag& t : kTags) {
    if (!sjis::contains(text, t.tag)) continue;
    chosen.wavFile = t.wavFile;
    chosen.speechText = settings.readString(t.phrase);
  }
  return chosen;
}

void guidancePass(SettingsStore& settings, SharedState& state, const EngineLimits& limits,
                  EngineState& engine, GuidanceOutput& out) {
  // One snapshot for the whole pass: the cameras and the waypoint are
  // measured from the same fix.
  const GpsFix fix = state.gpsFix.get();
  scanCameras(settings, state, fix, limits, engine, out);
  followWaypoint(settings, state, fix, engine, out);
}

void runGuidancePasses(SettingsStore& settings, SharedState& state, GuidanceOutput& out) {
  const EngineLimits limits = readEngineLimits(settings);
  EngineState engine;
  std::uint64_t seen = state.fixes.published();
  const auto running = [&state] { return load(state.guidanceRun) != 0; };
  do {
    // A source without a fix (a hung map program) gives nothing to guide by.
    if (state.gpsFix.currentFix()) {
      markStage("pass");
      guidancePass(settings, state, limits, engine, out);
    }
  } while (state.fixes.waitForNext(seen, running, kRunFlagRecheck));
}

}  // namespace tabiro
