// Navin' You's own GPS button on its tool bar: read, and released when
// Tabiro takes the position over.
#pragma once

#include <cstdint>
#include <optional>

#include "core/app_context.h"

namespace tabiro {

// Navin' You's GPS button: its command id and its TB_GETSTATE answer (5:
// enabled and down, GPS on); nullopt without Navin' You, its tool bar or a
// known "Ver".
struct NavinGpsButton {
  unsigned command;
  std::intptr_t state;
};
std::optional<NavinGpsButton> readNavinGpsButton(AppContext& ctx);

// Switches Navin' You's own GPS off when it is on.
void releaseNavinGps(AppContext& ctx);

}  // namespace tabiro
