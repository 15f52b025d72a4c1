// The moments of an announcement's way from the fix to the voice, for the
// latency benchmark (scripts/bench-receiver). Nothing is recorded until a
// sink is installed: the Windows build installs one when the environment
// names a file (TABIRO_STAGE_LOG).
#pragma once

namespace tabiro {

// Called on the marking thread; it must be quick and safe from any thread.
using StageSink = void (*)(const char* stage);

void installStageSink(StageSink sink);

// One word for the moment, e.g. "chime".
void markStage(const char* stage);

}  // namespace tabiro
