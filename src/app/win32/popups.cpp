#include "app/win32/popups.h"

#include "resource.h"

namespace tabiro {

bool StatusPopup::handle(UINT message, WPARAM, LPARAM, INT_PTR& result) {
  if (message != WM_INITDIALOG) return false;
  if (templateId_ == IDD_POPUP_STARTUP) ui::centreOnScreen(hwnd());
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(hwnd());
  // The thread that showed the notice blocks next, so paint it now.
  UpdateWindow(hwnd());
  result = FALSE;
  return true;
}

AboutDialog::AboutDialog(HINSTANCE instance) : Dialog(instance, IDD_ABOUT) {}

// The version text in the dialog's own font may be wider than its place in
// the template, which ends at the OK button: the text gets the width it
// needs, and the OK button and the box's right edge move over by as much.
void AboutDialog::fitVersionText() {
  HWND text = item(IDC_ABOUT_VERSION);
  HWND ok = item(IDOK);
  if (!text || !ok) return;
  char caption[64] = {};
  const int length = GetWindowTextA(text, caption, sizeof caption);
  SIZE extent{};
  HDC dc = GetDC(text);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(text, WM_GETFONT, 0, 0)));
  GetTextExtentPoint32A(dc, caption, length, &extent);
  SelectObject(dc, old);
  ReleaseDC(text, dc);

  RECT textRect{}, okRect{};
  GetWindowRect(text, &textRect);
  GetWindowRect(ok, &okRect);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&textRect), 2);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&okRect), 2);
  const int width = extent.cx + 2;  // a pixel either side, as static text draws
  SetWindowPos(text, nullptr, 0, 0, width, textRect.bottom - textRect.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const int gap = 4;
  const int shift = textRect.left + width + gap - okRect.left;
  if (shift <= 0) return;
  SetWindowPos(ok, nullptr, okRect.left + shift, okRect.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT box{};
  GetWindowRect(hwnd(), &box);
  SetWindowPos(hwnd(), nullptr, 0, 0, box.right - box.left + shift, box.bottom - box.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool AboutDialog::handle(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  switch (message) {
    case WM_INITDIALOG:
      fitVersionText();
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
