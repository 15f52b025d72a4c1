// probe.dll: looks inside the toolbar's process for the end-to-end tests.
// Wine lets no program read another process's menus or tooltips, so a test
// installs probeHook on the toolbar's thread (WH_CALLWNDPROC); the system
// loads this library into the toolbar's process, where the hook
//  - answers a request message with the toolbar's system menu or tooltips,
//  - notes every WM_COMMAND the toolbar receives (id and notification code),
// appending text lines to the shared section kProbeSection (a 32-bit byte
// count, then the text). See probe.h.
#include "probe.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>

namespace {

void append(const char* line) {
  HANDLE section = OpenFileMappingA(FILE_MAP_WRITE, FALSE, e2e::kProbeSection);
  if (!section) return;
  if (auto* view = static_cast<char*>(MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, e2e::kProbeBytes))) {
    auto* used = reinterpret_cast<volatile LONG*>(view);
    const size_t length = strlen(line);
    const size_t at = static_cast<size_t>(*used);
    if (sizeof(LONG) + at + length + 1 < e2e::kProbeBytes) {
      memcpy(view + sizeof(LONG) + at, line, length);
      view[sizeof(LONG) + at + length] = '\n';
      InterlockedExchange(const_cast<LONG*>(used), static_cast<LONG>(at + length + 1));
    }
    UnmapViewOfFile(view);
  }
  CloseHandle(section);
}

// "menu POSITION ID separator" or "menu POSITION ID string TEXT".
void dumpSystemMenu(HWND window) {
  HMENU menu = GetSystemMenu(window, FALSE);
  const int count = menu ? GetMenuItemCount(menu) : 0;
  for (int i = 0; i < count; ++i) {
    char text[128] = {};
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    item.dwTypeData = text;
    item.cch = sizeof text - 1;
    GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item);
    char line[256];
    if (item.fType & MFT_SEPARATOR) {
      snprintf(line, sizeof line, "menu %d %u separator", i, item.wID);
    } else {
      snprintf(line, sizeof line, "menu %d %u string %s", i, item.wID, text);
    }
    append(line);
  }
  append("menu end");
}

BOOL CALLBACK findTooltips(HWND window, LPARAM out) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0) return TRUE;
  *reinterpret_cast<HWND*>(out) = window;
  return FALSE;
}

// "tool INDEX CONTROL_ID TEXT", in the order the tools were added.
void dumpTooltips() {
  HWND tips = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), findTooltips, reinterpret_cast<LPARAM>(&tips));
  const int count = tips ? static_cast<int>(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0)) : 0;
  for (int i = 0; i < count; ++i) {
    char text[256] = {};
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.lpszText = text;
    SendMessageA(tips, TTM_ENUMTOOLSA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tool));
    const int id = (tool.uFlags & TTF_IDISHWND) ? GetDlgCtrlID(reinterpret_cast<HWND>(tool.uId))
                                                : static_cast<int>(tool.uId);
    char line[320];
    snprintf(line, sizeof line, "tool %d %d %s", i, id, text);
    append(line);
  }
  append("tool end");
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK probeHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    static const UINT request = RegisterWindowMessageA(e2e::kProbeRequest);
    if (call->message == request) {
      if (call->wParam == e2e::kProbeSystemMenu) dumpSystemMenu(call->hwnd);
      if (call->wParam == e2e::kProbeTooltips) dumpTooltips();
    } else if (call->message == WM_COMMAND && GetParent(call->hwnd) == nullptr) {
      char line[64];
      snprintf(line, sizeof line, "command %u %u", LOWORD(call->wParam), HIWORD(call->wParam));
      append(line);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
