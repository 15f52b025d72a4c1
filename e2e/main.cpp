// The end-to-end suite's entry.
#include "harness.h"

int main(int argc, char** argv) {
  // A crashing program under test must end, not wait in an error box; the
  // programs started here inherit this.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
