#include "app/startup.h"

#include "core/modes.h"
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
    settings.writeInt(key::kWayPointMax, 50);
  }
  if (settings.readString(key::kFileName, "999") == "999") {
    settings.writeString(key::kFileName, "");
  }
  if (settings.readInt(key::kWaveUp, kSentinel) == kSentinel) {
    settings.writeInt(key::kWaveUp, 30);
  }
  if (settings.readInt(key::kNaviMode, kSentinel) == kSentinel) {
    settings.writeInt(key::kNaviMode, 0);
  }
}

void applyVersionOverride(SettingsStore& settings) {
  if (readNavinVersion(settings) == NavinVersion::V2Alone) {
    settings.writeInt(key::kMapMode, 0);
    settings.writeInt(key::kMap, 0);
  }
}

StartupPlan planStartup(int mapMode, int map) {
  StartupPlan plan;
  const bool known = (mapMode == 0 || mapMode == 1) && (map == 0 || map == 1);
  if (!known) return plan;  // nothing loaded, nothing launched, timer 4 at 4000 ms

  plan.mapLayout = true;
  plan.atlasLayout = map == 1;
  if (mapMode == 0) plan.disabledButtons.push_back(IDC_LINKED_GPS);
  if (map == 1) {
    plan.disabledButtons.push_back(IDC_ROUTE_LIST);
    plan.disabledButtons.push_back(IDC_ROUTE_CLEAR);
  }

  const Launch navin{key::kExeFilePath0, LaunchKind::NavinYou};
  const Launch atlas{key::kExeFilePath1, LaunchKind::Atlas};
  if (mapMode == 0 && map == 0) {
    plan.launches = {navin};
    plan.pickDocumentFromMenu = true;
    plan.foregroundTimerMs = 1000;
  } else if (mapMode == 0 && map == 1) {
    plan.launches = {atlas};
    plan.foregroundTimerMs = 4000;
  } else if (mapMode == 1 && map == 0) {
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
    // A button is focused right after its new set so that it redraws at once.
    const auto loadAndFocus = [&view](int id, const char* set) {
      view.loadBitmapSet(id, set, true);
      view.focus(id);
    };
    loadAndFocus(IDC_ZOOM_OUT, plan.atlasLayout ? "SS" : "W");
    loadAndFocus(IDC_ZOOM_IN, plan.atlasLayout ? "SK5" : "U");
    view.loadBitmapSet(IDC_MAP_SWITCH, plan.atlasLayout ? "M0" : "M1", true);
    loadAndFocus(IDC_SCALE_200K, "SK1");
    loadAndFocus(IDC_SCALE_70K, "SK2");
    loadAndFocus(IDC_SCALE_20K, "SK3");
    loadAndFocus(IDC_SCALE_10K, "SK4");
    if (plan.atlasLayout) view.focus(IDC_ZOOM_IN);
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
