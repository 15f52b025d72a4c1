// Navin' You's route list and route clear, and the worker that answers the
// route and driver dialogs Navin' You asks when its GPS is started.
#pragma once

#include "app/app_context.h"

namespace tabiro {

// Starts routeDialogResponder on a worker of its own and returns at once.
// GPS start in Navin' You calls it just before pressing Navin' You's GPS.
void startRouteDialogResponder(AppContext& ctx);

}  // namespace tabiro
