#include "app/win32/toolbar_window.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <string_view>

#include "app/tooltip_texts.h"
#include "core/copy_data_observer.h"
#include "core/toolbar_door.h"
#include "platform/win32/adapters_win32.h"
#include "resource.h"
#include "settings/win32/guidance_settings_dialog.h"
#include "settings/win32/guide_phrase_dialog.h"
#include "settings/win32/operation_settings_dialog.h"
#include "settings/win32/receiver_settings_dialog.h"
#include "speech/win32/sapi_voice_dialog.h"
#include "speech/win32/voice_properties_dialog.h"

namespace tabiro {

namespace {

constexpr const char* kHelpFile = "Tabiro2.html";

std::string loadString(HINSTANCE instance, UINT id) {
  char text[256] = {};
  const int length = LoadStringA(instance, id, text, sizeof text);
  return std::string(text, length > 0 ? length : 0);
}

}  // namespace

ToolbarWindow::ToolbarWindow(HINSTANCE instance, ExternalPorts ports, SettingsStore& settings,
                             SharedState& state, SpeechControl& legacySpeech,
                             SapiVoice& sapi)
    : Dialog(instance, IDD_TOOLBAR),
      ctx_{ports.desktop,   ports.clock, *this,           *this,    *this,
           ports.sound,     ports.launcher, ports.workers, ports.audio, ports.receivers,
           settings,        state},
      speech_(ctx_, legacySpeech, sapi),
      dialog_(ctx_, speech_) {
  icon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 32, 32, 0));
  smallIcon_ =
      static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 16, 16, 0));
}

