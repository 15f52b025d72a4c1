#include "app/startup.h"

#include "core/modes.h"
#include "platform/winmsg.h"
#include "ui/toolbar_states.h"

namespace tabiro {

void resetRuntimeKeys(SettingsStore& settings) {
  writeGpsRun(settings, GpsRun::Stopped);
  settings.writeInt(key::kCenter, 1);
  settings.writeInt(key::kMatch, 0);
  settings.writeInt(key::kWavNavi, 0);
  settings.writeInt(key::kWayPoint, 1);
  writePointLevel(settings, PointLevel::Far);
}

// A key missing or holding 999, which counts as missing, is given its default.
void applyFirstRunDefaults(SettingsStore& settings) {
  constexpr std::int32_t kSentinel = 999;
  const auto giveDefault = [&](const NumberKey& key) {
    const std::optional<std::int32_t> stored = settings.storedInt(key);
    if (!stored || *stored == kSentinel) settings.writeInt(key, key.def);
  };
  giveDefault(key::kWayPointMax);
  const std::optional<std::string> route = settings.storedString(key::kFileName);
  if (!route || *route == "999") settings.writeString(key::kFileName, key::kFileName.def);
  giveDefault(key::kWaveUp);
  giveDefault(key::kNaviMode);
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
    return plan;  // nothing loaded, nothing launched, timer::kBringMapToFront at 4000 ms
  }

  plan.mapMode = mapMode;
  plan.front = front;
  const bool alternating = mapMode == MapMode::Alternating;
  const bool atlasInFront = front == MapInFront::Atlas;

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
  showStartupRow(view, plan.mapMode, plan.front);
}

void launchMapPrograms(AppContext& ctx, const StartupPlan& plan) {
  for (const Launch& launch : plan.launches) {
    const std::string path = ctx.settings.readString(launch.path);
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
