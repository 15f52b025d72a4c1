// The map program's window and the toolbar taking turns in front: every map
// command brings the map forward first and the toolbar back after.
#pragma once

#include "core/app_context.h"
#include "core/toolbar_door.h"

namespace tabiro {

constexpr int kMapSettleMs = 500;    // after the map program, and after SView, come forward
constexpr int kRaiseTimerMs = 2000;  // timer::kRaiseAfterGps, kRaiseAfterLinked

// Brings the map program named by "Map" in front, then SView, each followed
// by a pause: one second with the settle after SView as given.
void activateMapWindow(AppContext& ctx, int settleAfterSViewMs = kMapSettleMs);

// Starts timer::kRaiseAfterGps ("GPS" = 1) or kRaiseAfterLinked ("GPS" = 2) so the toolbar comes back.
void rearmRaiseTimer(AppContext& ctx);

// Stops timer::kReserved1, kRaiseAfterGps and kRaiseAfterLinked, so that none raises the toolbar mid-operation.
void cancelRaiseTimers(AppContext& ctx);

}  // namespace tabiro
