// The toolbar's one timer handler: every id's work on expiry.
#pragma once

#include "app/app_context.h"

namespace tabiro {

// Bound for dismissing audio error boxes in one expiry, so that a box that
// refuses Cancel cannot hold the user-interface thread for ever.
constexpr int kMaxErrorBoxDismissals = 50;

void handleTimer(AppContext& ctx, int id);

// Starts timer 110 with "checktime" seconds.
void startGuideCheckTimer(AppContext& ctx);

}  // namespace tabiro
