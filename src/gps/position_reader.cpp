#include "gps/position_reader.h"

#include <mutex>
#include <string>
#include <utility>

#include "gps/receiver_reader.h"
#include "gps/receiver_settings.h"
#include "gps/status_bar.h"
#include "mapctl/map_commands.h"
#include "platform/stage_marks.h"

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

struct StatusTexts {
  std::string speed, latitude, longitude;
};

StatusTexts readStatusTexts(Desktop& desktop) {
  StatusTexts texts;
  if (const WindowHandle navin = desktop.findWindow(kNavinYouClass, nullptr)) {
    if (const WindowHandle bar = desktop.findChild(navin, kNoWindow, kStatusBarClass, nullptr)) {
      texts.speed = desktop.statusBarText(bar, kSpeedPart);
      // The parts are read one at a time while the map program may put up its
      // next fix between two reads: a latitude that still reads the same after
      // the longitude shows that both came from one fix. At the map program's
      // pace of a fix a second one more try is enough; two torn reads are no fix.
      for (int attempt = 0; attempt < 2; ++attempt) {
        const std::string latitude = desktop.statusBarText(bar, kLatitudePart);
        const std::string longitude = desktop.statusBarText(bar, kLongitudePart);
        if (desktop.statusBarText(bar, kLatitudePart) == latitude) {
          texts.latitude = latitude;
          texts.longitude = longitude;
          break;
        }
      }
    }
  }
  return texts;
}

}  // namespace

void readPositionOnce(AppContext& ctx, HeadingFromMoves& heading) {
  const StatusTexts texts = readStatusTexts(ctx.desktop);
  GpsFix fix = ctx.state.gpsFix.get();
  if (applyStatusTexts(fix, heading, texts.speed, texts.latitude, texts.longitude)) {
    markStage("fix");
    publishFix(ctx.state, std::move(fix));
  } else {
    markNoFix(ctx.state);
  }
}

std::optional<PositionNow> positionNow(AppContext& ctx) {
  if (const std::optional<GpsFix> fix = ctx.state.gpsFix.currentFix()) {
    return PositionNow{{fix->latitude, fix->longitude}, fix->heading};
  }
  // A receiver's position is its last fix or none: a status bar is no
  // source then, even if a map program shows one.
  if (readReceiverSettings(ctx.settings).source != PositionSource::StatusBar) return std::nullopt;
  const StatusTexts texts = readStatusTexts(ctx.desktop);
  const auto latitude = parseLatitude(texts.latitude);
  const auto longitude = parseLongitude(texts.longitude);
  if (!latitude || !longitude) return std::nullopt;
  return PositionNow{{latitude->value, longitude->value}, std::nullopt};
}

void positionReader(AppContext& ctx, std::int32_t start) {
  const GpsFix last = ctx.state.gpsFix.get();
  HeadingFromMoves heading({last.latitude, last.longitude});
  for (;;) {
    {
      const std::lock_guard<std::mutex> lock(cycleLock());
      if (!isCurrent(ctx, start)) return;
      readPositionOnce(ctx, heading);
    }
    ctx.clock.sleep(kPositionReaderCycleMs);
    if (load(ctx.state.positionReaderRun) != 1) break;
  }
  const std::lock_guard<std::mutex> lock(cycleLock());
  if (isCurrent(ctx, start)) markNoFix(ctx.state);
}

bool guidanceOwnsReader(const SettingsStore& settings) {
  return settings.readInt(key::kSaveTrk) == 0 &&
         readReceiverSettings(settings).source == PositionSource::StatusBar;
}

void startPositionReader(AppContext& ctx) {
  store(ctx.state.positionReaderRun, 1);
  const std::int32_t start = ctx.state.positionReaderStart.fetch_add(1) + 1;
  if (readReceiverSettings(ctx.settings).source != PositionSource::StatusBar) {
    ctx.workers.start("receiverReader", [&ctx, start] { receiverReader(ctx, start); });
    return;
  }
  ctx.workers.start("positionReader", [&ctx, start] { positionReader(ctx, start); });
}

}  // namespace tabiro
