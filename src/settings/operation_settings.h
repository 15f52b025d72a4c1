// PathSettingsDialog's values and rules (IDD_PATH_SETTINGS, system menu item
// IDM_PATH_SETTINGS): where the map programs are, the Navin' You version, the
// start mode, the scale menu numbers, the map-match steps, the track log, the
// music-player check and SView switching.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/app_context.h"
#include "core/modes.h"
#include "settings/profile_exchange.h"

namespace tabiro {

struct PathSettings {
  std::string navinPath;                  // IDC_PATH_NAVIN "ExeFilePath0"
  int version = key::kVer.def;            // IDC_PATH_VER10-IDC_PATH_VER20_ATLAS "Ver"
  std::string atlasPath;                  // IDC_PATH_ATLAS "ExeFilePath1"
  // "20", "7", "2", "1", "05": ATLAS [表示] menu numbers (IDC_PATH_ATLAS_20
  // to IDC_PATH_ATLAS_05)
  std::array<int, 5> atlasScales{};
  // The same numbers as ProAtlas scale positions inside Navin' You
  // (IDC_PATH_NAVIN_20 to IDC_PATH_NAVIN_05), live when "Ver" is 1; not
  // stored as such.
  std::array<int, 5> navinScales{};
  int mapMode = key::kMapMode.def;          // IDC_PATH_MODE_ALTERNATE, _TOGETHER "MapMode"
  int saveTrk = key::kSaveTrk.def;          // IDC_PATH_TRK_NONE, _SAVE "SaveTRK"
  std::array<int, 4> correction{};          // IDC_PATH_HOSEI_L, _U, _D, _R: "hosei_L", "U", "D", "R"
  int guideCheck = key::kGuideCheck.def;    // IDC_PATH_GUIDECHECK "guidecheck"
  int checkTime = key::kCheckTime.def;      // IDC_PATH_CHECKTIME "checktime"
  int sviewMode = key::kSviewMode.def;      // IDC_PATH_SVIEW_RESIZE, _ONOFF "SviewMode"
};

// The radio buttons stand in the order of the stored numbers.
constexpr int kVersionNavinAlone = static_cast<int>(NavinVersion::V2Alone);  // "Navin'You Only"
constexpr int kMapModeAlternating = static_cast<int>(MapMode::Alternating);  // "交互"

// Every setting in the dialog's order, for ProfileLoader and ProfileSaver.
template <class Io, class Values>
void exchangePathSettings(Io& io, Values& s) {
  io.text(key::kExeFilePath0, s.navinPath);
  io.number(key::kVer, s.version);
  io.text(key::kExeFilePath1, s.atlasPath);
  io.number(key::kScale20, s.atlasScales[0]);
  io.number(key::kScale7, s.atlasScales[1]);
  io.number(key::kScale2, s.atlasScales[2]);
  io.number(key::kScale1, s.atlasScales[3]);
  io.number(key::kScale05, s.atlasScales[4]);
  io.number(key::kMapMode, s.mapMode);
  io.number(key::kSaveTrk, s.saveTrk);
  io.number(key::kHoseiL, s.correction[0]);
  io.number(key::kHoseiU, s.correction[1]);
  io.number(key::kHoseiD, s.correction[2]);
  io.number(key::kHoseiR, s.correction[3]);
  io.number(key::kGuideCheck, s.guideCheck);
  io.number(key::kCheckTime, s.checkTime);
  io.number(key::kSviewMode, s.sviewMode);
}

PathSettings loadPathSettings(const SettingsStore& store);
void savePathSettings(SettingsStore& store, const PathSettings& s);

// The values as the dialog first shows them: with "Navin'You Only" the scale
// numbers move into the Navin'You group and the start mode is "交互".
void showPathSettings(PathSettings& s);
// A version radio button was chosen; `previous` is the version before it.
// The numbers move only into or out of "Navin'You Only".
void chooseVersion(PathSettings& s, int previous);
// OK: with "Navin'You Only" the live Navin'You group is what gets saved.
void confirmPathSettings(PathSettings& s);
// Which controls the values leave enabled.
std::vector<ControlEnable> pathSettingsEnables(const PathSettings& s);

// System menu item IDM_PATH_SETTINGS: the dialog, saved only on OK; the raise timer is
// re-armed however it ends.
void openPathSettings(AppContext& ctx);

}  // namespace tabiro
