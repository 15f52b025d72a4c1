// Navin' You stand-in: the MDI main window with its map documents, slider and
// arrows, tool bar, status bar, window menu and dialogs, as the toolbar finds
// and drives them. Every message each window receives goes to the log.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

#include "navstub.h"

#include <commctrl.h>  // after windows.h, which navstub.h brings
#include "nmea.h"
#include "status_text.h"
#include "track_view.h"

namespace navstub {
namespace {

const char kMainClass[] = "Navin' You";
const char kDocClass[] = "NavstubDocument";
const char kViewClass[] = "AfxFrameOrView42";

constexpr UINT_PTR kDocumentsTimer = 1;
constexpr UINT_PTR kReplayTimer = 2;
constexpr UINT_PTR kSheetTimer = 3;
constexpr UINT kReplayTickMs = 50;
constexpr int kFirstDocumentCommand = 0xFF00;  // the document area's window list: 65280, 65281, ...
constexpr int kWindowListPosition = 13;        // of the first document in the window menu
constexpr int kCmdRouteList = 32833;
constexpr int kCmdRouteClear = 32835;
constexpr int kCmdExit = 57665;
constexpr int kSliderMin = -360;
constexpr int kSliderMax = 0;

struct Config {
  std::string title;
  int version = 1;
  std::vector<std::string> documents;
  int documentDelayMs = 200;
  int activeDocument = 1;
  int sliderPos = -72;
  int sliderStep = 9;
  std::string gpsDialogs;
  std::string startupDialogs;
  int routeListMs = 1500;
  int sheetDelayMs = 0;
  SheetOptions sheet;
  bool gpsOn = false;
  bool centeringOn = true;
  bool gpsDisabled = false;
  std::string replayPath;
  double replaySpeed = 1;

