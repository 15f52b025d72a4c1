#include "app/win32/popups.h"

#include "resource.h"

namespace tabiro {

namespace {

void centreOnScreen(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

bool StatusPopup::handle(UINT message, WPARAM, LPARAM, INT_PTR& result) {
  if (message != WM_INITDIALOG) return false;
  if (templateId_ == IDD_POPUP_STARTUP) centreOnScreen(hwnd());
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(hwnd());
  // The thread that showed the notice blocks next, so paint it now.
  UpdateWindow(hwnd());
  result = FALSE;
  return true;
}

AboutDialog::AboutDialog(HINSTANCE instance) : Dialog(instance, IDD_ABOUT) {}

bool AboutDialog::handle(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  switch (message) {
    case WM_INITDIALOG:
      result = TRUE;
      return true;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        endModal(LOWORD(wParam));
        return true;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace tabiro
