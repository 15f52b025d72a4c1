// ReceiverSettingsDialog on IDD_RECEIVER_SETTINGS: a thin shell that shows
// ReceiverSettings and applies its rules (settings/receiver_setup.h). The
// receiver test runs elsewhere and hands its lines back by a message.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "settings/receiver_setup.h"
#include "ui/win32/exchange.h"

namespace tabiro {

class ReceiverSettingsDialog : public ui::ExchangeDialog {
 public:
  ReceiverSettingsDialog(HINSTANCE instance, ReceiverSettings& values,
                         std::vector<std::string> serialPorts, ReceiverTestRun runTest);
  ~ReceiverSettingsDialog() override;

 protected:
  void exchange(ui::Exchange& dx) override;
  void onInit() override;
  void onCommand(int id) override;
  bool onOk() override;
  bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  // Where a running test's lines go; the test may outlive the dialog.
  struct Mailbox;

  bool takeValidValues();
  void startTest();
  void showTestLines();
  void applyRules();

  ReceiverSettings& values_;
  std::vector<std::string> serialPorts_;
  ReceiverTestRun runTest_;
  std::shared_ptr<Mailbox> mailbox_;
  bool testing_ = false;
};

}  // namespace tabiro