  int gpsCommand() const { return version == 1 ? 32864 : 32860; }
  int centeringCommand() const { return version == 1 ? 32865 : 32861; }
  int sheetCommand() const { return version == 1 ? 32869 : 32866; }
};

struct Document {
  HWND window = nullptr;
  HWND view = nullptr;
  HWND trackbar = nullptr;
  HWND updown = nullptr;
  std::string names[4];  // doc, view, trackbar, updown log names
  bool hasView = true;
};

struct State {
  Config config;
  HWND main = nullptr;
  HWND client = nullptr;
  HWND toolbar = nullptr;
  HWND status = nullptr;
  HMENU windowMenu = nullptr;
  int windowMenuPosition = 0;  // in the menu bar
  std::vector<std::unique_ptr<Document>> documents;
  Track track{std::vector<Fix>{}};
  size_t shownFix = 0;
  ULONGLONG replayStart = 0;
  bool driverDialogPending = false;
};
State g;

// --- status bar -----------------------------------------------------------

void showFix(const Fix& fix) {
  SendMessageA(g.status, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(speedText(fix.speedKmh).c_str()));
  SendMessageA(g.status, SB_SETTEXTA, 3, reinterpret_cast<LPARAM>(latitudeText(fix.latitude).c_str()));
  SendMessageA(g.status, SB_SETTEXTA, 4, reinterpret_cast<LPARAM>(longitudeText(fix.longitude).c_str()));
}

void showGpsPart(bool on) {
  SendMessageA(g.status, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(on ? "GPS:ON" : "GPS:OFF"));
}

Fix restingFix() {
  if (!g.track.empty()) {
    Fix fix = g.track[0];
    fix.speedKmh = 0;
    return fix;
  }
  Fix tokyoStation;  // 35°40'52.0" N, 139°46'02.0" E
  tokyoStation.latitude = 35 * kTenthsPerDegree + 40 * 600 + 520;
  tokyoStation.longitude = 139 * kTenthsPerDegree + 46 * 600 + 20;
  return tokyoStation;
}

void redrawMapViews() {
  for (const auto& doc : g.documents)
    if (doc->view) InvalidateRect(doc->view, nullptr, TRUE);
}

void replayTick() {
  size_t index = g.track.indexAt(static_cast<int64_t>(GetTickCount64() - g.replayStart), g.config.replaySpeed);
  if (index != g.shownFix) {
    g.shownFix = index;
    const Fix& fix = g.track[index];
    showFix(fix);
    redrawMapViews();
    stub::logEvent("statusbar", "fix %u %d %ld %ld", static_cast<unsigned>(index), fix.speedKmh,
                   static_cast<long>(fix.latitude), static_cast<long>(fix.longitude));
  }
  if (index + 1 >= g.track.size()) {
    KillTimer(g.main, kReplayTimer);
    stub::logEvent("statusbar", "replay end");
  }
}

// A GPS start replays the drive from its beginning.
void startReplay() {
  if (g.track.empty()) return;
  g.replayStart = GetTickCount64();
  g.shownFix = 0;
  showFix(g.track[0]);
  redrawMapViews();
  stub::logEvent("statusbar", "fix 0 %d %ld %ld", g.track[0].speedKmh, static_cast<long>(g.track[0].latitude),
                 static_cast<long>(g.track[0].longitude));
  SetTimer(g.main, kReplayTimer, kReplayTickMs, nullptr);
}

// --- dialogs ----------------------------------------------------------------

void openDriverDialog() {
  g.driverDialogPending = false;
  openDialog(g.main, {"driver-confirm", "運転者／同乗者確認", {{8520, "運転者"}, {8521, "同乗者"}}, nullptr});
}

// Opens the route dialogs the switch asks for: "confirm", "select", "both"
// or "none". `then` runs after the first of them is answered (or at once).
void openRouteDialogs(const std::string& which, const std::function<void()>& then) {
  bool confirm = which == "confirm" || which == "both";
  bool select = which == "select" || which == "both";
  if (!confirm && !select) {
    if (then) then();
    return;
  }
  auto shared = std::make_shared<bool>(false);  // the first answer runs `then`, later ones do not
  auto onAnswer = [shared, then](int) {
    if (*shared) return;
    *shared = true;
    if (then) then();
  };
  if (select) openDialog(g.main, {"route-select", "ﾙｰﾄ選択", {{9313, "選択"}, {9314, "ｷｬﾝｾﾙ"}}, onAnswer});
  if (confirm) openDialog(g.main, {"route-confirm", "ﾙｰﾄ確認", {{6, "はい"}, {7, "いいえ"}}, onAnswer});
}

// --- tool bar ---------------------------------------------------------------

bool buttonChecked(int command) {
  return (SendMessageA(g.toolbar, TB_GETSTATE, command, 0) & TBSTATE_CHECKED) != 0;
}

// A command from outside toggles the check button; a click on the button has
// already toggled it before the tool bar sent the command.
bool toggleButton(int command, LPARAM from) {
  if (reinterpret_cast<HWND>(from) != g.toolbar)
    SendMessageA(g.toolbar, TB_CHECKBUTTON, command, MAKELPARAM(buttonChecked(command) ? FALSE : TRUE, 0));
  return buttonChecked(command);
}

void onGpsCommand(LPARAM from) {
  if (!(SendMessageA(g.toolbar, TB_GETSTATE, g.config.gpsCommand(), 0) & TBSTATE_ENABLED)) {
    stub::logEvent("main", "gps unavailable");
    return;
  }
  bool on = toggleButton(g.config.gpsCommand(), from);
  stub::logEvent("main", "gps %s", on ? "on" : "off");
  showGpsPart(on);
  if (on) {
    g.driverDialogPending = true;
    openRouteDialogs(g.config.gpsDialogs, openDriverDialog);
    startReplay();
  } else {
    KillTimer(g.main, kReplayTimer);
  }
}

HWND createToolbar(HWND parent) {
  HWND tb = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST, 0, 0, 0,
                            0, parent, reinterpret_cast<HMENU>(59392), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(tb, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
  const Config& c = g.config;
  BYTE gpsState = (c.gpsDisabled ? 0 : TBSTATE_ENABLED) | (c.gpsOn ? TBSTATE_CHECKED : 0);
  BYTE centreState = TBSTATE_ENABLED | (c.centeringOn ? TBSTATE_CHECKED : 0);
  TBBUTTON buttons[2] = {};
  buttons[0] = {I_IMAGENONE, c.gpsCommand(), gpsState, BTNS_CHECK | BTNS_AUTOSIZE, {}, 0,
                reinterpret_cast<INT_PTR>("GPS")};
  buttons[1] = {I_IMAGENONE, c.centeringCommand(), centreState, BTNS_CHECK | BTNS_AUTOSIZE, {}, 0,
                reinterpret_cast<INT_PTR>("自車ｾﾝﾀｰ")};
  SendMessageA(tb, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));
  SendMessageA(tb, TB_AUTOSIZE, 0, 0);
  return tb;
}

// --- menu -------------------------------------------------------------------

HMENU popup(std::initializer_list<std::pair<int, const char*>> items) {
  HMENU menu = CreatePopupMenu();
  for (const auto& item : items) {
    if (item.second) AppendMenuA(menu, MF_STRING, item.first, item.second);
    else AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  }
  return menu;
}

HMENU createMenu() {
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup({{57601, "開く(&O)..."}, {0, nullptr}, {kCmdExit, "終了(&X)"}})),
              "ﾌｧｲﾙ(&F)");
  AppendMenuA(bar, MF_POPUP,
              reinterpret_cast<UINT_PTR>(popup({{g.config.gpsCommand(), "GPS(&G)"},
                                                {g.config.centeringCommand(), "自車ｾﾝﾀﾘﾝｸﾞ(&C)"},
                                                {g.config.sheetCommand(), "GPS/ｶﾞｲﾀﾞﾝｽ機能設定(&S)..."}})),
              "GPS(&G)");
  AppendMenuA(bar, MF_POPUP,
              reinterpret_cast<UINT_PTR>(popup({{kCmdRouteList, "ﾙｰﾄ一覧(&L)..."}, {kCmdRouteClear, "ﾙｰﾄｸﾘｱ(&C)"}})),
              "ﾙｰﾄ(&R)");
  // Twelve fixed items, a separator, then the documents from position 13 on.
  g.windowMenu = popup({{33100, "新しいｳｨﾝﾄﾞｳを開く(&N)"},
                        {33101, "重ねて表示(&C)"},
                        {33102, "上下に並べて表示(&T)"},
                        {33103, "左右に並べて表示(&V)"},
                        {33104, "ｱｲｺﾝの整列(&A)"},
                        {0, nullptr},
                        {33105, "ﾂｰﾙﾊﾞｰ(&B)"},
                        {33106, "ｽﾃｰﾀｽﾊﾞｰ(&S)"},
                        {0, nullptr},
                        {33107, "ｶﾞｲﾀﾞﾝｽ画面(&G)"},
                        {33108, "地図画面(&M)"},
                        {33109, "全画面表示(&U)"},
                        {0, nullptr}});
  g.windowMenuPosition = GetMenuItemCount(bar);
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(g.windowMenu), "ｳｨﾝﾄﾞｳ(&W)");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup({{57664, "ﾊﾞｰｼﾞｮﾝ情報(&A)..."}})), "ﾍﾙﾌﾟ(&H)");
  return bar;
}

