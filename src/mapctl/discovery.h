// Finding the map programs' windows at the moment of each operation. Nothing
// is cached: the programs may be closed and restarted at any time.
#pragma once

#include <cstdint>
#include <optional>

#include "core/app_context.h"

namespace tabiro {

enum class MapVariant { NavinYou = 0, Atlas = 1, None = -1 };

// "Tabiro Info" / "Map" as it is now.
MapVariant readMapVariant(AppContext& ctx);

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

// The id of Navin' You's GPS button for "Ver", or nullopt for an unknown one.
std::optional<unsigned> navinGpsCommand(int version);

// Navin' You's GPS button: its command id and its TB_GETSTATE answer (5:
// enabled and down, GPS on); nullopt without Navin' You, its tool bar or a
// known "Ver".
struct NavinGpsButton {
  unsigned command;
  std::intptr_t state;
};
std::optional<NavinGpsButton> readNavinGpsButton(AppContext& ctx);

// Switches Navin' You's own GPS off when it is on.
void releaseNavinGps(AppContext& ctx);

}  // namespace tabiro
