// Guidance start and stop (button 1006, command 1043) and the waypoint
// buttons 1021 and 1024.
#pragma once

#include "core/app_context.h"

namespace tabiro {

inline constexpr const char* kGuidanceStartPhrase = "音声ナビゲーションを開始します";
inline constexpr const char* kGuidanceEndPhrase = "音声ナビゲーションを終了します";

// Button 1006 and GPS start with "Wavstart" 1: starts guidance when "Wavnavi"
// is 0, asks the engine to stop when it is 1.
void startGuidance(AppContext& ctx);

// Command 1043, sent by the engine as it ends: the end announced, the
// toolbar back to guidance off.
void guidanceStopped(AppContext& ctx);

// Buttons 1021 and 1024: the current waypoint one back or one on, its stage
// back to far.
void waypointBack(AppContext& ctx);
void waypointForward(AppContext& ctx);

}  // namespace tabiro
