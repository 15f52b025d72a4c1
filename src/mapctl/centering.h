// Own-car centring in the map program in front, a map button like the others.
#pragma once

#include "core/app_context.h"

namespace tabiro {

// IDC_CENTERING: own-car centring.
void toggleCentering(AppContext& ctx);

}  // namespace tabiro
