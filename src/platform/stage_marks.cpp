#include "platform/stage_marks.h"

#include <atomic>

namespace tabiro {

namespace {

std::atomic<StageSink> installed{nullptr};

}  // namespace

void installStageSink(StageSink sink) { installed.store(sink); }

void markStage(const char* stage) {
  if (const StageSink sink = installed.load(std::memory_order_relaxed)) sink(stage);
}

}  // namespace tabiro
