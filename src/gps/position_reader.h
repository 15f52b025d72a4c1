// positionReader: Navin' You's speed, latitude and longitude, read from its
// status bar every 400 ms into GpsFix while positionReaderRun is set. Each
// cycle is published through the shared fix signal, so that the guidance
// engine runs one pass per fix.
#pragma once

#include <cstdint>

#include "core/app_context.h"

namespace tabiro {

constexpr int kPositionReaderCycleMs = 400;

// One cycle: status bar parts 2, 3 and 4 into GpsFix, then the fix published.
void readPositionOnce(AppContext& ctx);

// The worker: cycles until positionReaderRun is cleared or a newer reader
// was started (`start` is the start number it was given), at least one.
void positionReader(AppContext& ctx, std::int32_t start);

// Sets positionReaderRun and starts a reader. A reader from an earlier start
// that is still in its last cycle ends after it instead of running beside
// the new one, even when the flag is set again meanwhile.
void startPositionReader(AppContext& ctx);

}  // namespace tabiro
