#include "app/startup.h"

#include "core/modes.h"
#include "core/profile_defaults.h"
#include "platform/winmsg.h"
#include "resource.h"
#include "ui/bitmap_sets.h"

namespace tabiro {

void resetRuntimeKeys(SettingsStore& settings) {
  writeGpsRun(settings, GpsRun::Stopped);
  settings.writeInt(key::kCenter, 1);
  settings.writeInt(key::kMatch, 0);
  settings.writeInt(key::kWavNavi, 0);
  settings.writeInt(key::kWayPoint, 1);
  writePointLevel(settings, PointLevel::Far);
}

void applyFirstRunDefaults(SettingsStore& settings) {
  constexpr std::int32_t kSentinel = 999;
  if (settings.readInt(key::kWayPointMax, kSentinel) == kSentinel) {
    settings.writeInt(key::kWayPointMax, defaults::kWayPointMax);
  }
  if (settings.readString(key::kFileName, "999") == "999") {
    settings.writeString(key::kFileName, "");
  }
  if (settings.readInt(key::kWaveUp, kSentinel) == kSentinel) {
    settings.writeInt(key::kWaveUp, defaults::kWaveUp);
  }
  if (settings.readInt(key::kNaviMode, kSentinel) == kSentinel) {
    settings.writeInt(key::kNaviMode, 0);
  }
}

void applyVersionOverride(SettingsStore& settings) {
  if (readNavinVersion(settings) == NavinVersion::V2Alone) {
    writeMapMode(settings, MapMode::Alternating);
    writeMapInFront(settings, MapInFront::NavinYou);
  }
}

StartupPlan planStartup(MapMode mapMode, MapInFront front) {
  StartupPlan plan;
  if (mapMode == MapMode::Unknown || front == MapInFront::Unknown) {
    return plan;  // nothing loaded, nothing launched, timer 4 at 4000 ms
  }

  const bool alternating = mapMode == MapMode::Alternating;
  const bool atlasInFront = front == MapInFront::Atlas;
  plan.mapLayout = true;
  plan.atlasLayout = atlasInFront;
  if (alternating) plan.disabledButtons.push_back(IDC_LINKED_GPS);
  if (atlasInFront) {
    plan.disabledButtons.push_back(IDC_ROUTE_LIST);
    plan.disabledButtons.push_back(IDC_ROUTE_CLEAR);
  }

  const Launch navin{key::kExeFilePath0, LaunchKind::NavinYou};
  const Launch atlas{key::kExeFilePath1, LaunchKind::Atlas};
  if (alternating && !atlasInFront) {
    plan.launches = {navin};
    plan.pickDocumentFromMenu = true;
    plan.foregroundTimerMs = 1000;
  } else if (alternating) {
    plan.launches = {atlas};
    plan.foregroundTimerMs = 4000;
  } else if (!atlasInFront) {
    plan.launches = {{key::kExeFilePath1, LaunchKind::WithoutWaiting}, navin};
    plan.foregroundTimerMs = 2000;
  } else {
    plan.launches = {navin, atlas};
    plan.foregroundTimerMs = 4000;
  }
  return plan;
}

void applyStartupLayout(ToolbarView& view, const StartupPlan& plan) {
  if (plan.mapLayout) {
    loadAndRepaint(view, IDC_ZOOM_OUT,
                   plan.atlasLayout ? bitmaps::kAtlasZoomOut : bitmaps::kNavinZoomOut);
    loadAndRepaint(view, IDC_ZOOM_IN,
                   plan.atlasLayout ? bitmaps::kAtlasZoomIn : bitmaps::kNavinZoomIn);
    view.loadBitmapSet(
        IDC_MAP_SWITCH,
        plan.atlasLayout ? bitmaps::kMapSwitchAtlasInFront : bitmaps::kMapSwitchNavinInFront, true);
    loadAndRepaint(view, IDC_SCALE_200K, bitmaps::kScale200k);
    loadAndRepaint(view, IDC_SCALE_70K, bitmaps::kScale70k);
    loadAndRepaint(view, IDC_SCALE_20K, bitmaps::kScale20k);
    loadAndRepaint(view, IDC_SCALE_10K, bitmaps::kScale10k);
    if (plan.atlasLayout) repaint(view, IDC_ZOOM_IN);
  }
  for (int id : plan.disabledButtons) view.enable(id, false);
}

void launchMapPrograms(AppContext& ctx, const StartupPlan& plan) {
  for (const Launch& launch : plan.launches) {
    const std::string path = ctx.settings.readString(launch.path, "");
    if (path.empty()) continue;
    switch (launch.kind) {
      case LaunchKind::NavinYou:
        if (launchAsNavinYou(ctx, path) && plan.pickDocumentFromMenu &&
            readNavinVersion(ctx.settings) == NavinVersion::V2Alone) {
          pickNavinMapDocument(ctx);
        }
        break;
      case LaunchKind::Atlas:
        launchAsAtlas(ctx, path);
        break;
      case LaunchKind::WithoutWaiting:
        ctx.launcher.launch(path, win::kSwRestore);
        break;
    }
  }
}

}  // namespace tabiro
