// CPathDialog: the open-file dialog titled "ファイルの参照" whose open button
// reads "OK", used by the browse buttons of the settings dialogs.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tabiro {

class CPathDialog {
 public:
  // `filter` in the framework's syntax: "description|pattern|".
  CPathDialog(const char* defaultExtension, const char* filter);

  // The chosen file's full path, or nullopt on cancel. Modal over `owner`.
  std::optional<std::string> run(HWND owner);

 private:
  static UINT_PTR CALLBACK hook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);

  std::string defaultExtension_;
  std::string filter_;
};

// A browse button: the chosen path replaces the text of field `fieldId` of
// `dialog`. Only that field changes: what was typed in the others stays.
void browseIntoField(HWND dialog, int fieldId, const char* defaultExtension, const char* filter);

}  // namespace tabiro
