// The announcement that a receiver's fix was lost or is back.
#pragma once

#include "core/app_context.h"

namespace tabiro {

// Chime, "gpslost" or "gpsback", a picture captioned with the phrase, on a
// worker of its own, so that reading goes on.
void announceSignalChange(AppContext& ctx, bool lost);

}  // namespace tabiro
