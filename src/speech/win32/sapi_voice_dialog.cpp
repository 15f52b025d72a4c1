#include "speech/win32/sapi_voice_dialog.h"

#include "resource.h"

namespace tabiro {

SapiVoiceDialog::SapiVoiceDialog(HINSTANCE instance, SapiVoiceChoice& values,
                                 std::function<void(const SapiVoiceChoice&)> tryVoice)
    : ExchangeDialog(instance, IDD_SAPI_VOICE_PROPERTIES),
      values_(values),
      tryVoice_(std::move(tryVoice)) {}

void SapiVoiceDialog::exchange(ui::Exchange& dx) { dx.choice(IDC_SAPI_VOICE, values_.voice); }

void SapiVoiceDialog::onInit() {
  ui::setChoices(hwnd(), IDC_SAPI_VOICE, values_.names);
  updateData(ui::Direction::Show);
  ui::setSlider(hwnd(), IDC_VOICE_VOLUME, 0, kVolumeMax, values_.volume);
  ui::setSlider(hwnd(), IDC_VOICE_SPEED, 0, kSpeedMax, values_.speed);
}

void SapiVoiceDialog::takeSliders() {
  values_.volume = ui::sliderPosition(hwnd(), IDC_VOICE_VOLUME);
  values_.speed = ui::sliderPosition(hwnd(), IDC_VOICE_SPEED);
}

void SapiVoiceDialog::onCommand(int id) {
  if (id != IDC_SAPI_VOICE_TRY || !updateData(ui::Direction::Take)) return;
  takeSliders();
  tryVoice_(values_);
}

bool SapiVoiceDialog::onOk() {
  takeSliders();
  return updateData(ui::Direction::Take);
}

}  // namespace tabiro
