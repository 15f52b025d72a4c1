#include "settings/win32/file_chooser.h"

#include <commdlg.h>

#include <vector>

#include "ui/dialog_values.h"

namespace tabiro {

CPathDialog::CPathDialog(const char* defaultExtension, const char* filter)
    : defaultExtension_(defaultExtension), filter_(ui::fileDialogFilter(filter)) {}

UINT_PTR CALLBACK CPathDialog::hook(HWND hook, UINT message, WPARAM, LPARAM) {
  // The hook is a child of the dialog frame whose IDOK is the open button.
  if (message == WM_INITDIALOG) {
    SendMessageA(GetParent(hook), CDM_SETCONTROLTEXT, IDOK, reinterpret_cast<LPARAM>("OK"));
  }
  return 0;
}

std::optional<std::string> CPathDialog::run(HWND owner) {
  std::vector<char> file(4 * MAX_PATH, '\0');
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter_.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = "ファイルの参照";
  ofn.lpstrDefExt = defaultExtension_.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLEHOOK;
  ofn.lpfnHook = &CPathDialog::hook;
  if (!GetOpenFileNameA(&ofn)) return std::nullopt;
  return std::string(file.data());
}

void browseIntoField(HWND dialog, int fieldId, const char* defaultExtension, const char* filter) {
  CPathDialog browser(defaultExtension, filter);
  if (const std::optional<std::string> path = browser.run(dialog)) {
    SetDlgItemTextA(dialog, fieldId, path->c_str());
  }
}

}  // namespace tabiro
