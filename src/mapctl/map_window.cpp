#include "mapctl/map_window.h"

#include "core/modes.h"
#include "core/timer_ids.h"
#include "mapctl/atlas_window.h"
#include "mapctl/discovery.h"
#include "mapctl/map_commands.h"

namespace tabiro {

void activateMapWindow(AppContext& ctx, int settleAfterSViewMs) {
  switch (readMapInFront(ctx.settings)) {
    case MapInFront::NavinYou:
      if (const WindowHandle navin = ctx.desktop.findWindow(kNavinYouClass, nullptr)) {
        ctx.desktop.setForeground(navin);
      }
      break;
    case MapInFront::Atlas:
      activateAtlas(ctx);
      break;
    case MapInFront::Unknown:
      break;
  }
  ctx.clock.sleep(kMapSettleMs);
  if (const WindowHandle sview = ctx.desktop.findWindow(kSViewClass, nullptr)) {
    ctx.desktop.bringToTop(sview);
    ctx.desktop.setForeground(sview);
  }
  ctx.clock.sleep(settleAfterSViewMs);
}

void rearmRaiseTimer(AppContext& ctx) {
  switch (readGpsRun(ctx.settings)) {
    case GpsRun::Running:
      ctx.timers.start(timer::kRaiseAfterGps, kRaiseTimerMs);
      break;
    case GpsRun::Linked:
      ctx.timers.start(timer::kRaiseAfterLinked, kRaiseTimerMs);
      break;
    default:
      break;
  }
}

void cancelRaiseTimers(AppContext& ctx) {
  for (const int id : {timer::kReserved1, timer::kRaiseAfterGps, timer::kRaiseAfterLinked}) {
    ctx.timers.stop(id);
  }
}

}  // namespace tabiro