// --- documents --------------------------------------------------------------

std::string numbered(const char* base, size_t n) { return base + std::to_string(n); }

// The up-down control answers a button-down itself: one click moves the
// slider by one step, up for the upper arrow, down for the lower. The real
// control would keep repeating until a button-up that never comes.
LRESULT CALLBACK arrowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* doc = reinterpret_cast<Document*>(GetPropA(hwnd, "navstub.doc"));
  WNDPROC original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, "navstub.proc"));
  if (message == WM_LBUTTONDOWN && doc) {
    RECT r;
    GetClientRect(hwnd, &r);
    int y = static_cast<short>(HIWORD(lParam));
    int step = y < (r.bottom - r.top) / 2 ? -g.config.sliderStep : g.config.sliderStep;
    int pos = static_cast<int>(SendMessageA(doc->trackbar, TBM_GETPOS, 0, 0)) + step;
    pos = pos < kSliderMin ? kSliderMin : pos > kSliderMax ? kSliderMax : pos;
    SendMessageA(doc->trackbar, TBM_SETPOS, TRUE, pos);
    stub::logEvent(doc->names[3].c_str(), "slider %d", pos);
    return 0;
  }
  if (message == WM_NCDESTROY) {
    RemovePropA(hwnd, "navstub.doc");
    RemovePropA(hwnd, "navstub.proc");
  }
  return CallWindowProcA(original, hwnd, message, wParam, lParam);
}

