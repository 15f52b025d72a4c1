// The process-wide values through which the toolbar, its timers and the
// worker threads cooperate. Flags and integers are single atomic 32-bit words
// (relaxed order is enough: one side writes, the other polls); strings are
// handed over whole under a lock, so no reader sees one half-replaced.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

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

// The current position, written only by the position reader.
struct GpsFix {
  SharedInt latitude{0};   // 1/256 arc-second, north
  SharedInt longitude{0};  // 1/256 arc-second, east
  SharedInt speedKmh{0};
  SharedInt heading{0};  // whole degrees clockwise from north
  SharedText latitudeText;
  SharedText longitudeText;
};

struct Waypoint {
  SharedInt latitude{0};
  SharedInt longitude{0};
  SharedText text;  // the whole text line, line end included
};

// Rows 1 to 49; index 0 is unused so that row numbers match "WayPoint".
struct WaypointTable {
  static constexpr int kRows = 49;
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

struct SharedState {
  // Run flags of the worker threads.
  SharedInt positionReaderRun{0};
  SharedInt trackLogRun{0};
  SharedInt guidanceRun{0};

  // Availability and hand-over values.
  SharedInt speechReady{0};
  SharedText speechText;
  SharedInt musicPlayerSeen{0};
  SharedInt winampStopped{0};
  SharedInt winampResumePosition{0};  // milliseconds
  SharedInt l3TrackNumber{0};

  // Map view flags.
  SharedInt atlasDocumentShown{0};
  SharedInt atlasWindowReady{0};
  SharedInt sviewState{0};

  GpsFix gpsFix;
  WaypointTable waypoints;
  CameraTable cameras;

};

}  // namespace tabiro
