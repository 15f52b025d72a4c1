// One of each fake, a profile in a fresh temporary directory and the shared
// state, put together as the AppContext a handler takes:
//
//   TestContext t;
//   const WindowHandle atlas = t.desktop.add("ProAtlasFrame", "ProAtlas");
//   postAtlasCommand(t.ctx, kAtlasGpsOff);
//   EXPECT_THAT(t.log.messages(), ElementsAre(PostedCommand(atlas, kAtlasGpsOff)));
#pragma once

#include "core/app_context.h"
#include "core/settings_store.h"
#include "core/shared_state.h"
#include "fakes/action_log.h"
#include "fakes/fake_desktop.h"
#include "fakes/fake_ports.h"
#include "fakes/fake_receiver.h"
#include "fakes/temp_dir.h"

namespace tabiro::testing {

struct TestContext {
  TestContext();
  TestContext(const TestContext&) = delete;
  TestContext& operator=(const TestContext&) = delete;

  ActionLog log;
  FakeDesktop desktop{log};
  FakeClock clock{log};
  FakeTimers timers{log};
  FakeToolbarView view{log};
  FakePopups popups{log};
  FakeSound sound{log};
  FakeLauncher launcher{log};
  FakeWorkers workers{log};
  FakeAudioSessions audio{log};
  FakeReceiverLinks receivers{log};
  TempDir dir;  // removed with the profile in it
  SettingsStore settings;
  SharedState state;
  AppContext ctx;
};

}  // namespace tabiro::testing
