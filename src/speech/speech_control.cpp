#include "speech/speech_control.h"

#include <array>

namespace tabiro {

namespace {

struct SpeechProperty {
  ProfileKey key;
  int dispId;
  std::int32_t def;
  bool isBool;
};

// The order in which the properties are handed to the engine and read back.
constexpr std::array<SpeechProperty, 12> kProperties{{
    {key::kBidaku, speech_id::kBidaku, 1, true},
    {key::kCharacter, speech_id::kCharacter, 1, false},
    {key::kChouon, speech_id::kChouon, 1, true},
    {key::kDateMode, speech_id::kDateMode, 0, false},
    {key::kEibun, speech_id::kEibun, 1, true},
    {key::kExch, speech_id::kExch, 1, true},
    {key::kExkigo, speech_id::kExkigo, 0, true},
    {key::kKutou, speech_id::kKutou, 0, true},
    {key::kNovoice, speech_id::kNovoice, 1, true},
    {key::kNumr, speech_id::kNumr, 1, true},
    {key::kSpeed, speech_id::kSpeed, 13, false},
    {key::kVolume, speech_id::kVolume, 65535, false},
}};

}  // namespace

void SpeechControl::applySpeechSettings(const SettingsStore& settings) {
  for (const SpeechProperty& p : kProperties) {
    const std::int32_t stored = settings.readInt(p.key, p.def);
    if (p.isBool) {
      dispatch_.setBool(p.dispId, stored == 1);  // only exactly 1 means on
    } else {
      dispatch_.setLong(p.dispId, stored);
    }
  }
}

void SpeechControl::storeSpeechSettings(SettingsStore& settings) {
  for (const SpeechProperty& p : kProperties) {
    const std::int32_t value = p.isBool ? (dispatch_.getBool(p.dispId) ? 1 : 0)
                                        : dispatch_.getLong(p.dispId);
    settings.writeInt(p.key, value);
  }
}

std::int32_t SpeechControl::engineQuery() {
  return dispatch_.callWithLong(speech_id::kEngineQuery, 0);
}

void SpeechControl::setVoice(std::int32_t character, std::int32_t speed, std::int32_t volume) {
  dispatch_.setLong(speech_id::kCharacter, character);
  dispatch_.setLong(speech_id::kSpeed, speed);
  dispatch_.setLong(speech_id::kVolume, volume);
}

void SpeechControl::waitWhileBusy(Clock& clock, int pollMs, int limitMs) {
  for (int waited = 0; dispatch_.getBool(speech_id::kBusy) && waited < limitMs; waited += pollMs) {
    clock.sleep(pollMs);
  }
}

}  // namespace tabiro
