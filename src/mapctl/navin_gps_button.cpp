#include "mapctl/navin_gps_button.h"

#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "platform/winmsg.h"

namespace tabiro {

std::optional<unsigned> navinGpsCommand(int version) {
  if (version == 0) return kNavinGpsV1;
  if (version == 1 || version == 2) return kNavinGpsV2;
  return std::nullopt;
}

std::optional<NavinGpsButton> readNavinGpsButton(AppContext& ctx) {
  const std::optional<unsigned> command = navinGpsCommand(ctx.settings.readInt(key::kVer, 0));
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
