// Stand-in for the audio error boxes a music player leaves behind: top-level
// windows titled "Error" or "Error Initializing Audio", each with a button
// IDCANCEL, that close on WM_COMMAND IDCANCEL (or refuse to, for a number of times or
// for ever), or hang with their messages unread. The program ends when its
// last box has closed.
#include <string>

#include "stub.h"

namespace {

const char kBoxClass[] = "AudioErrorBox";
constexpr int kCancel = 2;

int g_open = 0;
long long g_refusals = 0;  // per box; negative: never close

struct Box {
  std::string name;
  HWND button = nullptr;
  long long refusalsLeft = 0;
};

Box* boxOf(HWND hwnd) { return reinterpret_cast<Box*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }

void onCancel(HWND hwnd, Box& box, LPARAM control) {
  const char* from = reinterpret_cast<HWND>(control) == box.button ? "button handle" : "not the button";
  if (box.refusalsLeft != 0) {
    if (box.refusalsLeft > 0) --box.refusalsLeft;
    stub::logEvent(box.name.c_str(), "cancel refused (%s)", from);
    return;
  }
  stub::logEvent(box.name.c_str(), "cancel (%s)", from);
  DestroyWindow(hwnd);
}

LRESULT CALLBACK boxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Box* box = boxOf(hwnd);
  if (box) {
    if (message == WM_COMMAND && LOWORD(wParam) == kCancel) {
      onCancel(hwnd, *box, lParam);
      return 0;
    }
    if (message == WM_DESTROY) {
      stub::logEvent(box->name.c_str(), "closed");
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      delete box;
      if (--g_open == 0) PostQuitMessage(0);
    }
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void openBox(const char* title, const std::string& name, int index) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  int offset = 30 * index;
  HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, kBoxClass, title, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                              300 + offset, 250 + offset, 280, 130, nullptr, nullptr, instance, nullptr);
  CreateWindowExA(0, "STATIC", "The audio device could not be opened.", WS_CHILD | WS_VISIBLE, 12, 12, 250, 20,
                  hwnd, nullptr, instance, nullptr);
  Box* box = new Box{name, nullptr, g_refusals};
  box->button = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 100, 55,
                                80, 24, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCancel)), instance,
                                nullptr);
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
  ++g_open;
  stub::watchWindow(hwnd, box->name.c_str());
  stub::logEvent(box->name.c_str(), "opened \"%s\" button 0x%llx", title,
                 static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(box->button)));
}

constexpr long long kMostBoxes = 50;

long long boxCount(const stub::Args& args, const char* name) {
  long long n = args.integer(name, 1);
  return n < 0 ? 0 : n > kMostBoxes ? kMostBoxes : n;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  stub::Args args = stub::Args::fromProcess();
  stub::openLog(args.value("log"));
  stub::reportUnknownSwitches(args, {"log", "error", "init-error", "refuse", "hang"});
  // A bare --error or --init-error opens one box; no switch at all, one "Error".
  long long errors = args.has("error") ? boxCount(args, "error") : args.has("init-error") ? 0 : 1;
  long long initErrors = args.has("init-error") ? boxCount(args, "init-error") : 0;
  // A bare --refuse never closes; --refuse N closes on the (N+1)th cancel.
  g_refusals = args.has("refuse") ? args.integer("refuse", -1) : 0;

  WNDCLASSA wc = {0, boxProc, 0, 0, instance, nullptr, LoadCursor(nullptr, IDC_ARROW),
                  reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr, kBoxClass};
  RegisterClassA(&wc);
  int index = 0;
  for (long long i = 1; i <= errors; ++i) openBox("Error", "error" + std::to_string(i), index++);
  for (long long i = 1; i <= initErrors; ++i)
    openBox("Error Initializing Audio", "initerror" + std::to_string(i), index++);
  if (g_open == 0) return 0;
  if (args.has("hang")) {
    // A program that has stopped reading its messages: the boxes stay, and
    // every message sent to them waits for ever.
    stub::logEvent("errorbox", "hung");
    Sleep(INFINITE);
  }
  return stub::runMessageLoop();
}
