// Tabiro2.exe: builds the adapters and runs the toolbar until it ends.
#include <windows.h>
#include <commctrl.h>

#include "app/settings_store.h"
#include "app/shared_state.h"
#include "app/win32/toolbar_window.h"
#include "platform/win32/adapters_win32.h"
#include "speech/speech_control.h"
#include "speech/win32/speech_dispatch_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Raw Win32 has no control container or 3-D switch to enable: the common
  // controls are all the toolbar needs.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  using namespace tabiro;
  // Everything a detached worker can reach (the ports, the profile, the
  // shared state and the toolbar's context) is made once and never
  // destroyed: a reader, log writer, engine, picture worker or responder
  // still running when the toolbar ends must not touch freed memory. The
  // exit paths have released the speech control already.
  auto* state = new SharedState;
  auto* speechDispatch = new Win32SpeechDispatch;
  auto* speech = new SpeechControl(*speechDispatch);
  auto* desktop = new Win32Desktop;
  auto* clock = new Win32Clock;
  auto* sound = new Win32Sound;
  auto* launcher = new Win32Launcher;
  auto* workers = new ThreadWorkers;
  auto* settings = new SettingsStore(profilePath());
  auto* toolbar = new ToolbarWindow(instance, {*desktop, *clock, *sound, *launcher, *workers},
                                    *settings, *state, *speech);
  toolbar->run();
  return 0;
}
