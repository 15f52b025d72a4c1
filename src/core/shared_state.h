// The process-wide values through which the toolbar, its timers and the
// worker threads cooperate. Flags and integers are single atomic 32-bit words
// (relaxed order is enough: one side writes, the other polls); strings are
// handed over whole under a lock, so no reader sees one half-replaced.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ports.h"

namespace tabiro {

using SharedInt = std::atomic<std::int32_t>;

inline std::int32_t load(const SharedInt& v) { return v.load(std::memory_order_relaxed); }
inline void store(SharedInt& v, std::int32_t x) { v.store(x, std::memory_order_relaxed); }

// A Shift-JIS string written on one thread and read on another.
class SharedText {
 public:
  std::string get() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
  }
  void set(std::string text) {
    std::lock_guard<std::mutex> lock(mutex_);
    text_.swap(text);
  }

 private:
  mutable std::mutex mutex_;
  std::string text_;
};

// What an announcement plays when it cannot be spoken: a WAV file beside
// the exe (a bare name) or one of the program's own sound resources.
struct FallbackSound {
  std::string name;
  bool resource = false;
  bool operator==(const FallbackSound&) const = default;
};

// Phrases on their way to the toolbar's speech. Every speaker queues its
// phrase and then asks the toolbar (IDC_SPEAK) to speak the oldest one, so
// phrases close together are each said once, in the order they came,
// whichever thread made them. A phrase carries the sound that is heard when
// it cannot be spoken, and may carry what its announcement holds (the other
// programs kept quiet) until it has been said or that sound has played.
struct QueuedPhrase {
  std::string text;
  FallbackSound fallback;
  std::shared_ptr<void> heldUntilSaid;
};

class PhraseQueue {
 public:
  void push(QueuedPhrase phrase) {
    std::lock_guard<std::mutex> lock(mutex_);
    phrases_.push_back(std::move(phrase));
  }
  std::optional<QueuedPhrase> pop() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (phrases_.empty()) return std::nullopt;
    QueuedPhrase oldest = std::move(phrases_.front());
    phrases_.pop_front();
    return oldest;
  }

 private:
  std::mutex mutex_;
  std::deque<QueuedPhrase> phrases_;
};

// One fix of the current position, as a position source (Navin' You's status
// bar, a GPS receiver) reads it.
struct GpsFix {
  std::int32_t latitude = 0;   // 1/256 arc-second, north
  std::int32_t longitude = 0;  // 1/256 arc-second, east
  std::int32_t speedKmh = 0;
  std::int32_t heading = 0;  // whole degrees clockwise from north
  std::string latitudeText;   // "35:41:22.5", as logged
  std::string longitudeText;  // "139:45:10.3"
  bool operator==(const GpsFix&) const = default;
};

// The shared fix, handed over whole: a source replaces it in one step and a
// reader copies it in one, so no log line or guidance pass mixes two fixes.
// It is current from a publication until its source has no fix any more (the
// status bar stops answering, the reader stops); the last values stay, but a
// fix that is not current is no position to log, to guide by or to store.
class SharedFix {
 public:
  GpsFix get() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return fix_;
  }
  // The fix while it is current; nullopt while its source has none.
  std::optional<GpsFix> currentFix() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!current_) return std::nullopt;
    return fix_;
  }
  void set(GpsFix fix) {
    std::lock_guard<std::mutex> lock(mutex_);
    fix_ = std::move(fix);
    current_ = true;
  }
  void markNotCurrent() {
    std::lock_guard<std::mutex> lock(mutex_);
    current_ = false;
  }

 private:
  mutable std::mutex mutex_;
  GpsFix fix_;
  bool current_ = false;
};

struct Waypoint {
  SharedInt latitude{0};
  SharedInt longitude{0};
  SharedText text;  // the whole text line, line end included
};

// Rows 1 to 500, as many as the camera table: a city drive of 40 km has some
// 100 turns. Index 0 is unused so that row numbers match "WayPoint".
struct WaypointTable {
  static constexpr int kRows = 500;
  std::array<Waypoint, kRows + 1> rows;
  Waypoint& row(int number) { return rows.at(static_cast<std::size_t>(number)); }
  const Waypoint& row(int number) const { return rows.at(static_cast<std::size_t>(number)); }
};

struct Camera {
  SharedText text;  // at most 50 bytes
  SharedInt latitude{0};   // 0 ends the list
  SharedInt longitude{0};  // 0 ends the list
  SharedInt direction{0};  // degrees, or 999 for any direction
};

// Rows 1 to 500; index 0 is unused.
struct CameraTable {
  static constexpr int kRows = 500;
  static constexpr std::int32_t kAnyDirection = 999;
  std::array<Camera, kRows + 1> rows;
  Camera& row(int number) { return rows.at(static_cast<std::size_t>(number)); }
  const Camera& row(int number) const { return rows.at(static_cast<std::size_t>(number)); }
};

