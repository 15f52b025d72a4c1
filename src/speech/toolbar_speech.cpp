#include "speech/toolbar_speech.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/timer_ids.h"
#include "core/toolbar_door.h"
#include "resource.h"

namespace tabiro {

namespace {

constexpr int kStoredSpeedNormal = 13;
constexpr int kStoredSpeedMax = 23;
constexpr int kStoredVolumeMax = 65535;
constexpr int kSapiRateMax = 10;

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void play(Sound& sound, const FallbackSound& fallback) {
  if (fallback.resource)
    sound.playResource(fallback.name.c_str());
  else if (!fallback.name.empty())
    sound.playFile(fallback.name);
}

}  // namespace

void queueForSpeech(AppContext& ctx, QueuedPhrase phrase) {
  if (!findToolbar(ctx)) {
    play(ctx.sound, phrase.fallback);
    return;
  }
  ctx.state.speechText.push(std::move(phrase));
  postToToolbar(ctx, IDC_SPEAK);
}

bool listsJapanese(const std::string& language) {
  std::size_t from = 0;
  for (;;) {
    const std::size_t end = language.find(';', from);
    if (equalsIgnoringCase(trimmed(language.substr(from, end - from)), kJapaneseLanguage)) return true;
    if (end == std::string::npos) return false;
    from = end + 1;
  }
}

std::vector<SapiVoiceToken> japaneseVoices(SapiVoice& sapi) {
  std::vector<SapiVoiceToken> voices = sapi.installedVoices();
  std::erase_if(voices, [](const SapiVoiceToken& v) { return !listsJapanese(v.language); });
  return voices;
}

int sapiRate(int storedSpeed) {
  const int speed = std::clamp(storedSpeed, 0, kStoredSpeedMax);
  const double step = speed < kStoredSpeedNormal
                          ? static_cast<double>(kSapiRateMax) / kStoredSpeedNormal
                          : static_cast<double>(kSapiRateMax) / (kStoredSpeedMax - kStoredSpeedNormal);
  return static_cast<int>(std::lround((speed - kStoredSpeedNormal) * step));
}

int sapiVolume(int storedVolume) {
  const int volume = std::clamp(storedVolume, 0, kStoredVolumeMax);
  return static_cast<int>(std::lround(volume * 100.0 / kStoredVolumeMax));
}

void ToolbarSpeech::choose() {
  engine_ = SpeechEngine::None;
  if (legacy_.create()) {
    engine_ = SpeechEngine::Legacy;
    legacy_.applySpeechSettings(ctx_.settings);
  } else {
    // The voice the driver chose first, then the others in the system's order.
    std::vector<SapiVoiceToken> voices = japaneseVoices(sapi_);
    const std::string chosen = ctx_.settings.readString(key::kSapiVoice);
    std::stable_partition(voices.begin(), voices.end(),
                          [&chosen](const SapiVoiceToken& v) { return v.key == chosen; });
    for (const SapiVoiceToken& v : voices) {
      if (useSapiVoice(v.key, ctx_.settings.readInt(key::kSpeed),
                       ctx_.settings.readInt(key::kVolume))) {
        break;
      }
    }
  }
  store(ctx_.state.speechReady, engine_ == SpeechEngine::None ? 0 : 1);
  ctx_.settings.writeInt(key::kSystem, engine_ == SpeechEngine::None ? 0 : 1);
}

bool ToolbarSpeech::useSapiVoice(const std::string& tokenKey, int storedSpeed, int storedVolume) {
  if (engine_ == SpeechEngine::Legacy) return false;
  if (tokenKey.empty() || !sapi_.open(tokenKey)) return false;
  engine_ = SpeechEngine::Sapi;
  sapiKey_ = tokenKey;
  sapi_.setRate(sapiRate(storedSpeed));
  sapi_.setVolume(sapiVolume(storedVolume));
  return true;
}

void ToolbarSpeech::applyStoredSettings() {
  const int speed = ctx_.settings.readInt(key::kSpeed);
  const int volume = ctx_.settings.readInt(key::kVolume);
  switch (engine_) {
    case SpeechEngine::Legacy:
      legacy_.applySpeechSettings(ctx_.settings);
      break;
    case SpeechEngine::Sapi:
      sapi_.setRate(sapiRate(speed));
      sapi_.setVolume(sapiVolume(volume));
      break;
    case SpeechEngine::None:
      break;
  }
}

void ToolbarSpeech::release() {
  current_.reset();
  if (engine_ == SpeechEngine::Legacy) legacy_.release();
  if (engine_ == SpeechEngine::Sapi) sapi_.close();
  engine_ = SpeechEngine::None;
  sapiKey_.clear();
}

void ToolbarSpeech::speakNext() {
  if (current_ || playingInstead_->load() > 0) return;
  std::optional<QueuedPhrase> phrase = ctx_.state.speechText.pop();
  if (!phrase) return;
  if (engine_ == SpeechEngine::None) {
    playInstead(std::move(*phrase));
    return;
  }
  start(std::move(*phrase));
}

void ToolbarSpeech::start(QueuedPhrase phrase) {
  if (!speakWithEngine(phrase.text)) {
    current_ = std::move(phrase);
    finish(true);
    return;
  }
  current_ = std::move(phrase);
  startedMs_ = ctx_.clock.nowMs();
  ctx_.timers.start(timer::kSpeechWatch, kSpeechWatchMs);
}

void ToolbarSpeech::watch() {
  if (!current_) {
    ctx_.timers.stop(timer::kSpeechWatch);
    return;
  }
  switch (progressOfEngine()) {
    case PhraseProgress::Done:
      finish(false);
      break;
    case PhraseProgress::Failed:
      finish(true);
      break;
    case PhraseProgress::Speaking:
      if (ctx_.clock.nowMs() - startedMs_ < kPhraseLimitMs) return;
      if (engine_ == SpeechEngine::Sapi) sapi_.purge();
      finish(true);
      break;
  }
}

void ToolbarSpeech::finish(bool failed) {
  ctx_.timers.stop(timer::kSpeechWatch);
  QueuedPhrase phrase = std::move(*current_);
  current_.reset();
  if (!failed) {
    failuresInARow_ = 0;
    phrase.heldUntilSaid.reset();  // the others' audio comes back now
  } else {
    if (++failuresInARow_ >= kEngineFailuresAllowed) setAside();
    playInstead(std::move(phrase));
    return;
  }
  speakNext();
}

// Sounds play synchronously: on a worker, so that the toolbar keeps
// answering; the phrase's hold goes with it until the sound has ended.
void ToolbarSpeech::playInstead(QueuedPhrase phrase) {
  playingInstead_->fetch_add(1);
  ctx_.workers.start("fallback-sound", [&ctx = ctx_, playing = playingInstead_,
                                        phrase = std::move(phrase)]() mutable {
    play(ctx.sound, phrase.fallback);
    phrase.heldUntilSaid.reset();
    playing->fetch_sub(1);
    postToToolbar(ctx, IDC_SPEAK);  // the next phrase waited for the sound
  });
}

// Three failures in a row: the engine is let go for the rest of the run, and
// every announcement plays its sound from then on.
void ToolbarSpeech::setAside() {
  release();
  store(ctx_.state.speechReady, 0);
  ctx_.settings.writeInt(key::kSystem, 0);
}

bool ToolbarSpeech::speakWithEngine(const std::string& text) {
  switch (engine_) {
    case SpeechEngine::Legacy:
      legacy_.speak(text);
      return true;
    case SpeechEngine::Sapi:
      return sapi_.speak(text);
    case SpeechEngine::None:
      break;
  }
  return false;
}

PhraseProgress ToolbarSpeech::progressOfEngine() {
  switch (engine_) {
    case SpeechEngine::Legacy:
      return legacy_.busy() ? PhraseProgress::Speaking : PhraseProgress::Done;
    case SpeechEngine::Sapi:
      return sapi_.progress();
    case SpeechEngine::None:
      break;
  }
  return PhraseProgress::Failed;
}

}  // namespace tabiro