void layoutDocument(Document& doc) {
  RECT r;
  GetClientRect(doc.window, &r);
  MoveWindow(doc.view, 0, 0, r.right, r.bottom, TRUE);
}

// Builds the map view inside a new document, during the document's own
// creation as a frame builds its view, so a document is never seen without it.
void createView(Document& doc) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  doc.view = CreateWindowExA(0, kViewClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100, 100, doc.window,
                             reinterpret_cast<HMENU>(59648), inst, nullptr);
  doc.trackbar = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_VERT, 6, 6, 30, 200, doc.view,
                                 reinterpret_cast<HMENU>(1000), inst, nullptr);
  SendMessageA(doc.trackbar, TBM_SETRANGEMIN, FALSE, kSliderMin);
  SendMessageA(doc.trackbar, TBM_SETRANGEMAX, FALSE, kSliderMax);
  SendMessageA(doc.trackbar, TBM_SETPOS, TRUE, g.config.sliderPos);
  doc.updown = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE, 13, 212, 16, 30, doc.view,
                               reinterpret_cast<HMENU>(1001), inst, nullptr);
  SetPropA(doc.updown, "navstub.doc", &doc);
  SetPropA(doc.updown, "navstub.proc",
           reinterpret_cast<HANDLE>(SetWindowLongPtrA(doc.updown, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(arrowProc))));
  stub::watchWindow(doc.view, doc.names[1].c_str());
  stub::watchWindow(doc.trackbar, doc.names[2].c_str());
  stub::watchWindow(doc.updown, doc.names[3].c_str());
  layoutDocument(doc);
}

void createDocument(size_t index, const std::string& title) {
  auto doc = std::make_unique<Document>();
  size_t n = index + 1;
  doc->names[0] = numbered("doc", n);
  doc->names[1] = numbered("view", n);
  doc->names[2] = numbered("trackbar", n);
  doc->names[3] = numbered("updown", n);
  // The guide window shows the guidance, not a map: no view inside.
  doc->hasView = title != "ガイダンス";
  MDICREATESTRUCTA mc = {};
  mc.szClass = kDocClass;
  mc.szTitle = title.c_str();
  mc.hOwner = GetModuleHandleA(nullptr);
  mc.x = mc.y = mc.cx = mc.cy = CW_USEDEFAULT;
  mc.style = WS_MAXIMIZE;
  mc.lParam = reinterpret_cast<LPARAM>(doc.get());
  SendMessageA(g.client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mc));
  stub::watchWindow(doc->window, doc->names[0].c_str());
  std::string item = "&";
  item.append(std::to_string(n)).append(" ").append(title);
  AppendMenuA(g.windowMenu, MF_STRING, kFirstDocumentCommand + index, item.c_str());
  g.documents.push_back(std::move(doc));
}

