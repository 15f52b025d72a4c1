// SapiVoiceDialog on IDD_SAPI_VOICE_PROPERTIES: the Japanese SAPI voices by name, speed
// and volume as sliders in the legacy control's units, and "試聴". It
// neither reads nor writes the profile: its caller does.
#pragma once

#include <functional>

#include "speech/voice_properties.h"
#include "ui/win32/exchange.h"

namespace tabiro {

class SapiVoiceDialog : public ui::ExchangeDialog {
 public:
  SapiVoiceDialog(HINSTANCE instance, SapiVoiceChoice& values,
                  std::function<void(const SapiVoiceChoice&)> tryVoice);

 protected:
  void exchange(ui::Exchange& dx) override;
  void onInit() override;
  void onCommand(int id) override;
  bool onOk() override;

 private:
  void takeSliders();

  SapiVoiceChoice& values_;
  std::function<void(const SapiVoiceChoice&)> tryVoice_;
};

}  // namespace tabiro
