#include "settings/win32/guide_phrase_dialog.h"

#include "resource.h"

namespace tabiro {

GuidePhraseDialog::GuidePhraseDialog(HINSTANCE instance, GuidePhrases& values,
                                     std::function<void()> openVoiceProperties)
    : ExchangeDialog(instance, IDD_GUIDE_PHRASES),
      values_(values),
      openVoiceProperties_(std::move(openVoiceProperties)) {}

void GuidePhraseDialog::exchange(ui::Exchange& dx) {
  dx.text(IDC_PHRASE_OVIS1, values_.ovis1);
  dx.text(IDC_PHRASE_OVIS2, values_.ovis2);
  dx.text(IDC_PHRASE_CHOKU, values_.choku);
  dx.text(IDC_PHRASE_MIGI, values_.migi);
  dx.text(IDC_PHRASE_HIDARI, values_.hidari);
  dx.text(IDC_PHRASE_MOKU, values_.moku);
}

void GuidePhraseDialog::onCommand(int id) {
  if (id == IDC_PHRASE_VOICE_PROPERTIES) openVoiceProperties_();
}

}  // namespace tabiro