void activateDocument(size_t index) {
  if (index >= g.documents.size()) return;
  SendMessageA(g.client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(g.documents[index]->window), 0);
  stub::logEvent("main", "activate %s", g.documents[index]->names[0].c_str());
}

void createDocuments() {
  for (size_t i = 0; i < g.config.documents.size(); ++i) createDocument(i, g.config.documents[i]);
  if (g.config.activeDocument >= 1) activateDocument(static_cast<size_t>(g.config.activeDocument - 1));
  DrawMenuBar(g.main);
  // Wine cannot read another process's menu, so the log tells what it holds.
  char item[128] = {};
  GetMenuStringA(g.windowMenu, kWindowListPosition, item, sizeof item, MF_BYPOSITION);
  stub::logEvent("main", "window-menu %d %d %s", g.windowMenuPosition, kWindowListPosition, item);
  stub::logEvent("main", "documents %u", static_cast<unsigned>(g.documents.size()));
  openRouteDialogs(g.config.startupDialogs, nullptr);
}

LRESULT CALLBACK documentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* doc = reinterpret_cast<Document*>(reinterpret_cast<MDICREATESTRUCTA*>(create->lpCreateParams)->lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(doc));
    doc->window = hwnd;
    if (doc->hasView) createView(*doc);
  }
  auto* doc = reinterpret_cast<Document*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (message == WM_SIZE && doc && doc->view) layoutDocument(*doc);
  return DefMDIChildProcA(hwnd, message, wParam, lParam);
}

// The map view draws the replayed drive: the whole track in grey, the part
// driven so far in blue, and the car as a red dot with a line along its
// heading, so that a person (or a screenshot) sees where the car is.
void paintTrack(HWND view, HDC dc) {
  constexpr int kLeft = 44;  // right of the slider and its arrows
  RECT r;
  GetClientRect(view, &r);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (g.track.empty()) return;
  const TrackProjection projection(g.track, r.right - kLeft, r.bottom, 24);
  auto point = [&](size_t i) {
    const Pixel p = projection.toPixel(g.track[i]);
    return POINT{p.x + kLeft, p.y};
  };
  std::vector<POINT> line(g.track.size());
  for (size_t i = 0; i < g.track.size(); ++i) line[i] = point(i);
  const size_t car = g.shownFix < g.track.size() ? g.shownFix : g.track.size() - 1;

  HPEN grey = CreatePen(PS_SOLID, 2, RGB(190, 190, 190));
  HPEN blue = CreatePen(PS_SOLID, 4, RGB(30, 80, 220));
  HPEN red = CreatePen(PS_SOLID, 3, RGB(220, 20, 20));
  HBRUSH redBrush = CreateSolidBrush(RGB(220, 20, 20));
  HGDIOBJ oldPen = SelectObject(dc, grey);
  Polyline(dc, line.data(), static_cast<int>(line.size()));
  SelectObject(dc, blue);
  Polyline(dc, line.data(), static_cast<int>(car + 1));

  const int heading = headingAt(g.track, car);
  const double radians = heading * 3.14159265358979323846 / 180;
  const POINT at = line[car];
  SelectObject(dc, red);
  MoveToEx(dc, at.x, at.y, nullptr);
  LineTo(dc, at.x + static_cast<int>(24 * std::sin(radians)), at.y - static_cast<int>(24 * std::cos(radians)));
  HGDIOBJ oldBrush = SelectObject(dc, redBrush);
  Ellipse(dc, at.x - 7, at.y - 7, at.x + 8, at.y + 8);

  char caption[96];
  snprintf(caption, sizeof caption, "fix %u/%u  %d km/h  %d°", static_cast<unsigned>(car + 1),
           static_cast<unsigned>(g.track.size()), g.track[car].speedKmh, heading);
  SetBkMode(dc, TRANSPARENT);
  TextOutA(dc, kLeft, 4, caption, static_cast<int>(strlen(caption)));

  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(redBrush);
  DeleteObject(red);
  DeleteObject(blue);
  DeleteObject(grey);
}

