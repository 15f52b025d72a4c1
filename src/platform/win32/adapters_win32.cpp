#include "platform/win32/adapters_win32.h"

#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <shlobj.h>

#include <thread>

namespace tabiro {

namespace {

HWND h(WindowHandle w) { return reinterpret_cast<HWND>(w); }
WindowHandle w(HWND h) { return reinterpret_cast<WindowHandle>(h); }

BOOL CALLBACK collect(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<WindowHandle>*>(list)->push_back(w(window));
  return TRUE;
}

// Bounds a read of another process's status bar, so a hung map program
// cannot stop the reader for ever.
constexpr UINT kStatusReadTimeoutMs = 1000;
constexpr SIZE_T kStatusTextBytes = 256;

}  // namespace

WindowHandle Win32Desktop::findWindow(const char* className, const char* title) {
  return w(FindWindowA(className, title));
}

WindowHandle Win32Desktop::findChild(WindowHandle parent, WindowHandle after,
                                     const char* className, const char* title) {
  return w(FindWindowExA(h(parent), h(after), className, title));
}

std::vector<WindowHandle> Win32Desktop::topLevelWindows() {
  std::vector<WindowHandle> windows;
  EnumWindows(collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

WindowHandle Win32Desktop::firstChild(WindowHandle window) {
  return window ? w(GetWindow(h(window), GW_CHILD)) : kNoWindow;
}

WindowHandle Win32Desktop::nextSibling(WindowHandle window) {
  return window ? w(GetWindow(h(window), GW_HWNDNEXT)) : kNoWindow;
}

WindowHandle Win32Desktop::dialogItem(WindowHandle dialog, int id) {
  return w(GetDlgItem(h(dialog), id));
}

bool Win32Desktop::exists(WindowHandle window) { return IsWindow(h(window)) != FALSE; }

std::string Win32Desktop::windowText(WindowHandle window, int maxChars) {
  if (!window || maxChars <= 0) return {};
  std::string text(static_cast<std::size_t>(maxChars), '\0');
  const int length = GetWindowTextA(h(window), text.data(), maxChars);
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

std::intptr_t Win32Desktop::send(WindowHandle target, unsigned message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
  // Commands wait until the map program has handled them, as they must.
  return SendMessageA(h(target), message, wParam, lParam);
}

void Win32Desktop::post(WindowHandle target, unsigned message, std::uintptr_t wParam,
                        std::intptr_t lParam) {
  PostMessageA(h(target), message, wParam, lParam);
}

void Win32Desktop::setForeground(WindowHandle window) { SetForegroundWindow(h(window)); }

void Win32Desktop::bringToTop(WindowHandle window) { BringWindowToTop(h(window)); }

void Win32Desktop::show(WindowHandle window, int showMode) { ShowWindow(h(window), showMode); }

ScreenRect Win32Desktop::windowRect(WindowHandle window) {
  RECT r{};
  GetWindowRect(h(window), &r);
  return {r.left, r.top, r.right, r.bottom};
}

void Win32Desktop::moveWindow(WindowHandle window, int x, int y, int width, int height) {
  MoveWindow(h(window), x, y, width, height, TRUE);
}

int Win32Desktop::screenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

std::string Win32Desktop::statusBarText(WindowHandle statusBar, int part) {
  if (!statusBar) return {};
  // The text is written into memory of the status bar's own process.
  DWORD pid = 0;
  GetWindowThreadProcessId(h(statusBar), &pid);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return {};
  std::string text;
  void* remote =
      VirtualAllocEx(process, nullptr, kStatusTextBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (remote) {
    char buffer[kStatusTextBytes] = {};
    WriteProcessMemory(process, remote, buffer, sizeof buffer, nullptr);
    DWORD_PTR length = 0;
    if (SendMessageTimeoutA(h(statusBar), SB_GETTEXTLENGTHA, part, 0, SMTO_ABORTIFHUNG,
                            kStatusReadTimeoutMs, &length) &&
        LOWORD(length) < kStatusTextBytes &&
        SendMessageTimeoutA(h(statusBar), SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remote),
                            SMTO_ABORTIFHUNG, kStatusReadTimeoutMs, nullptr) &&
        ReadProcessMemory(process, remote, buffer, sizeof buffer - 1, nullptr)) {
      text.assign(buffer);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

std::optional<std::string> Win32Desktop::menuItemText(WindowHandle window, int topIndex,
                                                      int subIndex, int maxChars) {
  HMENU menu = GetMenu(h(window));
  if (!menu || topIndex < 0 || topIndex >= GetMenuItemCount(menu)) return std::nullopt;
  if (subIndex >= 0) {
    menu = GetSubMenu(menu, topIndex);
    if (!menu || subIndex >= GetMenuItemCount(menu)) return std::nullopt;
  }
  std::string text(static_cast<std::size_t>(maxChars), '\0');
  const int length = GetMenuStringA(menu, static_cast<UINT>(subIndex >= 0 ? subIndex : topIndex),
                                    text.data(), maxChars, MF_BYPOSITION);
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

std::int64_t Win32Clock::nowMs() { return static_cast<std::int64_t>(GetTickCount64()); }

void Win32Clock::sleep(int ms) { Sleep(static_cast<DWORD>(ms)); }

LocalTime Win32Clock::localTime() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

void Win32Sound::playResource(const char* name) {
  PlaySoundA(name, nullptr, SND_RESOURCE | SND_SYNC);
}

void Win32Sound::playFile(const std::string& fileName) {
  // A missing file plays nothing: no default beep in its place.
  PlaySoundA(fileName.c_str(), nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT);
}

bool Win32Launcher::launch(const std::string& commandLine, int showMode) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showMode);
  PROCESS_INFORMATION process{};
  std::string line = commandLine;  // CreateProcessA may write into it
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void ThreadWorkers::start(const char*, std::function<void()> body) {
  std::thread(std::move(body)).detach();
}

std::string profilePath() {
  char appData[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string name(exe);
  const std::size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  const std::string dir = std::string(appData) + "\\Tabiro2";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir + "\\" + name + ".ini";
}

}  // namespace tabiro
