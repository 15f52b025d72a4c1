#include "gps/position_reader.h"

#include <mutex>
#include <string>

#include "gps/status_bar.h"
#include "mapctl/map_commands.h"

namespace tabiro {

namespace {

constexpr int kSpeedPart = 2;
constexpr int kLatitudePart = 3;
constexpr int kLongitudePart = 4;

// Two readers' cycles never overlap. Never destroyed: a reader may still be
// in its last cycle when the program ends.
std::mutex& cycleLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

bool isCurrent(AppContext& ctx, std::int32_t start) {
  return load(ctx.state.positionReaderStart) == start;
}

}  // namespace

void readPositionOnce(AppContext& ctx) {
  std::string speed, latitude, longitude;
  if (const WindowHandle navin = ctx.desktop.findWindow(kNavinYouClass, nullptr)) {
    if (const WindowHandle bar = ctx.desktop.findChild(navin, kNoWindow, kStatusBarClass, nullptr)) {
      speed = ctx.desktop.statusBarText(bar, kSpeedPart);
      latitude = ctx.desktop.statusBarText(bar, kLatitudePart);
      longitude = ctx.desktop.statusBarText(bar, kLongitudePart);
    }
  }
  applyStatusTexts(ctx.state.gpsFix, speed, latitude, longitude);
  ctx.state.fixes.publish();
}

void positionReader(AppContext& ctx, std::int32_t start) {
  for (;;) {
    {
      const std::lock_guard<std::mutex> lock(cycleLock());
      if (!isCurrent(ctx, start)) return;
      readPositionOnce(ctx);
    }
    ctx.clock.sleep(kPositionReaderCycleMs);
    if (load(ctx.state.positionReaderRun) != 1) return;
  }
}

void startPositionReader(AppContext& ctx) {
  store(ctx.state.positionReaderRun, 1);
  const std::int32_t start = ctx.state.positionReaderStart.fetch_add(1) + 1;
  ctx.workers.start("positionReader", [&ctx, start] { positionReader(ctx, start); });
}

}  // namespace tabiro