LRESULT CALLBACK viewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) SetFocus(hwnd);
  if (message == WM_ERASEBKGND) return 1;  // the paint fills the whole view
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    paintTrack(hwnd, dc);
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// --- main window ------------------------------------------------------------

void layoutMain() {
  RECT r;
  GetClientRect(g.main, &r);
  SendMessageA(g.toolbar, TB_AUTOSIZE, 0, 0);
  SendMessageA(g.status, WM_SIZE, 0, 0);
  RECT tb, sb;
  GetWindowRect(g.toolbar, &tb);
  GetWindowRect(g.status, &sb);
  int top = tb.bottom - tb.top;
  int bottom = r.bottom - (sb.bottom - sb.top);
  MoveWindow(g.client, 0, top, r.right, bottom > top ? bottom - top : 0, TRUE);
}

bool onCommand(WPARAM wParam, LPARAM lParam) {
  int id = LOWORD(wParam);
  const Config& c = g.config;
  if (id == c.gpsCommand()) {
    onGpsCommand(lParam);
  } else if (id == c.centeringCommand()) {
    bool on = toggleButton(id, lParam);
    stub::logEvent("main", "centering %s", on ? "on" : "off");
  } else if (id == c.sheetCommand()) {
    if (c.sheetDelayMs > 0) {
      // A slow program: the sheet comes later, the command returns at once.
      stub::logEvent("main", "sheet in %d ms", c.sheetDelayMs);
      SetTimer(g.main, kSheetTimer, static_cast<UINT>(c.sheetDelayMs), nullptr);
    } else {
      openSettingsSheet(g.main, c.sheet);
    }
  } else if (id == kCmdRouteList) {
    if (!FindWindowA(nullptr, "ﾙｰﾄ一覧"))
      openDialog(g.main, {"route-list", "ﾙｰﾄ一覧", {{IDCANCEL, "閉じる"}}, nullptr, static_cast<unsigned>(c.routeListMs)});
  } else if (id == kCmdRouteClear) {
    stub::logEvent("main", "route cleared");
  } else if (id >= kFirstDocumentCommand && id < kFirstDocumentCommand + static_cast<int>(g.documents.size())) {
    activateDocument(static_cast<size_t>(id - kFirstDocumentCommand));
  } else if (id == kCmdExit) {
    stub::logEvent("main", "exit");
    DestroyWindow(g.main);
  } else {
    return false;
  }
  return true;
}

LRESULT CALLBACK mainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      g.main = hwnd;
      CLIENTCREATESTRUCT ccs = {};
      ccs.idFirstChild = kFirstDocumentCommand;
      g.client = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                 WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 0, 0, 0, 0, hwnd,
                                 reinterpret_cast<HMENU>(59648), GetModuleHandleA(nullptr), &ccs);
      g.toolbar = createToolbar(hwnd);
      g.status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, hwnd,
                                 reinterpret_cast<HMENU>(59393), GetModuleHandleA(nullptr), nullptr);
      int parts[6] = {120, 220, 360, 560, 760, -1};
      SendMessageA(g.status, SB_SETPARTS, 6, reinterpret_cast<LPARAM>(parts));
      SendMessageA(g.status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("ﾚﾃﾞｨ"));
      SendMessageA(g.status, SB_SETTEXTA, 5, reinterpret_cast<LPARAM>("1/1万"));
      showGpsPart(g.config.gpsOn);
      showFix(restingFix());
      stub::watchWindow(g.client, "mdiclient");
      stub::watchWindow(g.toolbar, "toolbar");
      stub::watchWindow(g.status, "statusbar");
      SetTimer(hwnd, kDocumentsTimer, static_cast<UINT>(g.config.documentDelayMs), nullptr);
      if (g.config.gpsOn) startReplay();  // switched on before anyone looked
      return 0;
    }
    case WM_SIZE:
      if (g.client) layoutMain();
      return 0;
    case WM_TIMER:
      if (wParam == kDocumentsTimer) {
        KillTimer(hwnd, kDocumentsTimer);
        createDocuments();
        return 0;
      }
      if (wParam == kReplayTimer) {
        replayTick();
        return 0;
      }
      if (wParam == kSheetTimer) {
        KillTimer(hwnd, kSheetTimer);
        openSettingsSheet(g.main, g.config.sheet);
        return 0;
      }
      break;
    case WM_COMMAND:
      if (onCommand(wParam, lParam)) return 0;
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefFrameProcA(hwnd, g.client, message, wParam, lParam);
}

