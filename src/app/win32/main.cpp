// Tabiro2.exe: builds the adapters and runs the toolbar until it ends.
#include <windows.h>
#include <commctrl.h>

#include "core/settings_store.h"
#include "core/shared_state.h"
#include "app/win32/toolbar_window.h"
#include "gps/receiver_reader.h"
#include "guidance/signal_announcement.h"
#include "platform/win32/adapters_win32.h"
#include "platform/win32/audio_sessions_win32.h"
#include "platform/win32/receiver_links_win32.h"
#include "speech/speech_control.h"
#include "speech/win32/sapi_voice_win32.h"
#include "speech/win32/speech_dispatch_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Raw Win32 has no control container or 3-D switch to enable: the common
  // controls are all the toolbar needs.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  using namespace tabiro;
  installStageLogFromEnvironment();
  // Detached workers may still run while the process ends. Everything they
  // can reach (the ports, the profile, the shared state, the toolbar that
  // holds their context) lives as long as the process and is never
  // destroyed. The speech engines are the user-interface thread's alone:
  // they are destroyed at the end and let go of what they still hold.
  setSignalAnnouncer(&announceSignalChange);
  auto* state = new SharedState;
  Win32SpeechDispatch speechDispatch;
  SpeechControl speech(speechDispatch);
  Win32SapiVoice sapi;

  auto* desktop = new Win32Desktop;
  auto* clock = new Win32Clock;
  auto* sound = new Win32Sound;
  auto* launcher = new Win32Launcher;
  auto* workers = new ThreadWorkers;
  auto* audio = new Win32AudioSessions;
  auto* receivers = new Win32ReceiverLinks;
  auto* settings = new SettingsStore(profilePath());

  auto* toolbar = new ToolbarWindow(
      instance, {*desktop, *clock, *sound, *launcher, *workers, *audio, *receivers}, *settings,
      *state, speech, sapi);
  toolbar->run();
  // A receiver's reader lets go of its port before the process ends.
  stopGpsWorkers(*state);
  return 0;
}
