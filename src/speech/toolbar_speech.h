// ToolbarSpeech: the speech engine chosen at start-up and the one road by
// which every queued phrase reaches it. Only the user-interface thread calls
// it; every other speaker queues its phrase and posts IDC_SPEAK.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app_context.h"
#include "speech/sapi_voice.h"
#include "speech/speech_control.h"

namespace tabiro {

// Any thread: queues the phrase and asks the toolbar to speak it (command
// IDC_SPEAK). Without the toolbar its sound is played here and now.
void queueForSpeech(AppContext& ctx, QueuedPhrase phrase);

enum class SpeechEngine { None, Legacy, Sapi };

// The Japanese language id as a voice's "Language" attribute lists it.
inline constexpr const char* kJapaneseLanguage = "411";

// True when the ";"-separated language ids include Japanese.
bool listsJapanese(const std::string& language);
// The installed voices that speak Japanese, in the system's order.
std::vector<SapiVoiceToken> japaneseVoices(SapiVoice& sapi);

// The legacy control's stored units mapped to SAPI's: speed 0…23 (13, the
// stored default, is the normal rate) to -10…10, volume 0…65535 to 0…100.
int sapiRate(int storedSpeed);
int sapiVolume(int storedVolume);

// A phrase still "speaking" after this long is given up.
constexpr int kPhraseLimitMs = 15000;
// How often the phrase being said is looked at.
constexpr int kSpeechWatchMs = 50;
// Failures in a row after which the engine is set aside for the run.
constexpr int kEngineFailuresAllowed = 3;

class ToolbarSpeech {
 public:
  ToolbarSpeech(AppContext& ctx, SpeechControl& legacy, SapiVoice& sapi)
      : ctx_(ctx), legacy_(legacy), sapi_(sapi) {}

  // Start-up: the legacy control if it can be created, else the stored SAPI
  // voice or the first Japanese one that proves it can speak, else none.
  // Sets speechReady and "TOS" / "System".
  void choose();
  // The end of the run: the engine is let go.
  void release();
  SpeechEngine engine() const { return engine_; }
  SpeechControl& legacy() { return legacy_; }
  SapiVoice& sapi() { return sapi_; }
  // The token key of the SAPI voice in use; empty without one.
  const std::string& sapiVoiceKey() const { return sapiKey_; }

  // The stored voice settings handed to the engine: the legacy control's
  // twelve properties, or a SAPI voice's speed and volume.
  void applyStoredSettings();

  // IDC_SPEAK: the oldest queued phrase is started when nothing is being
  // said or played in its place.
  void speakNext();
  // The speech timer: the phrase being said is looked at; when it has ended
  // the next one starts.
  void watch();

  // The SAPI voice named by the key, with the stored speed and volume; false
  // (and the voice that was open stays) when it cannot speak.
  bool useSapiVoice(const std::string& tokenKey, int storedSpeed, int storedVolume);

 private:
  void start(QueuedPhrase phrase);
  void finish(bool failed);
  void playInstead(QueuedPhrase phrase);
  void setAside();
  bool speakWithEngine(const std::string& text);
  PhraseProgress progressOfEngine();

  AppContext& ctx_;
  SpeechControl& legacy_;
  SapiVoice& sapi_;
  SpeechEngine engine_ = SpeechEngine::None;
  std::string sapiKey_;
  std::optional<QueuedPhrase> current_;
  std::int64_t startedMs_ = 0;
  int failuresInARow_ = 0;
  // Sounds played in place of phrases, on workers: the next phrase waits.
  std::shared_ptr<std::atomic<int>> playingInstead_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace tabiro