Config readConfig(const stub::Args& args) {
  Config c;
  c.version = args.value("version", "1") == "2" ? 2 : 1;
  c.title = args.value("title", "Navin' You");
  c.documents = args.values("doc");
  if (c.documents.empty()) {
    c.documents.push_back("地図 - 東京都千代田区");
    if (c.version == 2) c.documents.push_back("ProAtlas - 関東");
    c.documents.push_back("ガイダンス");
  }
  c.documentDelayMs = static_cast<int>(args.integer("doc-delay", 200));
  c.activeDocument = static_cast<int>(args.integer("active-doc", 1));
  c.sliderPos = static_cast<int>(args.integer("slider-pos", -72));
  c.sliderStep = static_cast<int>(args.integer("slider-step", 9));
  c.gpsDialogs = args.value("gps-dialogs", "confirm");
  c.startupDialogs = args.value("startup-dialogs", "none");
  c.routeListMs = static_cast<int>(args.integer("route-list-ms", 1500));
  c.sheetDelayMs = static_cast<int>(args.integer("sheet-delay", 0));
  c.sheet.halfWidthTitle = args.has("sheet-halfwidth");
  c.sheet.mapMatch = args.integer("mapmatch", 1) != 0;
  c.gpsOn = args.has("gps-on");
  c.centeringOn = args.integer("centering", 1) != 0;
  c.gpsDisabled = args.has("gps-disabled");
  c.replayPath = args.value("replay");
  c.replaySpeed = args.number("replay-speed", 1);
  return c;
}

}  // namespace
}  // namespace navstub

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  using namespace navstub;
  stub::Args args = stub::Args::fromProcess();
  stub::openLog(args.value("log"));
  stub::reportUnknownSwitches(args, {"log", "version", "title", "doc", "doc-delay", "active-doc", "slider-pos",
                                     "slider-step", "gps-dialogs", "startup-dialogs", "route-list-ms",
                                     "sheet-halfwidth", "sheet-delay", "mapmatch", "gps-on", "centering", "gps-disabled", "replay",
                                     "replay-speed"});
  g.config = readConfig(args);
  if (!g.config.replayPath.empty()) {
    std::ifstream in(g.config.replayPath, std::ios::binary);
    g.track = Track::read(in);
    stub::logEvent("main", "replay %u fixes", static_cast<unsigned>(g.track.size()));
  }

  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  stub::registerWindowClass(instance, kMainClass, mainProc, COLOR_APPWORKSPACE);
  stub::registerWindowClass(instance, kDocClass, documentProc);
  stub::registerWindowClass(instance, kViewClass, viewProc);
  registerDialogClasses(instance);

  HWND main = CreateWindowExA(0, kMainClass, g.config.title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 40,
                              960, 680, nullptr, createMenu(), instance, nullptr);
  if (!main) return 1;
  stub::watchWindow(main, "main");
  ShowWindow(main, show == SW_HIDE ? SW_SHOWNORMAL : show);
  UpdateWindow(main);
  stub::logEvent("main", "started");
  return stub::runMessageLoop();
}
