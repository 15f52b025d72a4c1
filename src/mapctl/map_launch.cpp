#include "mapctl/map_launch.h"

#include "mapctl/atlas_window.h"
#include "mapctl/discovery.h"
#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "platform/sjis.h"
#include "platform/winmsg.h"

namespace tabiro {

namespace {

// Waits until Navin' You's document area holds at least one document. A
// main window that goes away before that was closed or has died: nothing
// more will come.
WindowHandle waitForDocumentArea(AppContext& ctx, std::int64_t deadline) {
  bool seen = false;
  for (;;) {
    const WindowHandle main = ctx.desktop.findWindow(kNavinYouClass, nullptr);
    if (!main && seen) return kNoWindow;
    seen = seen || main;
    const WindowHandle area =
        main ? ctx.desktop.findChild(main, kNoWindow, kMdiClientClass, nullptr) : kNoWindow;
    if (area && ctx.desktop.firstChild(area)) return area;
    if (ctx.clock.nowMs() >= deadline) return kNoWindow;
    ctx.clock.sleep(kNavinPollMs);
  }
}

// Walks the documents, round and round, until one is neither the ProAtlas
// document nor the guide window: then the map view is open.
bool waitForMapDocument(AppContext& ctx, WindowHandle area, std::int64_t deadline) {
  WindowHandle child = ctx.desktop.firstChild(area);
  for (;;) {
    if (!child) {
      if (!ctx.desktop.exists(area)) return false;
      child = ctx.desktop.firstChild(area);
      if (!child) return false;
    }
    const std::string title = ctx.desktop.windowText(child, kDocumentTitleChars);
    if (!sjis::contains(title, kProAtlasTag) && !sjis::contains(title, kGuideWindowTitle)) {
      return true;
    }
    if (ctx.clock.nowMs() >= deadline) return false;
    ctx.clock.sleep(kNavinPollMs);
    child = ctx.desktop.nextSibling(child);
  }
}

// Navin' You asks about the last route when it starts: keep it (no), and
// take the route selection's default.
void answerStartupRouteDialogs(AppContext& ctx) {
  for (int attempt = 0; attempt < kRouteDialogAttempts; ++attempt) {
    if (const WindowHandle confirm = ctx.desktop.findWindow(nullptr, kRouteConfirmTitle)) {
      sendDialogCommand(ctx, confirm, kRouteConfirmNo, DialogSend::Sent);
    }
    if (const WindowHandle select = ctx.desktop.findWindow(nullptr, kRouteSelectTitle)) {
      sendDialogCommand(ctx, select, kRouteSelectCancel, DialogSend::Sent);
      return;
    }
    ctx.clock.sleep(kRouteDialogPollMs);
  }
}

}  // namespace

bool launchAsNavinYou(AppContext& ctx, const std::string& path) {
  if (!ctx.launcher.launch(path, win::kSwRestore)) return false;
  const std::int64_t deadline = ctx.clock.nowMs() + kMapProgramWaitMs;
  const WindowHandle area = waitForDocumentArea(ctx, deadline);
  if (!area || !waitForMapDocument(ctx, area, deadline)) return false;
  answerStartupRouteDialogs(ctx);
  return true;
}

void pickNavinMapDocument(AppContext& ctx) {
  const WindowHandle main = ctx.desktop.findWindow(kNavinYouClass, nullptr);
  if (!main) return;
  const std::optional<WindowListCommands> commands = readNavinWindowMenu(ctx);
  if (!commands) return;
  ctx.desktop.send(main, win::kWmCommand, commands->ownMap, 0);
}

bool launchAsAtlas(AppContext& ctx, const std::string& path) {
  if (!ctx.launcher.launch(path, win::kSwRestore)) return false;
  const std::int64_t deadline = ctx.clock.nowMs() + kMapProgramWaitMs;
  bool seen = false;
  for (;;) {
    seen = probeAtlasReady(ctx) || seen;
    if (load(ctx.state.atlasWindowReady) == 1) return true;
    // Gone again before its view came: closed or dead.
    if (seen && !atlasWindowExists(ctx)) return false;
    if (ctx.clock.nowMs() >= deadline) return false;
    ctx.clock.sleep(kAtlasPollMs);
  }
}

}  // namespace tabiro
