#include "fakes/test_context.h"

#include "gps/receiver_reader.h"
#include "guidance/signal_announcement.h"

namespace tabiro::testing {

TestContext::TestContext()
    : settings(dir.file("Tabiro2.ini")),
      ctx{desktop, clock, timers, view, popups, sound, launcher, workers, audio, receivers, settings,
          state} {
  setSignalAnnouncer(&announceSignalChange);
}

}  // namespace tabiro::testing
