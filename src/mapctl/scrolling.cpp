#include "mapctl/scrolling.h"

#include "core/modes.h"
#include "core/timer_ids.h"
#include "mapctl/atlas_window.h"
#include "mapctl/discovery.h"
#include "mapctl/map_commands.h"
#include "mapctl/map_window.h"
#include "platform/winmsg.h"

namespace tabiro {

void pressDirectionButton(AppContext& ctx, const DirectionButton& button) {
  switch (ctx.settings.readInt(key::kMatch)) {
    case 0:
      scrollMap(ctx, button);
      break;
    case 1:
      correctMapMatch(ctx, button);
      break;
    default:
      raiseToolbar(ctx);
      break;
  }
}

void scrollMap(AppContext& ctx, const DirectionButton& button) {
  activateMapWindow(ctx);
  switch (readMapInFront(ctx.settings)) {
    case MapInFront::NavinYou:
      ctx.timers.stop(timer::kReserved1);
      ctx.timers.stop(timer::kRaiseAfterLinked);
      pressNavinArrow(ctx, findDocumentView(ctx, findShownNavinDocument(ctx)), button.key);
      break;
    case MapInFront::Atlas:
      ctx.timers.stop(timer::kRaiseAfterGps);
      ctx.timers.stop(timer::kRaiseAfterLinked);
      if (button.atlasHorizontal) {
        sendAtlasArrowHorizontal(ctx, button.atlasDirection);
      } else {
        sendAtlasArrowVertical(ctx, button.atlasDirection);
      }
      rearmRaiseTimer(ctx);
      break;
    case MapInFront::Unknown:
      break;
  }
  raiseToolbar(ctx);
}

// Right-clicks Navin' You's own map beside its centre, chooses the correction
// command there, and clicks the map again once the command has run.
void correctMapMatch(AppContext& ctx, const DirectionButton& button) {
  ctx.timers.stop(timer::kReserved1);
  ctx.timers.stop(timer::kRaiseAfterLinked);
  const int amount = ctx.settings.readInt(button.correction);
  if (const WindowHandle view =
          findDocumentView(ctx, findNavinDocument(ctx, NavinDocument::Map))) {
    const ScreenRect rect = ctx.desktop.windowRect(view);
    const int cx = (rect.right - rect.left) / 2;
    const int cy = (rect.bottom - rect.top) / 2;
    clickMapView(ctx, view, MouseButton::Right,
                 {cx + button.dx * amount, cy + button.dy * amount});
    ctx.desktop.post(view, win::kWmCommand, kNavinMapMatch, 0);
    ctx.clock.sleep(kCorrectionSettleMs);
    clickMapView(ctx, view, MouseButton::Left,
                 {cx - kCorrectionFollowUpOffset, cy - kCorrectionFollowUpOffset});
  }
  raiseToolbar(ctx);
}

}  // namespace tabiro
