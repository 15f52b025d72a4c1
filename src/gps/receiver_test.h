// The settings dialog's "受信テスト": the receiver the values name, opened
// for a few seconds, and what came from it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gps/coordinates.h"
#include "gps/receiver_settings.h"
#include "platform/ports.h"

namespace tabiro {

constexpr int kReceiverTestMs = 5000;

struct ReceiverTestReport {
  // Why nothing useful came; None when at least one valid fix came.
  enum class Failure { None, PortAbsent, PortInUse, Unreachable, NoData, NoFix };
  Failure failure = Failure::None;
  int sentences = 0;   // lines with a good checksum
  int validFixes = 0;  // RMC sentences that make a fix
  std::optional<Coordinates> lastPosition;  // WGS84, as the receiver gives it
  std::optional<int> lastSpeedKmh;
  bool operator==(const ReceiverTestReport&) const = default;
};

// Opens the source of `values` (serial or TCP; the status-bar source has
// nothing to test and reports NoData at once), reads for `durationMs` on the
// caller's thread and closes it. Returns within durationMs plus the open's
// own bound.
ReceiverTestReport testReceiver(ReceiverLinks& links, Clock& clock, const ReceiverSettings& values,
                                int durationMs);

// The report as Japanese lines (UTF-8 source, Shift-JIS at run time) for
// the dialog to show one per line.
std::vector<std::string> receiverTestLines(const ReceiverTestReport& report);

}  // namespace tabiro
