// GuidanceSettingsDialog's values and rules (IDD_GUIDANCE_SETTINGS, system
// menu item IDM_GUIDANCE_SETTINGS): the route and speed-camera files,
// announcement timing, the camera alarm's thresholds, how guidance starts and
// how it sounds.
#pragma once

#include <string>
#include <vector>

#include "core/app_context.h"
#include "guidance/audio_ducking.h"
#include "settings/profile_exchange.h"
#include "speech/toolbar_speech.h"

namespace tabiro {

struct GuidanceSettings {
  std::string routeFile;                // IDC_NAVI_ROUTE "Rot" "FileName"
  int waveUp = key::kWaveUp.def;        // IDC_NAVI_WAVEUP "Rot" "WaveUp"
  int komaTime = key::kKomaTime.def;    // IDC_NAVI_KOMATIME "Rot" "Komatime"
  int naviMode = key::kNaviMode.def;    // IDC_NAVI_VOICE_PICTURE, _PICTURE_ONLY "Rot" "Navimode"
  std::string pointFile;                // IDC_NAVI_POT "Ovis" "POT"
  int ovisUp = key::kOvisUp.def;        // IDC_NAVI_OVISUP "Ovis" "OvisUp"
  int ovisUp2 = key::kOvisUp2.def;      // IDC_NAVI_OVISUP2 "Ovis" "OvisUp2"
  int wavStart = key::kWavStart.def;    // IDC_NAVI_BY_HAND, _WITH_GPS "Wavstart"
  int chaim = key::kChaim.def;          // IDC_NAVI_VOICE, _CHIME "Chaim"
  int antiTos = key::kAntiTos.def;      // IDC_NAVI_WAV_FILES "AntiTos"
  int duck = key::kDuck.def;            // IDC_NAVI_DUCK "Duck"
  int duckLevel = key::kDuckLevel.def;  // IDC_NAVI_DUCK_LEVEL "DuckLevel", percent
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

// System menu item IDM_GUIDANCE_SETTINGS: the dialog, saved only on "設定保存", after which the
// voice settings go to the engine.
void openGuidanceSettings(AppContext& ctx, ToolbarSpeech& speech);

}  // namespace tabiro
