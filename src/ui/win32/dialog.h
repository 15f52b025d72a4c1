// The thin dialog layer: a window built from a dialog template whose
// messages go to a virtual handler of the owning object.
#pragma once

#include <windows.h>

namespace tabiro::ui {

class Dialog {
 public:
  virtual ~Dialog();

  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally; returns the code given to endModal. The dialog
  // opens centred on the screen, clear of the toolbar across its top, once
  // its own initialisation has sized it.
  INT_PTR runModal(HWND owner);
  // Creates the dialog modeless; it lives until destroy().
  HWND createModeless(HWND owner);
  void destroy();

  HWND hwnd() const { return hwnd_; }
  HWND item(int id) const { return GetDlgItem(hwnd_, id); }

 protected:
  Dialog(HINSTANCE instance, int templateId) : instance_(instance), templateId_(templateId) {}

  // Returns true when the message was handled; `result` is then the
  // dialog procedure's answer.
  virtual bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) = 0;
  void endModal(INT_PTR code);

  HINSTANCE instance() const { return instance_; }

 private:
  static INT_PTR CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  int templateId_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
};

// Centres a window on the primary screen.
void centreOnScreen(HWND window);

// A tooltip control for the controls of `owner`, active; nullptr on failure.
HWND createTooltipControl(HWND owner, HINSTANCE instance);
// Adds `control` with its text; `flags` beyond TTF_IDISHWND (TTF_SUBCLASS
// when no message loop of ours relays the mouse messages).
void addTool(HWND tooltip, HWND owner, HWND control, const char* text, UINT flags = 0);

// Shows a message box over `owner` with the program's title.
void showMessage(HWND owner, const char* text, UINT icon = MB_ICONEXCLAMATION);

}  // namespace tabiro::ui
