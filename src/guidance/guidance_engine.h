// The guidance engine: speed-camera alarms and turn announcements along the
// route, one pass per new position.
//
// A pass is a plain function over the profile, the shared state and an
// output, so that tests and tools can drive it fix by fix with a recorder:
//
//   EngineState engine;
//   const EngineLimits limits = readEngineLimits(settings);
//   for (each fix) {
//     publishFix(state, fix);
//     guidancePass(settings, state, limits, engine, recorder);
//   }
//
// The pass reads and writes "Rot" / "WayPoint" and "PointLevel", may clear
// guidanceRun (and positionReaderRun when "SaveTRK" is 0) after the last
// waypoint, and reaches the world only through GuidanceOutput. The thread
// guidanceEngine runs it once at its start and then once per fix a position
// source publishes; the live output announces.
#pragma once

#include <cstdint>
#include <string>

#include "core/app_context.h"
#include "core/profile_keys.h"
#include "core/settings_store.h"
#include "core/shared_state.h"
#include "guidance/announce.h"

namespace tabiro {

constexpr std::int32_t kApproachMetres = 1200;   // stage 0 -> 1
constexpr std::int32_t kAnnounceMetres = 200;    // stage 1 -> 2 at the latest
constexpr std::int32_t kPassedMetres = 100;      // stage 2: at the waypoint
constexpr std::int32_t kMovedAwayMetres = 200;   // stage 2: past it, beyond the nearest point
constexpr std::int32_t kCameraAngle = 60;        // a camera watches its direction +- this
constexpr std::int32_t kAheadAngle = 90;         // a camera this close to the heading is ahead

// "Ovis" / "OvisUp" and "OvisUp2", read once when the engine starts.
struct EngineLimits {
  std::int32_t ovisUp = key::kOvisUp.def;    // metres
  std::int32_t ovisUp2 = key::kOvisUp2.def;  // km/h
};
EngineLimits readEngineLimits(const SettingsStore& settings);

// What the engine keeps between passes of one run.
struct EngineState {
  int heldCamera = 0;                // row of the camera last announced; 0: none
  std::int32_t nearestDistance = 0;  // metres to the current waypoint since its announcement
};

// Everything a pass does to the world besides the profile and the flags.
class GuidanceOutput {
 public:
  virtual ~GuidanceOutput() = default;
  // An announcement with voice: speechText is the phrase to speak, wavFile the
  // bare name of the WAV file played instead of speech.
  virtual void announce(const std::string& speechText, const AnnouncedPicture& picture,
                        const std::string& wavFile) = 0;
  // "Navimode" 1: the picture alone.
  virtual void showPicture(const AnnouncedPicture& picture) = 0;
  // A toolbar command asked for by a waypoint text (IDC_GUIDE_SHOW,
  // IDC_GUIDE_HIDE, IDC_GPS_RELIEF and the fixed scales), run by the toolbar after the announcement's phrase.
  virtual void toolbarCommand(int id) = 0;
  // The toolbar's waypoint field shows the new current "WayPoint".
  virtual void showCurrentWaypoint() = 0;
  // timer::kReserved1, kRaiseAfterGps and kRaiseAfterLinked stopped before a turn announcement, and the raise
  // timer armed after it.
  virtual void cancelRaiseTimers() = 0;
  virtual void rearmRaiseTimer() = 0;
};

// Metres from the fix to a position, as the engine measures them.
double distanceMetres(std::int32_t fromLatitude, std::int32_t fromLongitude,
                      std::int32_t toLatitude, std::int32_t toLongitude);

// Metres before a turn at which it is announced: "WaveUp" seconds in whole
// 30 s steps at the current speed.
std::uint32_t leadDistance(std::int32_t waveUpSeconds, std::int32_t speedKmh);

// The camera's direction rule: its direction (or 999 for any) against the
// heading, both in degrees, the difference taken round the circle.
bool watchesHeading(std::int32_t direction, std::int32_t heading);

// The WAV file of a speed-camera alarm, by the camera's kind and road.
std::string cameraWavFile(const std::string& cameraText);

// The WAV file and phrase of a turn, from the last tag of the waypoint text;
// an empty wavFile when the text has no tag.
struct TurnPhrase {
  std::string wavFile;
  std::string speechText;
};
TurnPhrase turnPhrase(const SettingsStore& settings, const std::string& waypointText);

// One pass over the shared fix, taken once.
void guidancePass(SettingsStore& settings, SharedState& state, const EngineLimits& limits,
                  EngineState& engine, GuidanceOutput& out);

// The engine's loop over any output: a pass now, then one per fix a position
// source publishes (none while the fix is not current), until guidanceRun is cleared (a stop wakes it at
// once) or the route ends. Between fixes it waits without using the CPU.
void runGuidancePasses(SettingsStore& settings, SharedState& state, GuidanceOutput& out);

// The engine thread: the loop with the announcing output; at its end it
// sends IDC_GUIDANCE_ENDED to the toolbar.
void guidanceEngine(AppContext& ctx);

// Starts guidanceEngine on a worker.
void startGuidanceEngine(AppContext& ctx);

}  // namespace tabiro
