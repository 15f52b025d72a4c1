#include "fakes/test_context.h"

namespace tabiro::testing {

TestContext::TestContext()
    : settings(dir.file("Tabiro2.ini")),
      ctx{desktop, clock, timers, view, popups, sound, launcher, workers, audio, settings, state} {}

}  // namespace tabiro::testing
