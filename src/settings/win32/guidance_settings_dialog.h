// GuidanceSettingsDialog on IDD_GUIDANCE_SETTINGS: a thin shell that shows
// GuidanceSettings and applies its rules (settings/guidance_settings.h).
#pragma once

#include <functional>

#include "settings/guidance_settings.h"
#include "ui/win32/exchange.h"

namespace tabiro {

class GuidanceSettingsDialog : public ui::ExchangeDialog {
 public:
  GuidanceSettingsDialog(HINSTANCE instance, GuidanceSettings& values,
                         std::function<void()> openPhrases);

 protected:
  void exchange(ui::Exchange& dx) override;
  void onInit() override;
  void onCommand(int id) override;

 private:
  GuidanceSettings& values_;
  std::function<void()> openPhrases_;
};

}  // namespace tabiro
