#include "mapctl/centering.h"

#include <optional>

#include "core/modes.h"
#include "core/timer_ids.h"
#include "mapctl/atlas_window.h"
#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "mapctl/map_window.h"
#include "mapctl/navin_buttons.h"
#include "platform/winmsg.h"
#include "ui/toolbar_states.h"

namespace tabiro {

namespace {

void toggleNavinCentering(AppContext& ctx) {
  ctx.timers.stop(timer::kReserved1);
  ctx.timers.stop(timer::kRaiseAfterLinked);
  const std::optional<NavinButtonState> button = readNavinButton(ctx, NavinButton::Centering);
  if (!button) return;
  if (button->state != win::kTbStateEnabled && button->state != win::kTbStateEnabledChecked) return;
  showNavinCentering(ctx.view, button->state == win::kTbStateEnabled);
  sendNavinCommand(ctx, button->command);
}

// With ATLAS alone the arrows scroll while centring is off and are disabled
// while it is on; with linked GPS they switch between scrolling and
// correction.
void toggleAtlasCentering(AppContext& ctx) {
  ctx.timers.stop(timer::kRaiseAfterGps);
  ctx.timers.stop(timer::kRaiseAfterLinked);
  const int center = ctx.settings.readInt(key::kCenter);
  if (center == 0 || center == 1) {
    const bool turningOn = center == 0;
    const bool linked = readGpsRun(ctx.settings) == GpsRun::Linked;
    showAtlasCentering(ctx.view, turningOn, linked);
    if (linked) ctx.settings.writeInt(key::kMatch, turningOn ? 1 : 0);
    ctx.settings.writeInt(key::kCenter, turningOn ? 1 : 0);
    postAtlasCommand(ctx, kAtlasCentering);
  }
  rearmRaiseTimer(ctx);
}

}  // namespace

void toggleCentering(AppContext& ctx) {
  switch (readMapInFront(ctx.settings)) {
    case MapInFront::NavinYou:
      toggleNavinCentering(ctx);
      break;
    case MapInFront::Atlas:
      toggleAtlasCentering(ctx);
      break;
    case MapInFront::Unknown:
      break;
  }
}

}  // namespace tabiro
