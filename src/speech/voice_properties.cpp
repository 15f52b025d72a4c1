#include "speech/voice_properties.h"

#include <algorithm>

namespace tabiro {

namespace {

// The sliders cannot show more than their range: a stored value beyond it
// is shown at the end, and comes back from OK as that end.
VoiceChoice seededFromProfile(const SettingsStore& store) {
  VoiceChoice v;
  v.character = store.readInt(key::kCharacter, 1);
  v.volume = std::clamp(store.readInt(key::kVolume, 65535), 0, kVolumeMax);
  v.speed = std::clamp(store.readInt(key::kSpeed, 13), 0, kSpeedMax);
  return v;
}

}  // namespace

void openVoiceProperties(AppContext& ctx, ToolbarSpeech& toolbarSpeech) {
  if (toolbarSpeech.engine() != SpeechEngine::Legacy) return;
  SpeechControl& speech = toolbarSpeech.legacy();
  speech.applySpeechSettings(ctx.settings);
  if (speech.engineQuery() == kEngineWantsOwnDialog) {
    VoiceChoice v = seededFromProfile(ctx.settings);
    if (ctx.popups.runVoiceProperties(v)) speech.setVoice(v.character, v.speed, v.volume);
  }
  speech.storeSpeechSettings(ctx.settings);
  speech.waitWhileBusy(ctx.clock, kBusyPollMs, kBusyLimitMs);
}

}  // namespace tabiro
