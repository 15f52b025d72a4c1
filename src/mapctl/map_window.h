// The map program's window and the toolbar taking turns in front: every map
// command brings the map forward first and the toolbar back after.
#pragma once

#include "core/app_context.h"
#include "core/toolbar_door.h"

namespace tabiro {

constexpr int kMapSettleMs = 500;    // after the map program, and after SView, come forward
constexpr int kRaiseTimerMs = 2000;  // timers 2 and 3

// Brings the map program named by "Map" in front, then SView, each followed
// by a pause: one second with the settle after SView as given.
void activateMapWindow(AppContext& ctx, int settleAfterSViewMs = kMapSettleMs);

// Starts raise timer 2 ("GPS" = 1) or 3 ("GPS" = 2) so the toolbar comes back.
void rearmRaiseTimer(AppContext& ctx);

// Stops timers 1, 2 and 3, so that none raises the toolbar mid-operation.
void cancelRaiseTimers(AppContext& ctx);

}  // namespace tabiro
