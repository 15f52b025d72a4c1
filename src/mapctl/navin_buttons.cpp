#include "mapctl/navin_buttons.h"

#include "core/modes.h"
#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "platform/winmsg.h"

namespace tabiro {

std::optional<NavinButtonState> readNavinButton(AppContext& ctx, NavinButton which) {
  const std::optional<unsigned> command = navinButtonCommand(readNavinVersion(ctx.settings), which);
  if (!command) return std::nullopt;
  const WindowHandle main = ctx.desktop.findWindow(kNavinYouClass, nullptr);
  if (!main) return std::nullopt;
  const WindowHandle toolbar = ctx.desktop.findChild(main, kNoWindow, kNavinToolbarClass, nullptr);
  if (!toolbar) return std::nullopt;
  return NavinButtonState{*command, ctx.desktop.send(toolbar, win::kTbGetState, *command, 0)};
}

void releaseNavinGps(AppContext& ctx) {
  const std::optional<NavinButtonState> button = readNavinButton(ctx, NavinButton::Gps);
  if (button && button->state == win::kTbStateEnabledChecked) {
    sendNavinCommand(ctx, button->command);
  }
}

}  // namespace tabiro