void ToolbarWindow::run() {
  if (createModeless(nullptr)) {
    // Our own loop in place of a modal one, so that every message passes
    // the tooltips first.
    MSG msg;
    while (!finished_ && GetMessageA(&msg, nullptr, 0, 0) > 0) {
      if (preTranslate(msg)) continue;
      if (hwnd() && IsDialogMessageA(hwnd(), &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  popups_.clear();
  buttons_.clear();
  if (icon_) DestroyIcon(icon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
  icon_ = smallIcon_ = nullptr;
}

bool ToolbarWindow::preTranslate(MSG& msg) {
  if (!hwnd() || (msg.hwnd != hwnd() && !IsChild(hwnd(), msg.hwnd))) return false;
  if (tooltip_) SendMessageA(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1) {
    PostMessageA(hwnd(), WM_COMMAND, IDC_HELP_BUTTON, 0);
    return true;
  }
  return false;
}

void ToolbarWindow::finish() {
  finished_ = true;
  sharedWindow_.store(nullptr);
  popups_.clear();
  destroy();
  OleUninitialize();
}

void ToolbarWindow::onInitDialog() {
  sharedWindow_.store(hwnd());
  SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  createTooltips();
  SetDlgItemInt(hwnd(), IDC_WAYPOINT_FIELD, 1, TRUE);
  SetWindowTextA(hwnd(), kToolbarTitle);
  // The template asks for a system-modal window; say topmost outright.
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  OleInitialize(nullptr);
  dialog_.initialiseBeforeSystemMenu();
  extendSystemMenu();
  dialog_.initialiseAfterSystemMenu();
}

void ToolbarWindow::createTooltips() {
  tooltip_ = ui::createTooltipControl(hwnd(), instance());
  if (!tooltip_) return;
  for (const Tooltip& tip : kTooltips) ui::addTool(tooltip_, hwnd(), item(tip.id), tip.text);
}

void ToolbarWindow::extendSystemMenu() {
  HMENU menu = GetSystemMenu(hwnd(), FALSE);
  if (!menu) return;
  UINT position = 1;  // after the first standard item
  InsertMenuA(menu, position++, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  InsertMenuA(menu, position++, MF_BYPOSITION | MF_STRING, IDM_PATH_SETTINGS,
              loadString(instance(), IDS_MENU_SETTINGS).c_str());
  InsertMenuA(menu, position++, MF_BYPOSITION | MF_STRING, IDM_GUIDANCE_SETTINGS,
              loadString(instance(), IDS_MENU_NAVI).c_str());
  InsertMenuA(menu, position++, MF_BYPOSITION | MF_STRING, IDM_RECEIVER_SETTINGS,
              loadString(instance(), IDS_MENU_RECEIVER).c_str());
  const std::string version = loadString(instance(), IDS_MENU_VERSION);
  if (!version.empty()) {
    InsertMenuA(menu, position++, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    InsertMenuA(menu, position++, MF_BYPOSITION | MF_STRING, IDM_ABOUT, version.c_str());
    InsertMenuA(menu, position++, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  }
}

void ToolbarWindow::paintMinimised() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd(), &paint);
  SendMessageA(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon_);
  EndPaint(hwnd(), &paint);
}

bool ToolbarWindow::handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  switch (message) {
    case WM_INITDIALOG:
      onInitDialog();
      result = TRUE;
      return true;
    case WM_COMMAND:
      if (!dialog_.onCommandMessage(LOWORD(wParam), HIWORD(wParam))) finish();
      return true;
    case WM_CLOSE:
      dialog_.onCancel();
      finish();
      return true;
    case WM_SYSCOMMAND:
      return dialog_.onSystemCommand(static_cast<int>(wParam));
    case WM_TIMER:
      dialog_.onTimer(static_cast<int>(wParam));
      return false;
    case toolbar_message::kStartTimer:
      SetTimer(hwnd(), wParam, static_cast<UINT>(lParam), nullptr);
      return true;
    case toolbar_message::kStopTimer:
      KillTimer(hwnd(), wParam);
      return true;
    case toolbar_message::kShowWaypoint:
      dialog_.onShowWaypoint();
      return true;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      dialog_.onControlColour();
      return false;  // the dialog chooses the brush as usual
    case WM_DRAWITEM: {
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      const auto button = buttons_.find(static_cast<int>(draw->CtlID));
      if (button == buttons_.end()) return false;
      button->second->draw(*draw);
      result = TRUE;
      return true;
    }
    case WM_PAINT:
      if (!IsIconic(hwnd())) return false;
      paintMinimised();
      return true;
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<INT_PTR>(icon_);
      return true;
    case WM_COPYDATA: {
      const CopyDataObserver observer = copyDataObserver();
      if (!observer) return false;
      const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      result = observer(ctx_, std::string_view(static_cast<const char*>(data.lpData), data.cbData));
      return true;
    }
    default:
      return false;
  }
}

void ToolbarWindow::loadBitmapSet(int id, const char* set, bool withDisabled) {
  auto& button = buttons_[id];
  if (!button) button = std::make_unique<ui::BitmapButton>();
  button->loadSet(instance(), set, withDisabled);
  InvalidateRect(item(id), nullptr, TRUE);
}

void ToolbarWindow::enable(int id, bool enabled) { EnableWindow(item(id), enabled ? TRUE : FALSE); }

void ToolbarWindow::focus(int id) { SetFocus(item(id)); }

void ToolbarWindow::setWaypointField(int value) {
  SetDlgItemInt(hwnd(), IDC_WAYPOINT_FIELD, static_cast<UINT>(value), TRUE);
}

std::optional<int> ToolbarWindow::waypointField() {
  BOOL ok = FALSE;
  const int value = static_cast<int>(GetDlgItemInt(hwnd(), IDC_WAYPOINT_FIELD, &ok, TRUE));
  if (!ok) return std::nullopt;
  return value;
}

int ToolbarWindow::showStatus(int templateId) {
  auto popup = std::make_unique<StatusPopup>(instance(), templateId);
  if (!popup->createModeless(hwnd())) return 0;
  const int token = nextPopupToken_++;
  popups_[token] = std::move(popup);
  return token;
}

void ToolbarWindow::closeStatus(int token) { popups_.erase(token); }

void ToolbarWindow::showAbout() {
  AboutDialog about(instance());
  about.runModal(hwnd());
}

void ToolbarWindow::openHelp() {
  const std::string help = besideProgram(kHelpFile);
  ShellExecuteA(hwnd(), "open", help.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void ToolbarWindow::showError(const std::string& text) { ui::showMessage(hwnd(), text.c_str()); }

namespace {

bool ownedByThisThread(HWND window) {
  return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

}  // namespace
int ToolbarWindow::showPicture(const std::string& pictureFile, const std::string& caption) {
  return openPicturePopup(instance(), pictureFile, caption);
}

void ToolbarWindow::closePicture(int token) { closePicturePopup(token); }
// The settings dialogs open over the toolbar; the phrases and the voice
// properties over the dialog whose button opened them, when there is one.
HWND ToolbarWindow::activeOwner() const {
  HWND active = GetActiveWindow();
  return active ? active : hwnd();
}

bool ToolbarWindow::runPathSettings(PathSettings& values) {
  PathSettingsDialog dialog(instance(), values);
  return dialog.runModal(hwnd()) == IDOK;
}

bool ToolbarWindow::runGuidanceSettings(GuidanceSettings& values,
                                        const std::function<void()>& openPhrases) {
  GuidanceSettingsDialog dialog(instance(), values, openPhrases);
  return dialog.runModal(hwnd()) == IDOK;
}

bool ToolbarWindow::runGuidePhrases(GuidePhrases& values,
                                    const std::function<void()>& openVoiceProperties) {
  GuidePhraseDialog dialog(instance(), values, openVoiceProperties);
  return dialog.runModal(activeOwner()) == IDOK;
}

bool ToolbarWindow::runVoiceProperties(VoiceChoice& values) {
  VoicePropertiesDialog dialog(instance(), values);
  return dialog.runModal(activeOwner()) == IDOK;
}

bool ToolbarWindow::runSapiVoiceProperties(
    SapiVoiceChoice& values, const std::function<void(const SapiVoiceChoice&)>& tryVoice) {
  SapiVoiceDialog dialog(instance(), values, tryVoice);
  return dialog.runModal(activeOwner()) == IDOK;
}

bool ToolbarWindow::runReceiverSettings(ReceiverSettings& values,
                                        const std::vector<std::string>& serialPorts,
                                        const ReceiverTestRun& runTest) {
  ReceiverSettingsDialog dialog(instance(), values, serialPorts, runTest);
  return dialog.runModal(hwnd()) == IDOK;
}

void ToolbarWindow::start(int id, int periodMs) {
  const HWND window = sharedWindow_.load();
  if (!window) return;
  if (ownedByThisThread(window)) {
    SetTimer(window, static_cast<UINT_PTR>(id), static_cast<UINT>(periodMs), nullptr);
  } else {
    PostMessageA(window, toolbar_message::kStartTimer, static_cast<WPARAM>(id), periodMs);
  }
}

void ToolbarWindow::stop(int id) {
  const HWND window = sharedWindow_.load();
  if (!window) return;
  if (ownedByThisThread(window)) {
    KillTimer(window, static_cast<UINT_PTR>(id));
  } else {
    PostMessageA(window, toolbar_message::kStopTimer, static_cast<WPARAM>(id), 0);
  }
}

}  // namespace tabiro
