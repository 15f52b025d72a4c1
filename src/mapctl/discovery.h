// Finding the map programs' windows at the moment of each operation. Nothing
// is cached: the programs may be closed and restarted at any time.
#pragma once

#include <functional>
#include <optional>

#include "core/app_context.h"

namespace tabiro {

// Looks for a window with `find` every pollMs until it answers one or
// timeoutMs have passed (then 0): no other program can hold the toolbar for
// longer. The first look is at once.
WindowHandle pollForWindow(AppContext& ctx, const std::function<WindowHandle()>& find, int pollMs,
                           int timeoutMs);

enum class NavinDocument { Map, ProAtlas, GuideWindow };

// pauseBetweenMs: a pause before moving on to each next document, for a
// walk that gives a busy Navin' You time between its reads.
WindowHandle findNavinDocument(AppContext& ctx, NavinDocument kind, int pauseBetweenMs = 0);

// The document a Navin' You map operation needs: its own map, or the ProAtlas
// document while that is shown.
WindowHandle findShownNavinDocument(AppContext& ctx);

// The map view ("AfxFrameOrView42") inside a document, or 0.
WindowHandle findDocumentView(AppContext& ctx, WindowHandle document);

// Navin' You's GPS / guidance settings sheet under either of its titles, or 0.
WindowHandle findNavinSettingsSheet(AppContext& ctx);

// The window-list commands that activate Navin' You's own map and its
// ProAtlas document, read from its window menu; nullopt without one.
struct WindowListCommands {
  unsigned ownMap;
  unsigned proAtlas;
};
std::optional<WindowListCommands> readNavinWindowMenu(AppContext& ctx);

}  // namespace tabiro
