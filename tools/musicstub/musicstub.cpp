// Stand-in for the two music players the toolbar silences during an
// announcement. --player winamp (default): a "Winamp v1.x" window that answers
// the state, position and jump requests and obeys play and stop.
// --player l3: a "Windows Layer III Player" window with its "Track
// information" window, stop, next track and play. Every message is logged.
#include <string>

#include "stub.h"

namespace {

constexpr WORD kCancel = 2;

// Winamp's requests (WM_USER, the request in lParam) and buttons.
constexpr LPARAM kWinampGetState = 104;     // 0 stopped, 1 playing, 3 paused
constexpr LPARAM kWinampGetPosition = 105;  // ms into the track
constexpr LPARAM kWinampJump = 106;         // to wParam ms; 0 done, -1 refused
constexpr WORD kWinampPlay = 40045;
constexpr WORD kWinampStop = 40047;

// Layer III Player commands.
constexpr WORD kL3Play = 40010;
constexpr WORD kL3Stop = 40011;
constexpr WORD kL3NextTrack = 40014;
constexpr WORD kL3TrackInfo = 40016;
constexpr int kTrackNumberControl = 1034;

const char kTrackInfoClass[] = "L3TrackInformation";

struct Winamp {
  LRESULT state = 1;
  LRESULT positionMs = 95000;
  bool refuseJump = false;
} g_winamp;

struct L3Player {
  int track = 3;
  bool trackInfoWindow = true;  // false: 40016 opens nothing
} g_l3;

void setWinampState(LRESULT state) {
  g_winamp.state = state;
  stub::logEvent("winamp", "state %d", static_cast<int>(state));
}

LRESULT CALLBACK winampProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) {
    switch (lParam) {
      case kWinampGetState: return g_winamp.state;
      case kWinampGetPosition: return g_winamp.positionMs;
      case kWinampJump:
        if (g_winamp.refuseJump) {
          stub::logEvent("winamp", "jump to %llu refused", static_cast<unsigned long long>(wParam));
          return -1;
        }
        g_winamp.positionMs = static_cast<LRESULT>(wParam);
        stub::logEvent("winamp", "jump to %llu", static_cast<unsigned long long>(wParam));
        return 0;
    }
    return 0;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == kWinampPlay) {
    setWinampState(1);
    return 0;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == kWinampStop) {
    setWinampState(0);
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The track information window exists only between 40016 and its Cancel, and
// is created before 40016 returns so that a sender finds it at once.
void openTrackInformation(HWND player) {
  if (!g_l3.trackInfoWindow) {
    stub::logEvent("l3player", "track information not shown");
    return;
  }
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND info = CreateWindowExA(0, kTrackInfoClass, "Track information", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE,
                              460, 160, 260, 120, player, nullptr, instance, nullptr);
  // A static control keeps its text as the window text, so both
  // GetWindowText and WM_GETTEXT from another process read it.
  std::string number = std::to_string(g_l3.track);
  CreateWindowExA(0, "STATIC", number.c_str(), WS_CHILD | WS_VISIBLE, 10, 10, 120, 22, info,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTrackNumberControl)), instance, nullptr);
  stub::watchWindow(info, "trackinfo");
  stub::logEvent("trackinfo", "opened track %d", g_l3.track);
}

LRESULT CALLBACK trackInfoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message == WM_COMMAND && LOWORD(wParam) == kCancel) || message == WM_CLOSE) {
    DestroyWindow(hwnd);
    stub::logEvent("trackinfo", "closed");
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK l3Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    switch (LOWORD(wParam)) {
      case kL3TrackInfo:
        openTrackInformation(hwnd);
        return 0;
      case kL3Stop:  // stopping rewinds to the first track
        g_l3.track = 1;
        stub::logEvent("l3player", "stopped");
        return 0;
      case kL3NextTrack:
        ++g_l3.track;
        stub::logEvent("l3player", "track %d", g_l3.track);
        return 0;
      case kL3Play:
        stub::logEvent("l3player", "playing track %d", g_l3.track);
        return 0;
    }
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void registerClass(const char* name, WNDPROC proc, HINSTANCE instance) {
  WNDCLASSA wc = {0, proc, 0, 0, instance, nullptr, LoadCursor(nullptr, IDC_ARROW),
                  reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr, name};
  RegisterClassA(&wc);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  stub::Args args = stub::Args::fromProcess();
  stub::openLog(args.value("log"));
  stub::reportUnknownSwitches(args, {"log", "player", "state", "position", "refuse-jump", "track",
                                     "no-track-info"});
  bool l3 = args.value("player", "winamp") == "l3";
  HWND player;
  if (l3) {
    g_l3.track = static_cast<int>(args.integer("track", g_l3.track));
    g_l3.trackInfoWindow = !args.has("no-track-info");
    registerClass("Windows Layer III Player", l3Proc, instance);
    registerClass(kTrackInfoClass, trackInfoProc, instance);
    player = CreateWindowExA(0, "Windows Layer III Player", "Layer III Player", WS_OVERLAPPEDWINDOW, 60, 420,
                             300, 120, nullptr, nullptr, instance, nullptr);
  } else {
    g_winamp.state = static_cast<LRESULT>(args.integer("state", g_winamp.state));
    g_winamp.positionMs = static_cast<LRESULT>(args.integer("position", g_winamp.positionMs));
    g_winamp.refuseJump = args.has("refuse-jump");
    registerClass("Winamp v1.x", winampProc, instance);
    player = CreateWindowExA(0, "Winamp v1.x", "Winamp", WS_OVERLAPPEDWINDOW, 60, 420, 275, 116, nullptr,
                             nullptr, instance, nullptr);
  }
  const char* name = l3 ? "l3player" : "winamp";
  stub::watchWindow(player, name);
  ShowWindow(player, show);
  stub::logEvent(name, "ready");
  return stub::runMessageLoop();
}
