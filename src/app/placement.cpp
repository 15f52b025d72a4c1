#include "app/placement.h"

#include <algorithm>

#include "core/toolbar_door.h"

namespace tabiro {

void restorePlacement(AppContext& ctx) {
  const int top = std::max(ctx.settings.readInt(key::kRectTop), kMinTop);
  const int left = std::max(ctx.settings.readInt(key::kRectLeft), kMinLeft);
  const WindowHandle toolbar = findToolbar(ctx);
  if (!toolbar) return;
  ctx.desktop.moveWindow(toolbar, left, top, ctx.desktop.screenWidth() - left, kToolbarHeight);
}

void savePlacement(AppContext& ctx) {
  const WindowHandle toolbar = findToolbar(ctx);
  if (!toolbar) return;
  const ScreenRect rect = ctx.desktop.windowRect(toolbar);
  ctx.settings.writeInt(key::kRectTop, rect.top);
  ctx.settings.writeInt(key::kRectLeft, rect.left);
}

}  // namespace tabiro
