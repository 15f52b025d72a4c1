// receiverReader: positions straight from a GPS receiver on a serial port
// or over TCP, in place of Navin' You's status bar. Each fix is published
// the moment its RMC sentence arrives; silence is announced as lost signal
// and the first fix after it as signal back.
#pragma once

#include <cstdint>
#include <string>

#include "core/app_context.h"
#include "gps/nmea.h"
#include "gps/receiver_settings.h"

namespace tabiro {

// This long without a valid fix is a lost signal.
constexpr int kSignalLostMs = 3000;
// A receiver that is absent, refuses or vanished is tried again after this;
// one that has been silent this long is opened afresh.
constexpr int kReceiverReopenMs = 5000;
// Below this speed the course over ground is noise: the heading stays.
constexpr double kCourseMinKmh = 3;
// A link's read waits about this long for bytes.
constexpr int kReadSliceMs = 1000;

// Lost and back on the clock: lost once kSignalLostMs have passed since the
// last valid fix (or since the watch began), back at the first fix after.
class SignalWatch {
 public:
  enum class Change { None, Lost, Back };
  explicit SignalWatch(std::int64_t nowMs) : lastFixMs_(nowMs) {}
  Change fix(std::int64_t nowMs);
  Change tick(std::int64_t nowMs);

 private:
  std::int64_t lastFixMs_;
  bool lost_ = false;
};

// "35:41:22.5" / "139:45:10.3" as the status bar shows a position, from
// 1/256 arc-second; a south or west value gets a leading "-".
std::string coordinateText(std::int32_t value, int degreeDigits);

// The GpsFix of a receiver's fix: in the datum of the route and point
// files, speed rounded to km/h, heading the course over ground, or
// `previousHeading` while the car crawls or the course is empty.
GpsFix gpsFixFrom(const ReceivedFix& received, FileDatum datum, std::int32_t previousHeading);

// One read of `link`, appending to `bytes`; false when the link is broken.
// A read that comes back with nothing long before its slice is over (a port
// that vanished under an open handle reads so, without an error) is followed
// by a pause for the rest of the slice, so that a dead port costs no more
// than a silent one instead of a core.
bool readPaced(ReceiverLink& link, Clock& clock, std::string& bytes);

// The link the settings name; a status-bar source opens nothing (Absent).
LinkOpening openReceiver(ReceiverLinks& links, const ReceiverSettings& settings);

// How a lost (true) or returned fix is announced. The announcements stand
// above this area: the program sets this once before any reader runs;
// without it a change is not announced.
using SignalAnnouncer = void (*)(AppContext& ctx, bool lost);
void setSignalAnnouncer(SignalAnnouncer announcer);

// The worker, under positionReaderRun and positionReaderStart as the status
// bar reader: reads the receiver of the profile's settings until the flag is
// cleared or a newer reader was started, reopening it every
// kReceiverReopenMs while it is missing. Every read is bounded, so it ends
// within a read's second and a half.
void receiverReader(AppContext& ctx, std::int32_t start);

}  // namespace tabiro
