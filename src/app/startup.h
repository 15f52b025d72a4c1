// Start-up of the toolbar: the profile's first-run and run-time values, the
// layout chosen by map mode, and which map programs to launch.
#pragma once

#include <vector>

#include "core/app_context.h"
#include "core/modes.h"
#include "mapctl/map_launch.h"

namespace tabiro {

// Resets the run-time state keys to their idle values.
void resetRuntimeKeys(SettingsStore& settings);

// Gives first-run values to keys that are missing (or hold the old sentinel).
void applyFirstRunDefaults(SettingsStore& settings);

// Navin' You 2.0 alone always starts alone with Navin' You in front.
void applyVersionOverride(SettingsStore& settings);

enum class LaunchKind {
  NavinYou,           // launch, wait for the map document, answer the route dialogs
  Atlas,              // launch, wait for the ATLAS window and its inner view
  WithoutWaiting,     // launch only
};

struct Launch {
  TextKey path;
  LaunchKind kind;
};

// What one row of the start-up-by-map-mode table asks for.
struct StartupPlan {
  MapMode mapMode = MapMode::Unknown;  // the row; Unknown: a mode never written
  MapInFront front = MapInFront::Unknown;
  bool pickDocumentFromMenu = false;
  std::vector<Launch> launches;
  int foregroundTimerMs = 4000;
};

StartupPlan planStartup(MapMode mapMode, MapInFront front);

// Puts the toolbar into the plan's row.
void applyStartupLayout(ToolbarView& view, const StartupPlan& plan);

// Launches the plan's programs in order and waits for each as its kind says.
void launchMapPrograms(AppContext& ctx, const StartupPlan& plan);

}  // namespace tabiro
