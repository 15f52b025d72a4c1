// The system's SAPI 5 voices (sapi.h): the tokens under the machine's
// voice category, read from the registry, and one ISpVoice speaking
// asynchronously on the user-interface thread.
#pragma once

#include <windows.h>
#include <sapi.h>

#include "speech/sapi_voice.h"

namespace tabiro {

class Win32SapiVoice : public SapiVoice {
 public:
  Win32SapiVoice() = default;
  ~Win32SapiVoice() override { close(); }
  Win32SapiVoice(const Win32SapiVoice&) = delete;
  Win32SapiVoice& operator=(const Win32SapiVoice&) = delete;

  std::vector<SapiVoiceToken> installedVoices() override;
  bool open(const std::string& tokenKey) override;
  void close() override;
  bool speak(const std::string& text) override;
  PhraseProgress progress() override;
  void purge() override;
  void setRate(int rate) override;
  void setVolume(int volume) override;

 private:
  ISpVoice* voice_ = nullptr;
};

}  // namespace tabiro
