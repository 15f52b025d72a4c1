// VoicePropertiesDialog on IDD_VOICE_PROPERTIES: the voice character as five radio
// buttons, speed and volume as sliders. It neither reads nor writes the
// profile and never touches the engine: its caller does.
#pragma once

#include "speech/voice_properties.h"
#include "ui/win32/exchange.h"

namespace tabiro {

class VoicePropertiesDialog : public ui::ExchangeDialog {
 public:
  VoicePropertiesDialog(HINSTANCE instance, VoiceChoice& values);

 protected:
  void exchange(ui::Exchange& dx) override;
  void onInit() override;
  bool onOk() override;

 private:
  VoiceChoice& values_;
};

}  // namespace tabiro
