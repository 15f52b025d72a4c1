// The stand-in's dialogs: route confirmation and selection, the driver /
// passenger question, the route list and the GPS / guidance settings sheet.
#include <map>
#include <memory>

#include "navstub.h"

#include <commctrl.h>  // after windows.h, which navstub.h brings

namespace navstub {

namespace {

const char kDialogClass[] = "NavstubDialog";
const char kSheetClass[] = "NavstubSheet";
const char kPageClass[] = "NavstubPage";
constexpr UINT_PTR kAutoCloseTimer = 1;
constexpr int kMapMatchCheckId = 1001;
constexpr int kTabId = 12320;

std::map<HWND, std::unique_ptr<DialogLayout>> g_dialogs;

LRESULT CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto it = g_dialogs.find(hwnd);
  if (it != g_dialogs.end()) {
    DialogLayout& layout = *it->second;
    if (message == WM_COMMAND) {
      int id = LOWORD(wParam);
      for (const auto& button : layout.buttons) {
        if (button.first != id) continue;
        stub::logEvent(layout.logName.c_str(), "answered %d", id);
        std::function<void(int)> onAnswer = layout.onAnswer;
        DestroyWindow(hwnd);
        if (onAnswer) onAnswer(id);
        return 0;
      }
    } else if (message == WM_TIMER && wParam == kAutoCloseTimer) {
      stub::logEvent(layout.logName.c_str(), "closed");
      DestroyWindow(hwnd);
      return 0;
    } else if (message == WM_CLOSE) {
      stub::logEvent(layout.logName.c_str(), "closed");
      DestroyWindow(hwnd);
      return 0;
    } else if (message == WM_NCDESTROY) {
      g_dialogs.erase(it);
    }
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND makeButton(HWND parent, const char* caption, int id, DWORD style, int x, int y, int w, int h) {
  return CreateWindowExA(0, "BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

// The sheet keeps one page per tab; the map-matching page is only created
// when its tab is chosen, as a property sheet creates its pages lazily.
struct Sheet {
  HWND window = nullptr;
  HWND tab = nullptr;
  HWND pages[3] = {};
  SheetOptions options;
};
std::map<HWND, Sheet> g_sheets;
bool g_mapMatch = true;
bool g_mapMatchKnown = false;

const char* const kTabTitles[] = {"GPS受信", "走行ﾊﾟｽ/ﾏｯﾌﾟﾏｯﾁ", "ｶﾞｲﾀﾞﾝｽ"};

void showPage(Sheet& sheet, int index) {
  for (int i = 0; i < 3; ++i)
    if (sheet.pages[i] && i != index) ShowWindow(sheet.pages[i], SW_HIDE);
  if (!sheet.pages[index]) {
    RECT r;
    GetClientRect(sheet.tab, &r);
    SendMessageA(sheet.tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    HWND page = CreateWindowExA(WS_EX_CONTROLPARENT, kPageClass, kTabTitles[index], WS_CHILD | WS_VISIBLE,
                                10 + r.left, 10 + r.top, r.right - r.left, r.bottom - r.top, sheet.window, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    static const char* const kPageNames[] = {"settings-page-gps", "settings-page", "settings-page-guide"};
    stub::watchWindow(page, kPageNames[index]);
    if (index == 1) {
      HWND check = makeButton(page, "ﾏｯﾌﾟﾏｯﾁを有効にする", kMapMatchCheckId, BS_AUTOCHECKBOX, 16, 16, 220, 20);
      SendMessageA(check, BM_SETCHECK, g_mapMatch ? BST_CHECKED : BST_UNCHECKED, 0);
      stub::watchWindow(check, "mapmatch-check");
    }
    sheet.pages[index] = page;
  }
  ShowWindow(sheet.pages[index], SW_SHOW);
  stub::logEvent("settings-sheet", "page %d", index);
}

LRESULT CALLBACK pageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == kMapMatchCheckId && HIWORD(wParam) == BN_CLICKED) {
    g_mapMatch = SendMessageA(reinterpret_cast<HWND>(lParam), BM_GETCHECK, 0, 0) == BST_CHECKED;
    stub::logEvent("settings-page", "mapmatch %d", g_mapMatch ? 1 : 0);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK sheetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto it = g_sheets.find(hwnd);
  if (it != g_sheets.end()) {
    Sheet& sheet = it->second;
    switch (message) {
      case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->hwndFrom == sheet.tab && hdr->code == TCN_SELCHANGE) {
          int index = static_cast<int>(SendMessageA(sheet.tab, TCM_GETCURSEL, 0, 0));
          if (index >= 0 && index < 3) showPage(sheet, index);
        }
        break;
      }
      case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
          stub::logEvent("settings-sheet", "%s", LOWORD(wParam) == IDOK ? "ok" : "cancel");
          DestroyWindow(hwnd);
          return 0;
        }
        break;
      case WM_CLOSE:
        stub::logEvent("settings-sheet", "cancel");
        DestroyWindow(hwnd);
        return 0;
      case WM_NCDESTROY:
        g_sheets.erase(it);
        break;
    }
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

void registerDialogClasses(HINSTANCE instance) {
  stub::registerWindowClass(instance, kDialogClass, dialogProc, COLOR_BTNFACE);
  stub::registerWindowClass(instance, kSheetClass, sheetProc, COLOR_BTNFACE);
  stub::registerWindowClass(instance, kPageClass, pageProc, COLOR_BTNFACE);
}

HWND openDialog(HWND owner, DialogLayout layout) {
  int width = 120 + 110 * static_cast<int>(layout.buttons.size());
  // Untitled and hidden until its buttons exist: whoever finds it by its
  // title finds it complete.
  HWND hwnd = CreateWindowExA(WS_EX_DLGMODALFRAME, kDialogClass, "", WS_POPUP | WS_CAPTION | WS_SYSMENU, 200, 200,
                              width, 130, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return nullptr;
  stub::watchWindow(hwnd, layout.logName.c_str());
  int x = 20;
  for (const auto& button : layout.buttons) {
    HWND b = makeButton(hwnd, button.second.c_str(), button.first, BS_PUSHBUTTON, x, 50, 100, 26);
    stub::watchWindow(b, (layout.logName + "." + std::to_string(button.first)).c_str());
    x += 110;
  }
  if (layout.autoCloseMs) SetTimer(hwnd, kAutoCloseTimer, layout.autoCloseMs, nullptr);
  SetWindowTextA(hwnd, layout.title.c_str());
  ShowWindow(hwnd, SW_SHOW);
  stub::logEvent(layout.logName.c_str(), "opened");
  g_dialogs[hwnd] = std::make_unique<DialogLayout>(std::move(layout));
  return hwnd;
}

void openSettingsSheet(HWND owner, const SheetOptions& options) {
  if (!g_mapMatchKnown) {
    g_mapMatch = options.mapMatch;
    g_mapMatchKnown = true;
  }
  const char* title = options.halfWidthTitle ? "GPS/ｶﾞｲﾀﾞﾝｽ機能設定" : "GPS/ガイダンス機能設定";
  if (FindWindowA(kSheetClass, title)) return;  // one sheet at a time, as a modal sheet would be
  HWND hwnd = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kSheetClass, "",
                              WS_POPUP | WS_CAPTION | WS_SYSMENU, 160, 120, 420, 330, owner, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return;
  Sheet& sheet = g_sheets[hwnd];
  sheet.window = hwnd;
  sheet.options = options;
  stub::watchWindow(hwnd, "settings-sheet");
  // Fixed 100-pixel tabs: the map-matching tab spans x 100 to 200 of the
  // tab control, where the toolbar clicks (158, 7).
  sheet.tab = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | TCS_FIXEDWIDTH, 10, 10, 392, 240, hwnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTabId)), GetModuleHandleA(nullptr),
                              nullptr);
  SendMessageA(sheet.tab, TCM_SETITEMSIZE, 0, MAKELPARAM(100, 20));
  for (int i = 0; i < 3; ++i) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(kTabTitles[i]);
    SendMessageA(sheet.tab, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  stub::watchWindow(sheet.tab, "settings-tab");
  stub::watchWindow(makeButton(hwnd, "OK", IDOK, BS_DEFPUSHBUTTON, 220, 260, 84, 26), "settings-ok");
  stub::watchWindow(makeButton(hwnd, "ｷｬﾝｾﾙ", IDCANCEL, BS_PUSHBUTTON, 314, 260, 84, 26), "settings-cancel");
  showPage(sheet, 0);
  SetWindowTextA(hwnd, title);
  ShowWindow(hwnd, SW_SHOW);
  stub::logEvent("settings-sheet", "opened");
}

}  // namespace navstub
