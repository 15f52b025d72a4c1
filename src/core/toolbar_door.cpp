#include "core/toolbar_door.h"

#include <cstdint>

namespace tabiro {

WindowHandle findToolbar(AppContext& ctx) { return ctx.desktop.findWindow(nullptr, kToolbarTitle); }

void postToToolbar(AppContext& ctx, int command) {
  if (const WindowHandle toolbar = findToolbar(ctx)) {
    ctx.desktop.post(toolbar, win::kWmCommand, static_cast<std::uintptr_t>(command), 0);
  }
}

void sendToToolbar(AppContext& ctx, int command) {
  if (const WindowHandle toolbar = findToolbar(ctx)) {
    ctx.desktop.send(toolbar, win::kWmCommand, static_cast<std::uintptr_t>(command), 0);
  }
}

void raiseToolbar(AppContext& ctx) {
  if (const WindowHandle toolbar = findToolbar(ctx)) ctx.desktop.setForeground(toolbar);
}

void showWaypointOnToolbar(AppContext& ctx) {
  if (const WindowHandle toolbar = findToolbar(ctx)) {
    ctx.desktop.post(toolbar, toolbar_message::kShowWaypoint, 0, 0);
  }
}

}  // namespace tabiro
