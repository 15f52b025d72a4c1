// Tabiro2.exe: builds the adapters and runs the toolbar until it ends.
#include <windows.h>
#include <commctrl.h>

#include <memory>

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
  // Constructed in this order, destroyed in reverse: the speech wrapper
  // releases the control again at exit if it still holds it.
  auto state = std::make_unique<SharedState>();
  Win32SpeechDispatch speechDispatch;
  SpeechControl speech(speechDispatch);

  Win32Desktop desktop;
  Win32Clock clock;
  Win32Sound sound;
  Win32Launcher launcher;
  ThreadWorkers workers;
  SettingsStore settings(profilePath());

  ToolbarWindow toolbar(instance, {desktop, clock, sound, launcher, workers}, settings, *state,
                        speech);
  toolbar.run();
  return 0;
}
