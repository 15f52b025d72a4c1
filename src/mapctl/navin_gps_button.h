// Navin' You's own GPS button on its tool bar: read, and released when
// Tabiro takes the position over.
#pragma once

#include <cstdint>
#include <optional>

#include "core/app_context.h"
#include "mapctl/map_commands.h"

namespace tabiro {

// A button of Navin' You's tool bar: its command id and its TB_GETSTATE
// answer (5: enabled and down); nullopt without Navin' You, its tool bar or a
// known "Ver".
struct NavinGpsButton {
  unsigned command;
  std::intptr_t state;
};
std::optional<NavinGpsButton> readNavinButton(AppContext& ctx, NavinButton which);
inline std::optional<NavinGpsButton> readNavinGpsButton(AppContext& ctx) {
  return readNavinButton(ctx, NavinButton::Gps);
}

// Switches Navin' You's own GPS off when it is on.
void releaseNavinGps(AppContext& ctx);

}  // namespace tabiro
