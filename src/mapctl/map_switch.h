// The map switch (IDC_MAP_SWITCH): Navin' You 2.0's own map and its ProAtlas
// document, or Navin' You and the ATLAS program, alternating or side by side.
#pragma once

#include "core/app_context.h"

namespace tabiro {

void switchMap(AppContext& ctx);

}  // namespace tabiro
