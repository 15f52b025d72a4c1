#include "settings/operation_settings.h"

#include "mapctl/map_window.h"
#include "resource.h"

namespace tabiro {

namespace {

constexpr int kNavinScaleFields[] = {IDC_PATH_NAVIN_20, IDC_PATH_NAVIN_7, IDC_PATH_NAVIN_2,
                                     IDC_PATH_NAVIN_1, IDC_PATH_NAVIN_05};
// Dead while the scale numbers belong to Navin' You: ATLAS is not started.
constexpr int kAtlasControls[] = {IDC_PATH_MODE_ALTERNATE, IDC_PATH_MODE_TOGETHER, IDC_PATH_ATLAS,
                                  IDC_PATH_ATLAS_20,       IDC_PATH_ATLAS_7,       IDC_PATH_ATLAS_2,
                                  IDC_PATH_ATLAS_1,        IDC_PATH_ATLAS_05};

void takeIntoNavinGroup(PathSettings& s) {
  s.navinScales = s.atlasScales;
  s.mapMode = kMapModeAlternating;
}

}  // namespace

PathSettings loadPathSettings(const SettingsStore& store) {
  PathSettings s;
  ProfileLoader loader{store};
  exchangePathSettings(loader, s);
  return s;
}

void savePathSettings(SettingsStore& store, const PathSettings& s) {
  ProfileSaver saver{store};
  exchangePathSettings(saver, s);
}

void showPathSettings(PathSettings& s) {
  if (s.version == kVersionNavinAlone) takeIntoNavinGroup(s);
}

void chooseVersion(PathSettings& s, int previous) {
  const bool alone = s.version == kVersionNavinAlone;
  const bool wasAlone = previous == kVersionNavinAlone;
  if (alone && !wasAlone) takeIntoNavinGroup(s);
  if (!alone && wasAlone) s.atlasScales = s.navinScales;
}

void confirmPathSettings(PathSettings& s) {
  if (s.version == kVersionNavinAlone) s.atlasScales = s.navinScales;
}

std::vector<ControlEnable> pathSettingsEnables(const PathSettings& s) {
  const bool alone = s.version == kVersionNavinAlone;
  std::vector<ControlEnable> out;
  for (int id : kNavinScaleFields) out.push_back({id, alone});
  for (int id : kAtlasControls) out.push_back({id, !alone});
  out.push_back({IDC_PATH_CHECKTIME, s.guideCheck != 0});
  return out;
}

void openPathSettings(AppContext& ctx) {
  cancelRaiseTimers(ctx);
  PathSettings s = loadPathSettings(ctx.settings);
  if (ctx.popups.runPathSettings(s)) savePathSettings(ctx.settings, s);
  rearmRaiseTimer(ctx);
}

}  // namespace tabiro
