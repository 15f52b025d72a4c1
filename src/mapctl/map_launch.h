// Launching the map programs and waiting until each can take commands: used
// by the start-up and by the map switch.
#pragma once

#include <string>

#include "core/app_context.h"

namespace tabiro {

// Bounds for the waits on programs we launched, so that a map program that
// never appears cannot hold the toolbar's start for ever.
constexpr int kMapProgramWaitMs = 60000;
constexpr int kNavinPollMs = 50;
constexpr int kAtlasPollMs = 1000;
constexpr int kRouteDialogAttempts = 60;
constexpr int kRouteDialogPollMs = 100;

// The launch of Navin' You: start it, wait for its map document, answer its
// start-up route dialogs. False when it did not come up in time. A program
// that cannot be started, or whose window goes away before it is ready, is
// not waited for: the start-up and the map switch go on at once.
bool launchAsNavinYou(AppContext& ctx, const std::string& path);

// With Navin' You 2.0, activate its own map document from the window menu.
void pickNavinMapDocument(AppContext& ctx);

// The launch of an ATLAS program: start it and wait for its inner view; not
// waited for on the same terms as Navin' You.
bool launchAsAtlas(AppContext& ctx, const std::string& path);

}  // namespace tabiro
