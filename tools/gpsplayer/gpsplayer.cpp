// Stand-in for the GPS player and the side view (SView) it starts: a
// "GPSPLAYER" window that opens or closes an "SViewClass" window on
// kCmdToggleSView, and an SView that changes its size on kCmdSViewSize. Both log every
// message they receive.
#include "stub.h"

namespace {

const char kPlayerClass[] = "GPSPLAYER";
const char kSViewClass[] = "SViewClass";
constexpr WORD kCmdToggleSView = 119;
constexpr WORD kCmdSViewSize = 14;
constexpr WORD kCmdReliefRelease = 4013;
constexpr UINT_PTR kOpenTimer = 1;

// SView alternates between these two sizes on every kCmdSViewSize.
const SIZE kSViewSizes[2] = {{320, 240}, {640, 480}};

HWND g_player = nullptr;
HWND g_sview = nullptr;
int g_sviewSize = 0;
UINT g_openDelayMs = 0;
bool g_openPending = false;

void openSView() {
  g_sviewSize = 0;
  g_sview = CreateWindowExA(0, kSViewClass, "SView", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 420, 120,
                            kSViewSizes[0].cx, kSViewSizes[0].cy, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  stub::watchWindow(g_sview, "sview");
  stub::logEvent("sview", "opened %dx%d", static_cast<int>(kSViewSizes[0].cx),
                 static_cast<int>(kSViewSizes[0].cy));
}

// kCmdToggleSView: close an open SView, cancel one that is still starting, or
// start one (after the configured delay, as the real viewer takes a while).
void toggleSView() {
  if (g_sview) {
    DestroyWindow(g_sview);
  } else if (g_openPending) {
    KillTimer(g_player, kOpenTimer);
    g_openPending = false;
    stub::logEvent("gpsplayer", "sview start cancelled");
  } else if (g_openDelayMs > 0) {
    g_openPending = true;
    SetTimer(g_player, kOpenTimer, g_openDelayMs, nullptr);
    stub::logEvent("gpsplayer", "sview starting in %u ms", g_openDelayMs);
  } else {
    openSView();
  }
}

LRESULT CALLBACK playerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kCmdToggleSView) {
        toggleSView();
        return 0;
      }
      if (LOWORD(wParam) == kCmdReliefRelease) {
        stub::logEvent("gpsplayer", "relief released");
        return 0;
      }
      break;
    case WM_TIMER:
      if (wParam == kOpenTimer) {
        KillTimer(hwnd, kOpenTimer);
        g_openPending = false;
        openSView();
        return 0;
      }
      break;
    case WM_DESTROY:
      if (g_sview) DestroyWindow(g_sview);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK sviewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kCmdSViewSize) {
        g_sviewSize = 1 - g_sviewSize;
        const SIZE& size = kSViewSizes[g_sviewSize];
        SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        stub::logEvent("sview", "size %dx%d", static_cast<int>(size.cx), static_cast<int>(size.cy));
        return 0;
      }
      break;
    case WM_DESTROY:
      g_sview = nullptr;
      stub::logEvent("sview", "closed");
      return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void registerClass(const char* name, WNDPROC proc, HINSTANCE instance) {
  WNDCLASSA wc = {0, proc, 0, 0, instance, nullptr, LoadCursor(nullptr, IDC_ARROW),
                  reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr, name};
  RegisterClassA(&wc);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  stub::Args args = stub::Args::fromProcess();
  stub::openLog(args.value("log"));
  stub::reportUnknownSwitches(args, {"log", "sview-delay", "sview-open"});
  g_openDelayMs = static_cast<UINT>(args.integer("sview-delay", 0) > 0 ? args.integer("sview-delay", 0) : 0);

  registerClass(kPlayerClass, playerProc, instance);
  registerClass(kSViewClass, sviewProc, instance);
  g_player = CreateWindowExA(0, kPlayerClass, "GPS Player", WS_OVERLAPPEDWINDOW, 40, 120, 320, 200,
                             nullptr, nullptr, instance, nullptr);
  stub::watchWindow(g_player, "gpsplayer");
  ShowWindow(g_player, show);
  if (args.has("sview-open")) openSView();
  stub::logEvent("gpsplayer", "ready");
  return stub::runMessageLoop();
}
