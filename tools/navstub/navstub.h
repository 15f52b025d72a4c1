// Navin' You stand-in: shared declarations of its windows.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "stub.h"

namespace navstub {

// One top-level dialog of the stand-in: a title, buttons by control id, and
// what happens once a button's command has closed it.
struct DialogLayout {
  std::string logName;  // "route-confirm", ...
  std::string title;
  std::vector<std::pair<int, std::string>> buttons;  // control id, caption
  std::function<void(int answer)> onAnswer;           // may be empty
  unsigned autoCloseMs = 0;                           // 0: stays until answered
};

void registerDialogClasses(HINSTANCE instance);
HWND openDialog(HWND owner, DialogLayout layout);

// The GPS / guidance settings sheet with its map-matching page.
struct SheetOptions {
  bool halfWidthTitle = false;
  bool mapMatch = true;  // initial state of the check box
};
void openSettingsSheet(HWND owner, const SheetOptions& options);

}  // namespace navstub
