#include "ui/win32/dialog.h"

#include <commctrl.h>

namespace tabiro::ui {

namespace {

// Messages whose answer a dialog procedure returns itself rather than
// through DWLP_MSGRESULT.
bool returnsDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
      return true;
    default:
      return false;
  }
}

}  // namespace

Dialog::~Dialog() { destroy(); }

INT_PTR Dialog::runModal(HWND owner) {
  modal_ = true;
  const INT_PTR code = DialogBoxParamA(instance_, MAKEINTRESOURCEA(templateId_), owner,
                                       &Dialog::procedure, reinterpret_cast<LPARAM>(this));
  hwnd_ = nullptr;
  modal_ = false;
  return code;
}

HWND Dialog::createModeless(HWND owner) {
  CreateDialogParamA(instance_, MAKEINTRESOURCEA(templateId_), owner, &Dialog::procedure,
                     reinterpret_cast<LPARAM>(this));
  return hwnd_;
}

void Dialog::destroy() {
  if (hwnd_ && !modal_) {
    HWND window = hwnd_;
    hwnd_ = nullptr;
    SetWindowLongPtrA(window, DWLP_USER, 0);
    DestroyWindow(window);
  }
}

void Dialog::endModal(INT_PTR code) { EndDialog(hwnd_, code); }

INT_PTR CALLBACK Dialog::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    reinterpret_cast<Dialog*>(lParam)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (!self) return FALSE;
  INT_PTR result = FALSE;
  const bool handled = self->handle(message, wParam, lParam, result);
  // A template places its dialog at its top-left corner, under the topmost
  // toolbar; every modal window of ours opens in the middle instead.
  if (message == WM_INITDIALOG && self->modal_) centreOnScreen(hwnd);
  if (!handled) return message == WM_INITDIALOG;
  if (returnsDirectly(message)) return result;
  SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

void centreOnScreen(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND createTooltipControl(HWND owner, HINSTANCE instance) {
  HWND tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                 WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                 instance, nullptr);
  if (tooltip) SendMessageA(tooltip, TTM_ACTIVATE, TRUE, 0);
  return tooltip;
}

void addTool(HWND tooltip, HWND owner, HWND control, const char* text, UINT flags) {
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | flags;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<char*>(text);
  SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void showMessage(HWND owner, const char* text, UINT icon) {
  // Not "Tabiro2": every command finds the toolbar by that title, and a
  // message box above it would take them instead.
  MessageBoxA(owner, text, "TabiroⅡ", MB_OK | icon | MB_SETFOREGROUND);
}

}  // namespace tabiro::ui
