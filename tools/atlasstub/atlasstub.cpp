// ATLAS-family stand-in: a frame recognised by its class ("ProAtlas98Frame"
// or "ProAtlasFrame") or by a title beginning "ATLAS", with the map view
// nested as the toolbar expects it: frame -> first child -> first child, one
// level deeper for the title-recognised window. Logs every message and ends
// on the application-exit command.
#include "stub.h"

namespace {

const char kInnerClass[] = "AtlasStubPane";
constexpr UINT_PTR kViewTimer = 1;
constexpr int kCmdExit = 57665;

struct Config {
  const char* frameClass;
  std::string title;
  int levels;  // windows between the frame and the view
  int viewDelayMs;
};

Config g_config;
HWND g_innermost = nullptr;  // the pane that receives the view

LRESULT CALLBACK paneProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    HWND child = GetWindow(hwnd, GW_CHILD);
    if (child) MoveWindow(child, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
  }
  if (message == WM_LBUTTONDOWN) SetFocus(hwnd);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND createPane(HWND parent, const char* title, const char* logName) {
  RECT r;
  GetClientRect(parent, &r);
  HWND pane = CreateWindowExA(0, kInnerClass, title, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, r.right,
                              r.bottom, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  stub::watchWindow(pane, logName);
  return pane;
}

LRESULT CALLBACK frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      // The panes between frame and view exist at once; the view itself
      // (the map) only after the configured delay.
      HWND parent = hwnd;
      static const char* const kNames[] = {"client", "pane"};
      for (int i = 0; i < g_config.levels; ++i) parent = createPane(parent, "", kNames[i]);
      g_innermost = parent;
      SetTimer(hwnd, kViewTimer, static_cast<UINT>(g_config.viewDelayMs), nullptr);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kViewTimer) {
        KillTimer(hwnd, kViewTimer);
        createPane(g_innermost, "地図", "view");
        stub::logEvent("frame", "view ready");
        return 0;
      }
      break;
    case WM_SIZE: {
      HWND child = GetWindow(hwnd, GW_CHILD);
      if (child) MoveWindow(child, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == kCmdExit) {
        stub::logEvent("frame", "exit");
        DestroyWindow(hwnd);
        return 0;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// --kind 98 | frame | title
Config readConfig(const stub::Args& args) {
  std::string kind = args.value("kind", "98");
  Config c;
  if (kind == "title") {
    c = {"AtlasRDMainWindow", "ATLAS RD", 2, 0};
  } else if (kind == "frame") {
    c = {"ProAtlasFrame", "ProAtlas - 関東", 1, 0};
  } else {
    c = {"ProAtlas98Frame", "ProAtlas98 - 関東", 1, 0};
  }
  c.title = args.value("title", c.title);
  c.viewDelayMs = static_cast<int>(args.integer("view-delay", 200));
  return c;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  stub::Args args = stub::Args::fromProcess();
  stub::openLog(args.value("log"));
  stub::reportUnknownSwitches(args, {"log", "kind", "title", "view-delay"});
  g_config = readConfig(args);
  stub::registerWindowClass(instance, g_config.frameClass, frameProc);
  stub::registerWindowClass(instance, kInnerClass, paneProc);
  HWND frame = CreateWindowExA(0, g_config.frameClass, g_config.title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                               40, 60, 900, 640, nullptr, nullptr, instance, nullptr);
  if (!frame) return 1;
  stub::watchWindow(frame, "frame");
  ShowWindow(frame, show == SW_HIDE ? SW_SHOWNORMAL : show);
  UpdateWindow(frame);
  stub::logEvent("frame", "started");
  return stub::runMessageLoop();
}