// The position reader's word to whoever waits for the next fix: a count of
// the fixes published, and a wake-up when a run flag is cleared, so that the
// guidance engine waits instead of repeating passes over an unchanged fix.
class FixSignal {
 public:
  void publish() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++published_;
    }
    changed_.notify_all();
  }
  // Wakes the waiters to look at their run flags again.
  void wake() {
    { std::lock_guard<std::mutex> lock(mutex_); }
    changed_.notify_all();
  }
  std::uint64_t published() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return published_;
  }
  // Waits until a fix after `seen` is published (seen moves on to it; true)
  // or `keepGoing` turns false (false). `recheck` bounds each wait, in case a
  // flag was cleared without a wake.
  template <typename KeepGoing>
  bool waitForNext(std::uint64_t& seen, KeepGoing keepGoing, std::chrono::milliseconds recheck) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      if (!keepGoing()) return false;
      if (published_ != seen) {
        seen = published_;
        return true;
      }
      changed_.wait_for(lock, recheck);
    }
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t published_ = 0;
};

// Another program's audio session lowered during an announcement: the
// volume it had and the one it was given. Within a run it is known by its
// instance; once its program has closed, or after a restart, only by its
// session identifier and program, which the system keeps.
struct LoweredSession {
  std::string instanceId;  // empty: not seen in this run since
  std::string sessionId;
  std::string executable;
  float volume = 1.0f;
  float lowered = 1.0f;
  int unmatchedStarts = 0;  // start-ups at which its program had no session
  bool operator==(const LoweredSession&) const = default;
};

// The sessions lowered for the announcements under way, and those left
// lowered that could not be put back yet. Announcements from two threads
// may overlap: the first lowers, the last restores.
struct LoweredSessions {
  std::mutex mutex;
  int announcements = 0;
  std::vector<LoweredSession> sessions;
};

// The link the receiver reader has open, for a stop to close from its own
// thread: the reader owns the link and takes it out again before it frees
// it, so a close never reaches a link gone.
class OpenReceiverLink {
 public:
  void set(ReceiverLink* link) {
    std::lock_guard<std::mutex> lock(mutex_);
    link_ = link;
  }
  void close() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (link_) link_->close();
  }

 private:
  std::mutex mutex_;
  ReceiverLink* link_ = nullptr;
};

struct SharedState {
  // Run flags of the worker threads.
  SharedInt positionReaderRun{0};
  SharedInt trackLogRun{0};
  SharedInt guidanceRun{0};
  // Which start of the reader and of the log writer is the current one: an
  // older worker still in its last cycle ends instead of running beside it.
  SharedInt positionReaderStart{0};
  SharedInt trackLogStart{0};
  FixSignal fixes;
  // GPS from a receiver is on (the GPS button with a receiver source).
  SharedInt receiverGpsOn{0};
  OpenReceiverLink receiverLink;

  // Availability and hand-over values.
  SharedInt speechReady{0};
  PhraseQueue speechText;  // each phrase with its IDC_SPEAK
  SharedInt musicPlayerSeen{0};
  SharedInt winampStopped{0};
  SharedInt winampResumePosition{0};  // milliseconds
  SharedInt l3TrackNumber{0};
  LoweredSessions lowered;

  // Map view flags.
  SharedInt atlasDocumentShown{0};
  SharedInt atlasWindowReady{0};
  SharedInt sviewState{0};

  SharedFix gpsFix;
  WaypointTable waypoints;
  CameraTable cameras;
};

// What every position source does with a fix it has read: the fix replaces
// the shared one whole, and whoever waits for the next fix is woken.
inline void publishFix(SharedState& state, GpsFix fix) {
  state.gpsFix.set(std::move(fix));
  state.fixes.publish();
}

// A source that has no fix (no answer, no signal, stopped): the last position
// stays, but nothing is logged or guided by it until the next publication.
inline void markNoFix(SharedState& state) { state.gpsFix.markNotCurrent(); }

// Clears a worker's run flag and wakes whoever waits for a fix, so that the
// guidance engine notices a stop at once.
inline void stopWorker(SharedState& state, SharedInt& runFlag) {
  store(runFlag, 0);
  state.fixes.wake();
}

// GPS stop and the map switch: the reader, the log writer and the engine.
// A receiver's pending read ends at once.
inline void stopGpsWorkers(SharedState& state) {
  store(state.guidanceRun, 0);
  store(state.positionReaderRun, 0);
  store(state.trackLogRun, 0);
  store(state.receiverGpsOn, 0);
  state.receiverLink.close();
  state.fixes.wake();
}

}  // namespace tabiro
