#include "mapctl/route_dialogs.h"

#include "core/timer_ids.h"
#include "mapctl/discovery.h"
#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "mapctl/map_window.h"

namespace tabiro {

namespace {

void routeCommand(AppContext& ctx, unsigned command) {
  cancelRaiseTimers(ctx);
  sendNavinCommand(ctx, command);
  ctx.timers.start(timer::kRouteListWatch, timer::kRouteListWatchMs);
}

// Answers whichever route dialog is open, the confirmation first; false when
// neither is.
bool answerRouteDialog(AppContext& ctx) {
  if (const WindowHandle confirm = ctx.desktop.findWindow(nullptr, kRouteConfirmTitle)) {
    sendDialogCommand(ctx, confirm, kRouteConfirmYes, DialogSend::Posted);
    return true;
  }
  if (const WindowHandle select = ctx.desktop.findWindow(nullptr, kRouteSelectTitle)) {
    sendDialogCommand(ctx, select, kRouteSelectOk, DialogSend::Posted);
    return true;
  }
  return false;
}

}  // namespace

void showRouteList(AppContext& ctx) { routeCommand(ctx, kNavinRouteList); }

void clearRoute(AppContext& ctx) { routeCommand(ctx, kNavinRouteClear); }

void routeDialogResponder(AppContext& ctx) {
  const std::int64_t deadline = ctx.clock.nowMs() + kRouteDialogResponderMs;
  while (!answerRouteDialog(ctx)) {
    if (ctx.clock.nowMs() >= deadline) return;
    ctx.clock.sleep(kRouteDialogFirstPollMs);
  }
  const WindowHandle driver = pollForWindow(
      ctx, [&] { return ctx.desktop.findWindow(nullptr, kDriverConfirmTitle); },
      kRouteDialogDriverPollMs, static_cast<int>(deadline - ctx.clock.nowMs()));
  sendDialogCommand(ctx, driver, kDriverConfirmOk, DialogSend::Posted);
}

void startRouteDialogResponder(AppContext& ctx) {
  ctx.workers.start("routeDialogResponder", [&ctx] { routeDialogResponder(ctx); });
}

}  // namespace tabiro
