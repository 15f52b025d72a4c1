#include "app/timer_dispatcher.h"

#include <algorithm>

#include "core/timer_ids.h"
#include "guidance/music_players.h"
#include "mapctl/discovery.h"
#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "mapctl/map_window.h"
#include "platform/winmsg.h"

namespace tabiro {

namespace {

constexpr const char* kErrorTitle = "Error";
constexpr const char* kAudioErrorTitle = "Error Initializing Audio";
constexpr int kToolbarAfterMapMs = 200;  // timer::kBringMapToFront: SView in front, then the toolbar

WindowHandle findErrorBox(Desktop& desktop) {
  if (const WindowHandle box = desktop.findWindow(nullptr, kErrorTitle)) return box;
  return desktop.findWindow(nullptr, kAudioErrorTitle);
}

// Brings the map program and SView to the front, then the toolbar; nothing
// without Navin' You (ATLAS alone at start-up), whichever "Map" names.
void bringMapToFront(AppContext& ctx) {
  ctx.timers.stop(timer::kBringMapToFront);
  if (!ctx.desktop.findWindow(kNavinYouClass, nullptr)) return;
  activateMapWindow(ctx, kToolbarAfterMapMs);
  raiseToolbar(ctx);
}

void watchRouteList(AppContext& ctx) {
  ctx.timers.stop(timer::kRouteListWatch);
  if (ctx.desktop.findWindow(nullptr, kNavinRouteListTitle)) {
    ctx.timers.start(timer::kRouteListWatch, timer::kRouteListWatchMs);
    return;
  }
  ctx.clock.sleep(2000);
  raiseToolbar(ctx);
}

// Dismisses the audio error boxes a music player leaves behind, then starts
// Winamp again where it was.
void watchAudioErrors(AppContext& ctx) {
  ctx.timers.stop(timer::kAudioErrorWatch);
  WindowHandle box = findErrorBox(ctx.desktop);
  if (box) {
    ctx.timers.stop(timer::kGuideCheck);
    for (int n = 0; box && n < kMaxErrorBoxDismissals; ++n) {
      sendDialogCommand(ctx, box, win::kIdCancel, DialogSend::Sent);
      ctx.clock.sleep(10);
      box = findErrorBox(ctx.desktop);
    }
    ctx.clock.sleep(100);
    startGuideCheckTimer(ctx);
    restartWinampAfterError(ctx);
  }
  ctx.timers.start(timer::kAudioErrorWatch, timer::kAudioErrorWatchMs);
}

bool guideWindowOpen(AppContext& ctx) {
  return findNavinDocument(ctx, NavinDocument::GuideWindow) != kNoWindow;
}

void checkGuidanceVoice(AppContext& ctx) {
  ctx.timers.stop(timer::kGuideCheck);
  if (guideWindowOpen(ctx) && ctx.settings.readInt(key::kGuideCheck) == 1 &&
      ctx.desktop.findWindow(kWinampClass, nullptr) && load(ctx.state.winampStopped) != 1) {
    ctx.workers.start("musicPlayerCheck", [&ctx] { musicPlayerCheck(ctx); });
  }
  startGuideCheckTimer(ctx);
}

}  // namespace

void startGuideCheckTimer(AppContext& ctx) {
  const int seconds = std::clamp(ctx.settings.readInt(key::kCheckTime), kCheckTimeMinSeconds,
                                 kCheckTimeMaxSeconds);
  ctx.timers.start(timer::kGuideCheck, seconds * 1000);
}

void handleTimer(AppContext& ctx, int id) {
  switch (id) {
    case timer::kRaiseAfterGps:
    case timer::kRaiseAfterLinked:
      ctx.timers.stop(id);
      raiseToolbar(ctx);
      break;
    case timer::kBringMapToFront:
      bringMapToFront(ctx);
      break;
    case timer::kRouteListWatch:
      watchRouteList(ctx);
      break;
    case timer::kAudioErrorWatch:
      watchAudioErrors(ctx);
      break;
    case timer::kGuideCheck:
      checkGuidanceVoice(ctx);
      break;
    default:
      break;
  }
}

}  // namespace tabiro
