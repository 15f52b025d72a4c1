#include "fakes/test_context.h"

namespace tabiro::testing {

TestContext::TestContext()
    : settings(dir.file("Tabiro2.ini")),
      ctx{desktop, clock, timers, view, popups, sound, launcher, workers, audio, receivers, settings,
          state} {}

}  // namespace tabiro::testing
