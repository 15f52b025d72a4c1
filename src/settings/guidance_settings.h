// GuidanceSettingsDialog's values and rules (template 140, system menu item
// 19): the route and speed-camera files, announcement timing, the camera
// alarm's thresholds, how guidance starts and how it sounds.
#pragma once

#include <string>
#include <vector>

#include "core/app_context.h"
#include "guidance/audio_ducking.h"
#include "settings/profile_exchange.h"
#include "speech/toolbar_speech.h"

namespace tabiro {

struct GuidanceSettings {
  std::string routeFile;                // 1016 "Rot" "FileName"
  int waveUp = key::kWaveUp.def;        // 1017 "Rot" "WaveUp"
  int komaTime = key::kKomaTime.def;    // 1019 "Rot" "Komatime"
  int naviMode = key::kNaviMode.def;    // 1027-1028 "Rot" "Navimode"
  std::string pointFile;                // 1020 "Ovis" "POT"
  int ovisUp = key::kOvisUp.def;        // 1018 "Ovis" "OvisUp"
  int ovisUp2 = key::kOvisUp2.def;      // 1021 "Ovis" "OvisUp2"
  int wavStart = key::kWavStart.def;    // 1025-1026 "Wavstart"
  int chaim = key::kChaim.def;          // 1029-1030 "Chaim"
  int antiTos = key::kAntiTos.def;      // 1063 "AntiTos"
  int duck = key::kDuck.def;            // 1064 "Duck"
  int duckLevel = key::kDuckLevel.def;  // 1065 "DuckLevel", percent
  // "TOS" "System": whether the speech engine exists; not edited here.
  bool speechEngine = false;
};

// The settings in the dialog's order, for ProfileLoader and ProfileSaver.
template <class Io, class Values>
void exchangeGuidanceSettings(Io& io, Values& s) {
  io.text(key::kFileName, s.routeFile);
  io.number(key::kWaveUp, s.waveUp);
  io.number(key::kKomaTime, s.komaTime);
  io.number(key::kNaviMode, s.naviMode);
  io.text(key::kPot, s.pointFile);
  io.number(key::kOvisUp, s.ovisUp);
  io.number(key::kOvisUp2, s.ovisUp2);
  io.number(key::kWavStart, s.wavStart);
  io.number(key::kChaim, s.chaim);
  io.number(key::kAntiTos, s.antiTos);
  io.number(key::kDuck, s.duck);
  io.number(key::kDuckLevel, s.duckLevel);
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
