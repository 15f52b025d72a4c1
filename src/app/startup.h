// Start-up of the toolbar: the profile's first-run and run-time values, the
// layout chosen by map mode, and launching the configured map programs.
#pragma once

#include <vector>

#include "app/app_context.h"

namespace tabiro {

// Bounds for the waits on programs we launched, so that a map program that
// never appears cannot hold the toolbar's start for ever.
constexpr int kMapProgramWaitMs = 60000;
constexpr int kNavinPollMs = 50;
constexpr int kAtlasPollMs = 1000;
constexpr int kRouteDialogAttempts = 60;
constexpr int kRouteDialogPollMs = 100;

// Resets the run-time state keys to their idle values.
void resetRuntimeKeys(SettingsStore& settings);

// Gives first-run values to keys still holding their sentinel.
void applyFirstRunDefaults(SettingsStore& settings);

// Navin' You 2.0 alone always starts alone with Navin' You in front.
void applyVersionOverride(SettingsStore& settings);

enum class LaunchKind {
  NavinYou,           // launch, wait for the map document, answer the route dialogs
  Atlas,              // launch, wait for the ATLAS window and its inner view
  WithoutWaiting,     // launch only
};

struct Launch {
  ProfileKey path;
  LaunchKind kind;
};

// What one row of the start-up-by-map-mode table asks for.
struct StartupPlan {
  std::vector<int> disabledButtons;
  bool atlasLayout = false;  // ATLAS sets on zoom and map switch, focus on zoom-in
  bool mapLayout = false;    // the map rows load zoom, map switch and scale sets
  bool pickDocumentFromMenu = false;
  std::vector<Launch> launches;
  int foregroundTimerMs = 4000;
};

StartupPlan planStartup(int mapMode, int map);

// Loads the bitmap sets of the plan and disables its buttons.
void applyStartupLayout(ToolbarView& view, const StartupPlan& plan);

// Launches the plan's programs in order and waits for each as its kind says.
void launchMapPrograms(AppContext& ctx, const StartupPlan& plan);

// The launch of Navin' You: start it, wait for its map document, answer its
// start-up route dialogs. False when it did not come up in time. A program
// that cannot be started, or whose window goes away before it is ready, is
// not waited for: the start-up and the map switch go on at once.
bool launchAsNavinYou(AppContext& ctx, const std::string& path);

// With Navin' You 2.0, activate its own map document from the window menu.
void pickNavinMapDocument(AppContext& ctx);

// The launch of an ATLAS program: start it and wait for its inner view; not
// waited for on the same terms as Navin' You.
bool launchAsAtlas(AppContext& ctx, const std::string& path);

}  // namespace tabiro
