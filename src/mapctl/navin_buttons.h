// Navin' You's tool-bar buttons as Tabiro reads them, and its own GPS
// released when Tabiro takes the position over.
#pragma once

#include <cstdint>
#include <optional>

#include "core/app_context.h"
#include "mapctl/map_commands.h"

namespace tabiro {

// A button of Navin' You's tool bar: its command id and its TB_GETSTATE
// answer (win::kTbStateEnabledChecked: enabled and down); nullopt without Navin' You, its tool bar or a
// known "Ver".
struct NavinButtonState {
  unsigned command;
  std::intptr_t state;
};
std::optional<NavinButtonState> readNavinButton(AppContext& ctx, NavinButton which);

// Switches Navin' You's own GPS off when it is on.
void releaseNavinGps(AppContext& ctx);

}  // namespace tabiro
