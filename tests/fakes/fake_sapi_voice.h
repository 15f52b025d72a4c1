// A SAPI voice port for tests: the voices it lists, which of them can
// speak, and per phrase how long it goes on speaking and how it ends. Every
// call is recorded in order ("open KEY", "speak TEXT", "rate -3", ...).
#pragma once

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "speech/sapi_voice.h"

namespace tabiro::testing {

class FakeSapiVoice final : public SapiVoice {
 public:
  std::vector<SapiVoiceToken> installedVoices() override { return voices; }
  bool open(const std::string& tokenKey) override {
    calls.push_back("open " + tokenKey);
    if (!speaking.count(tokenKey)) return false;
    opened = tokenKey;
    return true;
  }
  void close() override {
    calls.push_back("close");
    opened.clear();
  }
  bool speak(const std::string& text) override {
    calls.push_back("speak " + text);
    if (refuse) return false;
    pollsLeft_ = pollsSpeaking;
    return true;
  }
  PhraseProgress progress() override {
    if (pollsLeft_ != 0) {
      if (pollsLeft_ > 0) --pollsLeft_;
      return PhraseProgress::Speaking;
    }
    return failLater ? PhraseProgress::Failed : PhraseProgress::Done;
  }
  void purge() override { calls.push_back("purge"); }
  void setRate(int rate) override { calls.push_back("rate " + std::to_string(rate)); }
  void setVolume(int volume) override { calls.push_back("volume " + std::to_string(volume)); }

  std::vector<SapiVoiceToken> voices;
  std::set<std::string> speaking;  // the keys whose voice proves it can speak
  std::string opened;
  std::vector<std::string> calls;
  int pollsSpeaking = 0;   // looks that find it speaking; negative: never done
  bool refuse = false;     // Speak fails at once
  bool failLater = false;  // the phrase ends in failure

 private:
  int pollsLeft_ = 0;
};

}  // namespace tabiro::testing
