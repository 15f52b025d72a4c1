#include "gps/receiver_reader.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <utility>

#include "gps/datum.h"
#include "platform/stage_marks.h"

namespace tabiro {

namespace {

constexpr int kWaitSliceMs = 250;

std::atomic<SignalAnnouncer>& signalAnnouncer() {
  static std::atomic<SignalAnnouncer> announcer{nullptr};
  return announcer;
}


// One reader holds a receiver at a time: a new start waits for the reader
// of the last one to let go of the port (within a read) instead of finding
// it in use. Never destroyed: a reader may still run as the program ends.
std::mutex& linkLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

class Reading {
 public:
  Reading(AppContext& ctx, std::int32_t start)
      : ctx_(ctx),
        start_(start),
        settings_(readReceiverSettings(ctx.settings)),
        watch_(ctx.clock.nowMs()),
        heading_(ctx.state.gpsFix.get().heading) {}

  bool running() const {
    return load(ctx_.state.positionReaderRun) == 1 && load(ctx_.state.positionReaderStart) == start_;
  }

  void run() {
    while (running()) {
      if (readWhileLinked() != Ended::Silent) waitBeforeReopening();
    }
    if (load(ctx_.state.positionReaderStart) == start_) markNoFix(ctx_.state);
  }

 private:
  enum class Ended { NotOpened, Broken, Silent, Stopped };

  Ended readWhileLinked() {
    const std::lock_guard<std::mutex> lock(linkLock());
    if (!running()) return Ended::Stopped;
    const std::unique_ptr<ReceiverLink> link = openReceiver(ctx_.receivers, settings_).link;
    if (!link) return Ended::NotOpened;
    ctx_.state.receiverLink.set(link.get());
    const Ended ended = readLink(*link);
    ctx_.state.receiverLink.set(nullptr);
    link->close();
    return ended;
  }

  Ended readLink(ReceiverLink& link) {
    NmeaLineAssembler lines;
    NmeaFixReader fixes;
    std::int64_t lastSentenceMs = ctx_.clock.nowMs();
    std::string bytes;
    while (running()) {
      bytes.clear();
      const bool open = readPaced(link, ctx_.clock, bytes);
      const std::int64_t now = ctx_.clock.nowMs();
      for (const std::string& sentence : lines.feed(bytes)) {
        lastSentenceMs = now;
        if (const auto parsed = parseNmeaSentence(sentence)) {
          if (const auto fix = fixes.take(*parsed)) take(*fix);
        }
      }
      // A vanished port may read as endless empty reads, not as an error:
      // the watch tells the driver, and a port silent for long is opened
      // afresh, which finds a receiver plugged in again.
      notice(watch_.tick(now));
      if (!open) return Ended::Broken;
      if (now - lastSentenceMs >= kReceiverReopenMs) return Ended::Silent;
    }
    return Ended::Stopped;
  }

  void take(const ReceivedFix& received) {
    if (!running()) return;
    GpsFix fix = gpsFixFrom(received, settings_.datum, heading_);
    heading_ = fix.heading;
    markStage("fix");
    publishFix(ctx_.state, std::move(fix));
    notice(watch_.fix(ctx_.clock.nowMs()));
  }

  void waitBeforeReopening() {
    for (int waited = 0; waited < kReceiverReopenMs && running(); waited += kWaitSliceMs) {
      ctx_.clock.sleep(kWaitSliceMs);
      notice(watch_.tick(ctx_.clock.nowMs()));
    }
  }

  void notice(SignalWatch::Change change) {
    if (change == SignalWatch::Change::None || !running()) return;
    if (change == SignalWatch::Change::Lost) markNoFix(ctx_.state);
    if (const SignalAnnouncer announcer = signalAnnouncer().load()) {
      announcer(ctx_, change == SignalWatch::Change::Lost);
    }
  }

  AppContext& ctx_;
  const std::int32_t start_;
  const ReceiverSettings settings_;
  SignalWatch watch_;
  std::int32_t heading_;
};

}  // namespace

SignalWatch::Change SignalWatch::fix(std::int64_t nowMs) {
  lastFixMs_ = nowMs;
  if (!lost_) return Change::None;
  lost_ = false;
  return Change::Back;
}

SignalWatch::Change SignalWatch::tick(std::int64_t nowMs) {
  if (lost_ || nowMs - lastFixMs_ < kSignalLostMs) return Change::None;
  lost_ = true;
  return Change::Lost;
}

bool readPaced(ReceiverLink& link, Clock& clock, std::string& bytes) {
  const std::size_t before = bytes.size();
  const std::int64_t began = clock.nowMs();
  const bool open = link.read(bytes);
  const std::int64_t took = clock.nowMs() - began;
  if (open && bytes.size() == before && took < kReadSliceMs) {
    clock.sleep(static_cast<int>(kReadSliceMs - took));
  }
  return open;
}

std::string coordinateText(std::int32_t value, int degreeDigits) {
  const long long tenths = std::llround(std::abs(static_cast<double>(value)) * 10 / kUnitsPerSecond);
  char text[32];
  std::snprintf(text, sizeof text, "%s%0*lld:%02lld:%02lld.%lld", value < 0 ? "-" : "", degreeDigits,
                tenths / 36000, tenths / 600 % 60, tenths % 600 / 10, tenths % 10);
  return text;
}

GpsFix gpsFixFrom(const ReceivedFix& received, FileDatum datum, std::int32_t previousHeading) {
  const GeoDegrees position =
      datum == FileDatum::Tokyo ? tokyoFromWgs84(received.position) : received.position;
  const Coordinates c = coordinatesFromDegrees(position);
  GpsFix fix;
  fix.latitude = c.latitude;
  fix.longitude = c.longitude;
  fix.speedKmh = static_cast<std::int32_t>(std::lround(received.speedKmh));
  fix.heading = previousHeading;
  if (received.course && received.speedKmh >= kCourseMinKmh) {
    fix.heading = static_cast<std::int32_t>(std::lround(*received.course)) % 360;
  }
  fix.latitudeText = coordinateText(c.latitude, 2);
  fix.longitudeText = coordinateText(c.longitude, 3);
  return fix;
}

LinkOpening openReceiver(ReceiverLinks& links, const ReceiverSettings& settings) {
  switch (settings.source) {
    case PositionSource::Serial:
      return links.openSerial(settings.port, settings.baud);
    case PositionSource::Tcp:
      return links.openTcp(settings.host, settings.tcpPort);
    case PositionSource::StatusBar:
      break;
  }
  return {nullptr, LinkFailure::Absent};
}

void setSignalAnnouncer(SignalAnnouncer announcer) { signalAnnouncer().store(announcer); }

void receiverReader(AppContext& ctx, std::int32_t start) { Reading(ctx, start).run(); }

}  // namespace tabiro
