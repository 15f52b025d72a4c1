// Named steps that many expected sequences share, and `then`, which strings
// steps and single actions into one sequence, as Wine's message tests do:
//   ElementsAreArray(then(raiseTimersStopped(), mapInFront(atlas), Foreground(toolbar)))
#pragma once

#include <vector>

#include "core/timer_ids.h"
#include "fakes/action_log.h"
#include "guidance/music_players.h"
#include "resource.h"

namespace tabiro::testing {

using Steps = std::vector<Action>;

inline void append(Steps& to, const Action& action) { to.push_back(action); }
inline void append(Steps& to, const Steps& steps) { to.insert(to.end(), steps.begin(), steps.end()); }

template <typename... Parts>
Steps then(const Parts&... parts) {
  Steps all;
  (append(all, parts), ...);
  return all;
}

// A handler's first step: the pending raises are called off.
inline Steps raiseTimersStopped() {
  return {TimerStop(timer::kReserved1), TimerStop(timer::kRaiseAfterGps),
          TimerStop(timer::kRaiseAfterLinked)};
}

// A handler between the raises called off and the raise for GPS in one map armed again.
template <typename... Parts>
Steps betweenRaises(const Parts&... steps) {
  return then(raiseTimersStopped(), steps..., TimerStart(timer::kRaiseAfterGps, 2000));
}

// The map program comes forward and is given two pauses to settle.
inline Steps mapInFront(WindowHandle map) { return {Foreground(map), Sleep(500), Sleep(500)}; }

// The four direction buttons, left, up, down, right.
inline Steps arrowsEnabled(bool enabled) {
  return {Enabled(IDC_LEFT, enabled), Enabled(IDC_UP, enabled), Enabled(IDC_DOWN, enabled),
          Enabled(IDC_RIGHT, enabled)};
}

// Navin' You's route list and clear, which ATLAS has not.
inline Steps routeButtonsEnabled(bool enabled) {
  return {Enabled(IDC_ROUTE_LIST, enabled), Enabled(IDC_ROUTE_CLEAR, enabled)};
}

// The Layer III Player, started again on its first track, stepped to `track`.
inline Steps layer3BackToTrack(WindowHandle player, int track) {
  Steps steps(static_cast<std::size_t>(track - 1), PostedCommand(player, kLayer3NextTrack));
  return then(steps, PostedCommand(player, kLayer3Play));
}

}  // namespace tabiro::testing
