// Navin' You's route list and route clear, and the worker that answers the
// route and driver dialogs Navin' You asks when its GPS is started.
#pragma once

#include "core/app_context.h"

namespace tabiro {

constexpr int kRouteDialogFirstPollMs = 100;
constexpr int kRouteDialogDriverPollMs = 200;
// A responder whose dialogs never come ends after this, so that repeated GPS
// starts cannot pile up threads that poll for ever. Navin' You asks within
// seconds of its GPS button.
constexpr int kRouteDialogResponderMs = 120000;

// IDC_ROUTE_LIST and IDC_ROUTE_CLEAR: the command to Navin' You, then timer::kRouteListWatch watches
// "ﾙｰﾄ一覧" and raises the toolbar once it has closed.
void showRouteList(AppContext& ctx);
void clearRoute(AppContext& ctx);

// Answers "ﾙｰﾄ確認" (yes) or else "ﾙｰﾄ選択", then "運転者／同乗者確認";
// gives up after kRouteDialogResponderMs.
void routeDialogResponder(AppContext& ctx);

// Starts routeDialogResponder on a worker of its own and returns at once.
// GPS start in Navin' You calls it just before pressing Navin' You's GPS.
void startRouteDialogResponder(AppContext& ctx);

}  // namespace tabiro
