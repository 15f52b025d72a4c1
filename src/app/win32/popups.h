// StatusPopup: a topmost please-wait notice; AboutDialog: the version box.
#pragma once

#include "ui/win32/dialog.h"

namespace tabiro {

class StatusPopup : public ui::Dialog {
 public:
  StatusPopup(HINSTANCE instance, int templateId) : Dialog(instance, templateId), templateId_(templateId) {}

 protected:
  bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  int templateId_;
};

class AboutDialog : public ui::Dialog {
 public:
  explicit AboutDialog(HINSTANCE instance);

 protected:
  bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void fitVersionText();
};

}  // namespace tabiro
