// StatusPopup: a topmost please-wait notice; AboutDialog: the version box;
// PicturePopup: a junction or speed-camera picture with its caption.
#pragma once

#include <string>

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

// IDD_PICTURE_POPUP: the bitmap file drawn 250 x 200 on IDC_PICTURE_FRAME, at
// once and whenever uncovered, the caption below it.
class PicturePopup : public ui::Dialog {
 public:
  PicturePopup(HINSTANCE instance, std::string pictureFile, std::string caption);

 protected:
  bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void drawPicture(HDC dc);

  std::string pictureFile_;
  std::string caption_;
};

// Each picture popup runs on a thread of its own, so that it paints while
// the worker that showed it only waits. Returns a token for
// closePicturePopup, 0 when no popup could be made. Any thread.
int openPicturePopup(HINSTANCE instance, const std::string& pictureFile,
                     const std::string& caption);
void closePicturePopup(int token);

}  // namespace tabiro
