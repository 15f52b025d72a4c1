// SpeechControl: the one connection to the text-to-speech control, with the
// stored voice settings pushed to it. Every call runs on the user-interface
// thread (ToolbarSpeech).
#pragma once

#include <cstdint>
#include <string>

#include "core/settings_store.h"
#include "platform/ports.h"
#include "speech/speech_dispatch.h"

namespace tabiro {

inline constexpr const char* kSpeechProgId = "TOSTTSX.TOSTTSXCtrl.1";

namespace speech_id {
constexpr int kCharacter = 1;
constexpr int kVolume = 2;
constexpr int kKutou = 3;
constexpr int kNumr = 4;
constexpr int kNovoice = 5;
constexpr int kBidaku = 6;
constexpr int kChouon = 7;
constexpr int kExkigo = 8;
constexpr int kExch = 9;
constexpr int kEibun = 10;
constexpr int kDateMode = 11;
constexpr int kSpeed = 12;
constexpr int kBusy = 14;
constexpr int kSpeak = 19;
constexpr int kEngineQuery = 21;
}  // namespace speech_id

class SpeechControl {
 public:
  explicit SpeechControl(SpeechDispatch& dispatch) : dispatch_(dispatch) {}
  ~SpeechControl() { release(); }

  SpeechControl(const SpeechControl&) = delete;
  SpeechControl& operator=(const SpeechControl&) = delete;

  // Creates the control by its ProgID; true when it exists.
  bool create() { return dispatch_.create(kSpeechProgId); }
  void release() { dispatch_.release(); }

  // Hands the stored voice properties to the control, in the engine's order.
  void applySpeechSettings(const SettingsStore& settings);

  // Reads the twelve properties back from the engine into the profile, in
  // the same order: a boolean as 1 or 0, a long as read.
  void storeSpeechSettings(SettingsStore& settings);

  // The engine's answer to EngineQuery(0).
  std::int32_t engineQuery();
  // The voice dialog's choice: character, then speed, then volume.
  void setVoice(std::int32_t character, std::int32_t speed, std::int32_t volume);
  // Polls Busy every pollMs until it reads false, for at most limitMs.
  void waitWhileBusy(Clock& clock, int pollMs, int limitMs);

  // Speak: the control speaks on after it returns, as long as Busy reads true.
  void speak(const std::string& text) { dispatch_.callWithString(speech_id::kSpeak, text); }
  bool busy() { return dispatch_.getBool(speech_id::kBusy); }

 private:
  SpeechDispatch& dispatch_;
};

}  // namespace tabiro
