#include "stub.h"

#include <cstdarg>
#include <cstdio>
#include <map>

namespace stub {

namespace {

HANDLE g_log = INVALID_HANDLE_VALUE;
CRITICAL_SECTION g_lock;
bool g_lockReady = false;

// The queued message runMessageLoop is dispatching; the first window
// procedure call that matches it is the posted delivery, anything else is a
// send (from our own thread when InSendMessage says no).
MSG g_dispatching;
bool g_dispatchPending = false;

struct Watch {
  WNDPROC original;
  std::string name;
};
std::map<HWND, Watch> g_watches;

void writeLine(const char* text, int length) {
  if (g_log == INVALID_HANDLE_VALUE || length <= 0) return;
  EnterCriticalSection(&g_lock);
  DWORD written = 0;
  WriteFile(g_log, text, static_cast<DWORD>(length), &written, nullptr);
  LeaveCriticalSection(&g_lock);
}

LRESULT CALLBACK watchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto it = g_watches.find(hwnd);
  if (it == g_watches.end()) return DefWindowProcA(hwnd, message, wParam, lParam);
  WNDPROC original = it->second.original;
  logMessage(hwnd, it->second.name.c_str(), message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    g_watches.erase(it);
  }
  return CallWindowProcA(original, hwnd, message, wParam, lParam);
}

}  // namespace

void openLog(const std::string& path) {
  if (!g_lockReady) {
    InitializeCriticalSection(&g_lock);
    g_lockReady = true;
  }
  if (path.empty()) return;
  g_log = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void logMessage(HWND hwnd, const char* window, UINT message, WPARAM wParam, LPARAM lParam) {
  bool posted = false;
  if (!InSendMessage() && g_dispatchPending && g_dispatching.hwnd == hwnd && g_dispatching.message == message &&
      g_dispatching.wParam == wParam && g_dispatching.lParam == lParam) {
    posted = true;
    g_dispatchPending = false;
  }
  char line[256];
  int n = std::snprintf(line, sizeof line, "%llu %s %u %llu 0x%llx %s\n",
                        static_cast<unsigned long long>(GetTickCount64()), window, message,
                        static_cast<unsigned long long>(wParam),
                        static_cast<unsigned long long>(static_cast<ULONG_PTR>(lParam)), posted ? "posted" : "sent");
  writeLine(line, n < static_cast<int>(sizeof line) ? n : static_cast<int>(sizeof line) - 1);
}

void logEvent(const char* window, const char* format, ...) {
  char text[512];
  va_list ap;
  va_start(ap, format);
  std::vsnprintf(text, sizeof text, format, ap);
  va_end(ap);
  char line[640];
  int n = std::snprintf(line, sizeof line, "%llu %s event %s\n", static_cast<unsigned long long>(GetTickCount64()),
                        window, text);
  writeLine(line, n < static_cast<int>(sizeof line) ? n : static_cast<int>(sizeof line) - 1);
}

void reportUnknownSwitches(const Args& args, std::initializer_list<std::string_view> known) {
  for (const std::string& name : args.unknown(known)) logEvent("args", "unknown switch --%s", name.c_str());
}

void registerWindowClass(HINSTANCE instance, const char* name, WNDPROC proc, int background) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background + 1));
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

void watchWindow(HWND hwnd, const char* name) {
  if (!hwnd || g_watches.count(hwnd)) return;
  WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  g_watches[hwnd] = Watch{original, name};
  SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&watchProc));
}

int runMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    g_dispatching = msg;
    g_dispatchPending = true;
    DispatchMessageA(&msg);
    g_dispatchPending = false;
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace stub
