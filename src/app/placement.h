// The toolbar's place on the screen, remembered in the profile's "RECT".
#pragma once

#include "core/app_context.h"

namespace tabiro {

constexpr int kToolbarHeight = 43;
// A stored place above or left of the defaults reads as the default.
constexpr int kMinTop = key::kRectTop.def;
constexpr int kMinLeft = key::kRectLeft.def;

// Moves the toolbar to its stored place, as wide as the screen from there.
void restorePlacement(AppContext& ctx);

// Stores the toolbar's current top-left corner; an unchanged place writes
// nothing.
void savePlacement(AppContext& ctx);

}  // namespace tabiro
