// Everything a handler or worker needs: the ports, the profile and the shared
// run-time state. The Win32 program builds one from the adapters; tests build
// one from the fakes.
#pragma once

#include "core/settings_store.h"
#include "core/shared_state.h"
#include "platform/ports.h"

namespace tabiro {

struct AppContext {
  Desktop& desktop;
  Clock& clock;
  Timers& timers;
  ToolbarView& view;
  Popups& popups;
  Sound& sound;
  Launcher& launcher;
  Workers& workers;
  AudioSessions& audio;
  ReceiverLinks& receivers;
  SettingsStore& settings;
  SharedState& state;
};

}  // namespace tabiro
