#include "mapctl/navin_gps_button.h"

#include "core/modes.h"
#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "platform/winmsg.h"

namespace tabiro {

std::optional<NavinGpsButton> readNavinButton(AppContext& ctx, NavinButton which) {
  const std::optional<unsigned> command = navinButtonCommand(readNavinVersion(ctx.settings), which);
  if (!command) return std::nullopt;
  const WindowHandle main = ctx.desktop.findWindow(kNavinYouClass, nullptr);
  if (!main) return std::nullopt;
  const WindowHandle toolbar = ctx.desktop.findChild(main, kNoWindow, kNavinToolbarClass, nullptr);
  if (!toolbar) return std::nullopt;
  return NavinGpsButton{*command, ctx.desktop.send(toolbar, win::kTbGetState, *command, 0)};
}

void releaseNavinGps(AppContext& ctx) {
  const std::optional<NavinGpsButton> button = readNavinGpsButton(ctx);
  if (button && button->state == win::kTbStateEnabledChecked) {
    sendNavinCommand(ctx, button->command);
  }
}

}  // namespace tabiro
