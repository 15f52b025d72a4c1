// GuidanceSettingsDialog's values and rules (template 140, system menu item
// 19): the route and speed-camera files, announcement timing, the camera
// alarm's thresholds, how guidance starts and how it sounds.
#pragma once

#include <string>
#include <vector>

#include "core/app_context.h"
#include "core/profile_defaults.h"
#include "guidance/audio_ducking.h"
#include "settings/profile_exchange.h"
#include "speech/toolbar_speech.h"

namespace tabiro {

struct GuidanceSettings {
  std::string routeFile;  // 1016 "Rot" "FileName"
  int waveUp = 30;        // 1017 "Rot" "WaveUp"
  int komaTime = 10;      // 1019 "Rot" "Komatime"
  int naviMode = 0;       // 1027-1028 "Rot" "Navimode"
  std::string pointFile;  // 1020 "Ovis" "POT"
  int ovisUp = 500;       // 1018 "Ovis" "OvisUp"
  int ovisUp2 = 60;       // 1021 "Ovis" "OvisUp2"
  int wavStart = 0;       // 1025-1026 "Wavstart"
  int chaim = 0;          // 1029-1030 "Chaim"
  int antiTos = 0;        // 1063 "AntiTos"
  int duck = kDuckDefault;            // 1064 "Duck"
  int duckLevel = kDuckLevelDefault;  // 1065 "DuckLevel", percent
  // "TOS" "System": whether the speech engine exists; not edited here.
  bool speechEngine = false;
};

// The settings in the dialog's order, for ProfileLoader and ProfileSaver.
template <class Io, class Values>
void exchangeGuidanceSettings(Io& io, Values& s) {
  io.text(key::kFileName, s.routeFile, "");
  io.number(key::kWaveUp, s.waveUp, defaults::kWaveUp);
  io.number(key::kKomaTime, s.komaTime, 10);
  io.number(key::kNaviMode, s.naviMode, 0);
  io.text(key::kPot, s.pointFile, "");
  io.number(key::kOvisUp, s.ovisUp, defaults::kOvisUp);
  io.number(key::kOvisUp2, s.ovisUp2, defaults::kOvisUp2);
  io.number(key::kWavStart, s.wavStart, 0);
  io.number(key::kChaim, s.chaim, 0);
  io.number(key::kAntiTos, s.antiTos, 0);
  io.number(key::kDuck, s.duck, kDuckDefault);
  io.number(key::kDuckLevel, s.duckLevel, kDuckLevelDefault);
}

GuidanceSettings loadGuidanceSettings(const SettingsStore& store);
void saveGuidanceSettings(SettingsStore& store, const GuidanceSettings& s);

// Which controls the values leave enabled: the voice choice only with
// "音声＆図形", the phrases only without WAV files, and neither the phrases
// nor the WAV choice without a speech engine; the other programs' volume
// only while they are to be lowered.
std::vector<ControlEnable> guidanceSettingsEnables(const GuidanceSettings& s);

// System menu item 19: the dialog, saved only on "設定保存", after which the
// voice settings go to the engine.
void openGuidanceSettings(AppContext& ctx, ToolbarSpeech& speech);

}  // namespace tabiro
