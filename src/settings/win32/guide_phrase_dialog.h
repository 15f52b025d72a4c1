// GuidePhraseDialog on IDD_GUIDE_PHRASES: the six phrases as texts.
#pragma once

#include <functional>

#include "settings/guide_phrases.h"
#include "ui/win32/exchange.h"

namespace tabiro {

class GuidePhraseDialog : public ui::ExchangeDialog {
 public:
  GuidePhraseDialog(HINSTANCE instance, GuidePhrases& values,
                    std::function<void()> openVoiceProperties);

 protected:
  void exchange(ui::Exchange& dx) override;
  void onInit() override { updateData(ui::Direction::Show); }
  void onCommand(int id) override;

 private:
  GuidePhrases& values_;
  std::function<void()> openVoiceProperties_;
};

}  // namespace tabiro
