// The toolbar's place on the screen, remembered in the profile's "RECT".
#pragma once

#include "core/app_context.h"

namespace tabiro {

constexpr int kToolbarHeight = 43;
constexpr int kMinTop = -3;
constexpr int kMinLeft = -1;

// Moves the toolbar to its stored place, as wide as the screen from there.
void restorePlacement(AppContext& ctx);

// Stores the toolbar's current top-left corner; an unchanged place writes
// nothing.
void savePlacement(AppContext& ctx);

}  // namespace tabiro
