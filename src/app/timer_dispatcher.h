// The toolbar's one timer handler: every id's work on expiry.
#pragma once

#include "core/app_context.h"

namespace tabiro {

// Bound for dismissing audio error boxes in one expiry, so that a box that
// refuses Cancel cannot hold the user-interface thread for ever.
constexpr int kMaxErrorBoxDismissals = 50;

void handleTimer(AppContext& ctx, int id);

// Bounds of "checktime" in seconds: 0 or a negative value would start a check
// thread on every tick, a huge one would overflow the period.
constexpr int kCheckTimeMinSeconds = 1;
constexpr int kCheckTimeMaxSeconds = 86400;

// Starts timer::kGuideCheck with "checktime" seconds, kept within the bounds above.
void startGuideCheckTimer(AppContext& ctx);

}  // namespace tabiro
