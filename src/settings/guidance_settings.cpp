#include "settings/guidance_settings.h"

#include "resource.h"
#include "settings/guide_phrases.h"

namespace tabiro {

GuidanceSettings loadGuidanceSettings(const SettingsStore& store) {
  GuidanceSettings s;
  ProfileLoader loader{store};
  exchangeGuidanceSettings(loader, s);
  s.speechEngine = store.readInt(key::kSystem) != 0;
  return s;
}

void saveGuidanceSettings(SettingsStore& store, const GuidanceSettings& s) {
  ProfileSaver saver{store};
  exchangeGuidanceSettings(saver, s);
}

std::vector<ControlEnable> guidanceSettingsEnables(const GuidanceSettings& s) {
  const bool voice = s.naviMode == 0;
  return {{IDC_NAVI_VOICE, voice},
          {IDC_NAVI_CHIME, voice},
          {IDC_NAVI_PHRASES, s.speechEngine && s.antiTos == 0},
          {IDC_NAVI_WAV_FILES, s.speechEngine},
          {IDC_NAVI_DUCK_LEVEL, s.duck != 0}};
}

void openGuidanceSettings(AppContext& ctx, ToolbarSpeech& speech) {
  GuidanceSettings s = loadGuidanceSettings(ctx.settings);
  if (!ctx.popups.runGuidanceSettings(s, [&ctx] { openGuidePhrases(ctx); })) return;
  saveGuidanceSettings(ctx.settings, s);
  speech.applyStoredSettings();
}

}  // namespace tabiro
