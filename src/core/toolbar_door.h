// The one door to the toolbar window for the other areas and threads. The
// toolbar is looked up by its title on every call and never kept: a kept
// handle would outlive a toolbar that ended, and a second copy of the
// program finds the first one's window by the same title.
//
// Threads: each of these may be called from any thread. A command sent
// returns once the toolbar has handled it on its own thread, so a worker
// must not hold anything the handler waits for; a posted one returns at
// once and runs after what the toolbar already has in hand. The toolbar's
// controls themselves are touched on its own thread only (ToolbarView).
#pragma once

#include "core/app_context.h"
#include "core/toolbar_title.h"
#include "platform/winmsg.h"

namespace tabiro {

// The toolbar's private messages: above WM_APP, so that no command of
// another program or dialog can be taken for one.
namespace toolbar_message {
constexpr unsigned kStartTimer = win::kWmApp + 1;   // wParam: timer, lParam: period in ms
constexpr unsigned kStopTimer = win::kWmApp + 2;    // wParam: timer
constexpr unsigned kShowWaypoint = win::kWmApp + 3; // the field shows "WayPoint"
}  // namespace toolbar_message

// The toolbar window; none while it does not exist.
WindowHandle findToolbar(AppContext& ctx);

// A WM_COMMAND to the toolbar, queued; nothing without a toolbar.
void postToToolbar(AppContext& ctx, int command);
// A WM_COMMAND to the toolbar, handled before the call returns.
void sendToToolbar(AppContext& ctx, int command);

// Makes the toolbar the foreground window.
void raiseToolbar(AppContext& ctx);

// The waypoint field shows the current "WayPoint", read when the toolbar
// handles the request: queued, so that a number the user stepped to in the
// meantime is not overwritten by an older one.
void showWaypointOnToolbar(AppContext& ctx);

}  // namespace tabiro
