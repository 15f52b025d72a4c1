// positionReader: Navin' You's speed, latitude and longitude, read from its
// status bar every 400 ms into GpsFix while positionReaderRun is set. Each
// cycle is published through the shared fix signal, so that the guidance
// engine runs one pass per fix.
#pragma once

#include <cstdint>
#include <optional>

#include "core/app_context.h"
#include "gps/coordinates.h"
#include "gps/status_bar.h"

namespace tabiro {

constexpr int kPositionReaderCycleMs = 400;

// One cycle: status bar parts 2, 3 and 4 onto the shared fix. A position
// read is published; none (no Navin' You, or one that has stopped answering)
// marks the fix as gone, so that neither the log nor the engine takes the
// last position for a fresh one.
void readPositionOnce(AppContext& ctx, HeadingFromMoves& heading);

// A position to store as a new camera: the current fix while a source has
// one, else (with the status-bar source) the status bar read once now, with
// no heading then (a single position has none); nullopt when there is no
// position at all.
struct PositionNow {
  Coordinates position;
  std::optional<std::int32_t> heading;
};
std::optional<PositionNow> positionNow(AppContext& ctx);

// The worker: cycles until positionReaderRun is cleared or a newer reader
// was started (`start` is the start number it was given), at least one. Its
// first heading is measured from the last position of the shared fix; when
// it ends as the current reader, the fix is no longer current.
void positionReader(AppContext& ctx, std::int32_t start);

// Whether guidance start and end start and stop the reader: with the
// status-bar source and no track log ("SaveTRK" 0). A receiver's reader is
// the GPS button's, whatever guidance does.
bool guidanceOwnsReader(const SettingsStore& settings);

// Sets positionReaderRun and starts a reader: of the status bar, or of the
// GPS receiver when the profile names one. A reader from an earlier start
// that is still in its last cycle ends after it instead of running beside
// the new one, even when the flag is set again meanwhile.
void startPositionReader(AppContext& ctx);

}  // namespace tabiro
