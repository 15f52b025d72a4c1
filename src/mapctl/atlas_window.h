// The ATLAS window: found afresh by each enumeration step, which then sends
// it a command, a key or a show state.
#pragma once

#include "core/app_context.h"

namespace tabiro {

// The ATLAS enumeration steps: each runs over the top-level windows in the
// system's order and acts at most once.
constexpr int kAtlasInnerViewWaitMs = 10000;
constexpr int kAtlasProbePollMs = 100;
// Sets atlasWindowReady once the chosen ATLAS window has its inner view;
// gives up, flag unchanged, after kAtlasInnerViewWaitMs or as soon as the
// window is gone. True when there was an ATLAS window to wait on.
bool probeAtlasReady(AppContext& ctx);
// Whether probeAtlasReady would find an ATLAS window to wait on.
bool atlasWindowExists(AppContext& ctx);
void postAtlasCommand(AppContext& ctx, unsigned commandId);
void activateAtlas(AppContext& ctx);
void sendAtlasArrowHorizontal(AppContext& ctx, int direction);  // 1 left, 2 right
void sendAtlasArrowVertical(AppContext& ctx, int direction);    // 1 up, 2 down
void restoreAtlas(AppContext& ctx);
void maximizeAtlas(AppContext& ctx);

}  // namespace tabiro
