// Guidance start and stop (IDC_NAVIGATION, IDC_GUIDANCE_ENDED) and the
// waypoint buttons IDC_WAYPOINT_PREV and IDC_WAYPOINT_NEXT.
#pragma once

#include "core/app_context.h"

namespace tabiro {

inline constexpr const char* kGuidanceStartPhrase = "音声ナビゲーションを開始します";
inline constexpr const char* kGuidanceEndPhrase = "音声ナビゲーションを終了します";

// IDC_NAVIGATION and GPS start with "Wavstart" 1: starts guidance when "Wavnavi"
// is 0, asks the engine to stop when it is 1.
void startGuidance(AppContext& ctx);

// IDC_GUIDANCE_ENDED, sent by the engine as it ends: the end announced, the
// toolbar back to guidance off.
void guidanceStopped(AppContext& ctx);

// IDC_WAYPOINT_PREV and IDC_WAYPOINT_NEXT: the current waypoint one back or one on, its stage
// back to far.
void waypointBack(AppContext& ctx);
void waypointForward(AppContext& ctx);

// The waypoint field shows "WayPoint": at the engine's request
// (showWaypointOnToolbar) and when guidance has ended.
void showCurrentWaypoint(AppContext& ctx);

}  // namespace tabiro
