#include "speech/voice_properties.h"

#include <algorithm>

namespace tabiro {

namespace {

// The sliders cannot show more than their range: a stored value beyond it
// is shown at the end, and comes back from OK as that end.
VoiceChoice seededFromProfile(const SettingsStore& store) {
  VoiceChoice v;
  v.character = store.readInt(key::kCharacter);
  v.volume = std::clamp(store.readInt(key::kVolume), 0, kVolumeMax);
  v.speed = std::clamp(store.readInt(key::kSpeed), 0, kSpeedMax);
  return v;
}

void openSapiVoiceProperties(AppContext& ctx, ToolbarSpeech& speech) {
  const std::vector<SapiVoiceToken> voices = japaneseVoices(speech.sapi());
  const VoiceChoice stored = seededFromProfile(ctx.settings);
  const std::string before = speech.sapiVoiceKey();
  SapiVoiceChoice v;
  for (const SapiVoiceToken& token : voices) {
    if (token.key == before) v.voice = static_cast<int>(v.names.size());
    v.names.push_back(token.name.empty() ? token.key : token.name);
  }
  v.speed = stored.speed;
  v.volume = stored.volume;
  const auto chosenKey = [&voices](const SapiVoiceChoice& c) {
    return c.voice >= 0 && c.voice < static_cast<int>(voices.size())
               ? voices[static_cast<std::size_t>(c.voice)].key
               : std::string();
  };
  const auto tryVoice = [&](const SapiVoiceChoice& c) {
    if (speech.useSapiVoice(chosenKey(c), c.speed, c.volume))
      queueForSpeech(ctx, {kVoiceSample, {}, {}});
  };
  if (ctx.popups.runSapiVoiceProperties(v, tryVoice) &&
      speech.useSapiVoice(chosenKey(v), v.speed, v.volume)) {
    ctx.settings.writeString(key::kSapiVoice, chosenKey(v));
    ctx.settings.writeInt(key::kSpeed, v.speed);
    ctx.settings.writeInt(key::kVolume, v.volume);
    return;
  }
  speech.useSapiVoice(before, stored.speed, stored.volume);
}

}  // namespace

void openVoiceProperties(AppContext& ctx, ToolbarSpeech& toolbarSpeech) {
  if (toolbarSpeech.engine() == SpeechEngine::Sapi) {
    openSapiVoiceProperties(ctx, toolbarSpeech);
    return;
  }
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
