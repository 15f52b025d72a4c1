#include "speech/win32/voice_properties_dialog.h"

#include "resource.h"

namespace tabiro {

VoicePropertiesDialog::VoicePropertiesDialog(HINSTANCE instance, VoiceChoice& values)
    : ExchangeDialog(instance, IDD_VOICE_PROPERTIES), values_(values) {}

void VoicePropertiesDialog::exchange(ui::Exchange& dx) {
  dx.radio(IDC_VOICE_CHARACTER_FIRST, IDC_VOICE_CHARACTER_LAST, values_.character);
}

void VoicePropertiesDialog::onInit() {
  updateData(ui::Direction::Show);
  ui::setSlider(hwnd(), IDC_VOICE_VOLUME, 0, kVolumeMax, values_.volume);
  ui::setSlider(hwnd(), IDC_VOICE_SPEED, 0, kSpeedMax, values_.speed);
}

bool VoicePropertiesDialog::onOk() {
  values_.volume = ui::sliderPosition(hwnd(), IDC_VOICE_VOLUME);
  values_.speed = ui::sliderPosition(hwnd(), IDC_VOICE_SPEED);
  return updateData(ui::Direction::Take);
}

}  // namespace tabiro
