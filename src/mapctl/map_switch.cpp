#include "mapctl/map_switch.h"

#include <optional>
#include <string>

#include "core/modes.h"
#include "gps/gps_control.h"
#include "mapctl/atlas_window.h"
#include "mapctl/discovery.h"
#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "mapctl/map_launch.h"
#include "mapctl/map_window.h"
#include "mapctl/navin_gps_button.h"
#include "platform/winmsg.h"
#include "resource.h"
#include "ui/bitmap_sets.h"

namespace tabiro {

namespace {

constexpr int kShowNormal = 5;  // SW_SHOW

// The zoom-out and zoom-in buttons of the map coming to the front.
void showNavinZoomSets(ToolbarView& view) {
  loadAndRepaint(view, IDC_ZOOM_OUT, bitmaps::kNavinZoomOut);
  loadAndRepaint(view, IDC_ZOOM_IN, bitmaps::kNavinZoomIn);
}

void showAtlasZoomSets(ToolbarView& view, const char* zoomOut) {
  loadAndRepaint(view, IDC_ZOOM_OUT, zoomOut);
  loadAndRepaint(view, IDC_ZOOM_IN, bitmaps::kAtlasZoomIn);
}

// The arrows back to scrolling.
void resetArrows(AppContext& ctx) {
  showArrowSets(ctx.view, ArrowRole::Scroll);
  enableArrows(ctx.view, true);
  ctx.settings.writeInt(key::kMatch, 0);
}

void disableGpsOnlyButtons(ToolbarView& view) {
  for (const int id : {IDC_GUIDE_SHOW, IDC_GPS_RELIEF, IDC_GUIDE_HIDE, IDC_ADD_CAMERA}) {
    view.enable(id, false);
  }
}

void showCenteringUnusable(ToolbarView& view) {
  showCenteringOn(view, false);
  view.enable(IDC_CENTERING, false);
}

void stopAtlasGps(AppContext& ctx, bool simultaneous) {
  postAtlasCommand(ctx, kAtlasGpsOff);
  if (simultaneous) disableGpsOnlyButtons(ctx.view);
  showCenteringUnusable(ctx.view);
  writeGpsRun(ctx.settings, GpsRun::Stopped);
  ctx.settings.writeInt(key::kCenter, 1);
  postAtlasCommand(ctx, kAtlasDetailMap);
}

void enableRouteButtons(ToolbarView& view, bool enabled) {
  view.enable(IDC_ROUTE_LIST, enabled);
  view.enable(IDC_ROUTE_CLEAR, enabled);
}

// Case A: Navin' You 2.0 alone shows its own map or its ProAtlas document.
void switchNavinDocument(AppContext& ctx) {
  const std::optional<WindowListCommands> commands = readNavinWindowMenu(ctx);
  const bool toProAtlas = load(ctx.state.atlasDocumentShown) == 0;
  store(ctx.state.atlasDocumentShown, toProAtlas ? 1 : 0);
  if (toProAtlas) {
    showAtlasZoomSets(ctx.view, bitmaps::kProAtlasZoomOut);
    ctx.view.enable(IDC_ZOOM_OUT, false);
  } else {
    showNavinZoomSets(ctx.view);
    ctx.view.enable(IDC_ZOOM_OUT, true);
  }
  ctx.view.focus(IDC_GPS);
  loadAndRepaint(ctx.view, IDC_MAP_SWITCH,
                 toProAtlas ? bitmaps::kMapSwitchAtlasInFront : bitmaps::kMapSwitchNavinInFront);
  if (commands) postNavinCommand(ctx, toProAtlas ? commands->proAtlas : commands->ownMap);
}

// Case B: from ATLAS to Navin' You.
void switchToNavinYou(AppContext& ctx, MapMode mapMode) {
  const GpsRun gps = readGpsRun(ctx.settings);
  if (mapMode == MapMode::Alternating) {
    if (gps == GpsRun::Running) stopAtlasGps(ctx, false);
    ctx.view.enable(IDC_LINKED_GPS, false);
    showNavinZoomSets(ctx.view);
    enableRouteButtons(ctx.view, true);
    resetArrows(ctx);
    postAtlasCommand(ctx, win::kCmdAppExit);
    writeMapInFront(ctx.settings, MapInFront::NavinYou);
    toggleCentering(ctx);
    toggleCentering(ctx);
    const std::string navin = ctx.settings.readString(key::kExeFilePath0, "");
    if (!navin.empty()) launchAsNavinYou(ctx, navin);
    ctx.view.focus(IDC_GPS);
    ctx.view.loadBitmapSet(IDC_MAP_SWITCH, bitmaps::kMapSwitchNavinInFront, true);
    return;
  }
  showNavinZoomSets(ctx.view);
  if (gps == GpsRun::Stopped || gps == GpsRun::Running) {
    if (gps == GpsRun::Running) stopAtlasGps(ctx, true);
    resetArrows(ctx);
    ctx.view.enable(IDC_LINKED_GPS, true);
    ctx.view.focus(IDC_GPS);
  } else if (gps == GpsRun::Linked) {
    ctx.view.focus(IDC_LINKED_GPS);  // linked GPS keeps running
  }
  writeMapInFront(ctx.settings, MapInFront::NavinYou);
  if (const WindowHandle main = ctx.desktop.findWindow(kNavinYouClass, nullptr)) {
    ctx.desktop.show(main, kShowNormal);
    ctx.desktop.setForeground(main);
  }
  ctx.view.loadBitmapSet(IDC_MAP_SWITCH, bitmaps::kMapSwitchNavinInFront, true);
  enableRouteButtons(ctx.view, true);
}

// Case C: from Navin' You to ATLAS.
void switchToAtlas(AppContext& ctx, MapMode mapMode) {
  if (mapMode == MapMode::Alternating) {
    stopGpsWorkers(ctx.state);
    ctx.view.enable(IDC_LINKED_GPS, false);
    showAtlasZoomSets(ctx.view, bitmaps::kAtlasZoomOut);
    resetArrows(ctx);
    enableRouteButtons(ctx.view, false);
    writeMapInFront(ctx.settings, MapInFront::Atlas);
    writeGpsRun(ctx.settings, GpsRun::Stopped);
    ctx.settings.writeInt(key::kCenter, 1);
    postNavinCommand(ctx, win::kCmdAppExit);
    const std::string atlas = ctx.settings.readString(key::kExeFilePath1, "");
    if (!atlas.empty()) ctx.launcher.launch(atlas, win::kSwRestore);
    ctx.view.focus(IDC_GPS);
    ctx.view.loadBitmapSet(IDC_MAP_SWITCH, bitmaps::kMapSwitchAtlasInFront, true);
    return;
  }
  showAtlasZoomSets(ctx.view, bitmaps::kAtlasZoomOut);
  if (readGpsRun(ctx.settings) != GpsRun::Linked) {
    releaseNavinGps(ctx);
    stopGpsWorkers(ctx.state);
    writeGpsRun(ctx.settings, GpsRun::Stopped);
    ctx.settings.writeInt(key::kCenter, 1);
    disableGpsOnlyButtons(ctx.view);
    showCenteringUnusable(ctx.view);
    enableRouteButtons(ctx.view, true);
    ctx.view.enable(IDC_LINKED_GPS, true);
    resetArrows(ctx);
    ctx.view.focus(IDC_GPS);
  } else {
    ctx.view.focus(IDC_LINKED_GPS);
  }
  writeMapInFront(ctx.settings, MapInFront::Atlas);
  activateAtlas(ctx);
  ctx.view.loadBitmapSet(IDC_MAP_SWITCH, bitmaps::kMapSwitchAtlasInFront, true);
}

}  // namespace

void switchMap(AppContext& ctx) {
  cancelRaiseTimers(ctx);
  const MapMode mapMode = readMapMode(ctx.settings);
  const bool modeKnown = mapMode != MapMode::Unknown;
  if (readNavinVersion(ctx.settings) == NavinVersion::V2Alone) {
    switchNavinDocument(ctx);
  } else if (modeKnown && readMapInFront(ctx.settings) == MapInFront::Atlas) {
    switchToNavinYou(ctx, mapMode);
  } else if (modeKnown && readMapInFront(ctx.settings) == MapInFront::NavinYou) {
    switchToAtlas(ctx, mapMode);
  }
  activateMapWindow(ctx);
  raiseToolbar(ctx);
}

}  // namespace tabiro
