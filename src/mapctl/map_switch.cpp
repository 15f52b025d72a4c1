#include "mapctl/map_switch.h"

#include <optional>
#include <string>

#include "core/modes.h"
#include "mapctl/atlas_window.h"
#include "mapctl/centering.h"
#include "mapctl/discovery.h"
#include "mapctl/input_messages.h"
#include "mapctl/map_commands.h"
#include "mapctl/map_launch.h"
#include "mapctl/map_window.h"
#include "mapctl/navin_buttons.h"
#include "platform/winmsg.h"
#include "ui/toolbar_states.h"

namespace tabiro {

namespace {

constexpr int kShowNormal = 5;  // SW_SHOW

void stopAtlasGps(AppContext& ctx, bool bothMaps) {
  postAtlasCommand(ctx, kAtlasGpsOff);
  showGpsStoppedBySwitch(ctx.view, bothMaps);
  writeGpsRun(ctx.settings, GpsRun::Stopped);
  ctx.settings.writeInt(key::kCenter, 1);
  postAtlasCommand(ctx, kAtlasDetailMap);
}

// "Match" 0: the arrows scroll again, as after every switch but one that
// keeps linked GPS running.
void stopMatching(AppContext& ctx) { ctx.settings.writeInt(key::kMatch, 0); }

// Case A: Navin' You 2.0 alone shows its own map or its ProAtlas document.
void switchNavinDocument(AppContext& ctx) {
  const std::optional<WindowListCommands> commands = readNavinWindowMenu(ctx);
  const bool toProAtlas = load(ctx.state.atlasDocumentShown) == 0;
  store(ctx.state.atlasDocumentShown, toProAtlas ? 1 : 0);
  showNavinDocument(ctx.view, toProAtlas);
  if (commands) postNavinCommand(ctx, toProAtlas ? commands->proAtlas : commands->ownMap);
}

// Case B: from ATLAS to Navin' You.
void switchToNavinYou(AppContext& ctx, MapMode mapMode) {
  const GpsRun gps = readGpsRun(ctx.settings);
  if (mapMode == MapMode::Alternating) {
    if (gps == GpsRun::Running) stopAtlasGps(ctx, false);
    showNavinYouAlone(ctx.view);
    stopMatching(ctx);
    postAtlasCommand(ctx, win::kCmdAppExit);
    writeMapInFront(ctx.settings, MapInFront::NavinYou);
    toggleCentering(ctx);
    toggleCentering(ctx);
    const std::string navin = ctx.settings.readString(key::kExeFilePath0);
    if (!navin.empty()) launchAsNavinYou(ctx, navin);
    showMapRestarted(ctx.view, MapInFront::NavinYou);
    return;
  }
  showZoomSets(ctx.view, MapInFront::NavinYou);
  if (gps == GpsRun::Stopped || gps == GpsRun::Running) {
    if (gps == GpsRun::Running) stopAtlasGps(ctx, true);
    showNavinYouBesideAtlas(ctx.view);
    stopMatching(ctx);
  } else if (gps == GpsRun::Linked) {
    showLinkedGpsKept(ctx.view);
  }
  writeMapInFront(ctx.settings, MapInFront::NavinYou);
  if (const WindowHandle main = ctx.desktop.findWindow(kNavinYouClass, nullptr)) {
    ctx.desktop.show(main, kShowNormal);
    ctx.desktop.setForeground(main);
  }
  showNavinYouInFront(ctx.view);
}

// Case C: from Navin' You to ATLAS.
void switchToAtlas(AppContext& ctx, MapMode mapMode) {
  if (mapMode == MapMode::Alternating) {
    stopGpsWorkers(ctx.state);
    showAtlasAlone(ctx.view);
    stopMatching(ctx);
    writeMapInFront(ctx.settings, MapInFront::Atlas);
    writeGpsRun(ctx.settings, GpsRun::Stopped);
    ctx.settings.writeInt(key::kCenter, 1);
    postNavinCommand(ctx, win::kCmdAppExit);
    const std::string atlas = ctx.settings.readString(key::kExeFilePath1);
    if (!atlas.empty()) ctx.launcher.launch(atlas, win::kSwRestore);
    showMapRestarted(ctx.view, MapInFront::Atlas);
    return;
  }
  showZoomSets(ctx.view, MapInFront::Atlas);
  if (readGpsRun(ctx.settings) != GpsRun::Linked) {
    releaseNavinGps(ctx);
    stopGpsWorkers(ctx.state);
    writeGpsRun(ctx.settings, GpsRun::Stopped);
    ctx.settings.writeInt(key::kCenter, 1);
    showAtlasBesideNavinYou(ctx.view);
    stopMatching(ctx);
  } else {
    showLinkedGpsKept(ctx.view);
  }
  writeMapInFront(ctx.settings, MapInFront::Atlas);
  activateAtlas(ctx);
  showAtlasInFront(ctx.view);
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
