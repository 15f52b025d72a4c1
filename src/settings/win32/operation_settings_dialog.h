// PathSettingsDialog on IDD_PATH_SETTINGS: a thin shell that shows PathSettings
// and applies its rules (settings/operation_settings.h).
#pragma once

#include "settings/operation_settings.h"
#include "ui/win32/exchange.h"

namespace tabiro {

class PathSettingsDialog : public ui::ExchangeDialog {
 public:
  PathSettingsDialog(HINSTANCE instance, PathSettings& values);

 protected:
  void exchange(ui::Exchange& dx) override;
  void onInit() override;
  void onCommand(int id) override;
  bool onOk() override;

 private:
  void onVersion();

  PathSettings& values_;
  int shownVersion_ = 0;
};

}  // namespace tabiro
