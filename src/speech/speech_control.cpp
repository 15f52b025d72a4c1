#include "speech/speech_control.h"

#include <array>

namespace tabiro {

namespace {

struct SpeechProperty {
  NumberKey key;
  int dispId;
  bool isBool;
};

// The order in which the properties are handed to the engine and read back.
constexpr std::array<SpeechProperty, 12> kProperties{{
    {key::kBidaku, speech_id::kBidaku, true},
    {key::kCharacter, speech_id::kCharacter, false},
    {key::kChouon, speech_id::kChouon, true},
    {key::kDateMode, speech_id::kDateMode, false},
    {key::kEibun, speech_id::kEibun, true},
    {key::kExch, speech_id::kExch, true},
    {key::kExkigo, speech_id::kExkigo, true},
    {key::kKutou, speech_id::kKutou, true},
    {key::kNovoice, speech_id::kNovoice, true},
    {key::kNumr, speech_id::kNumr, true},
    {key::kSpeed, speech_id::kSpeed, false},
    {key::kVolume, speech_id::kVolume, false},
}};

}  // namespace

void SpeechControl::applySpeechSettings(const SettingsStore& settings) {
  for (const SpeechProperty& p : kProperties) {
    const std::int32_t stored = settings.readInt(p.key);
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
