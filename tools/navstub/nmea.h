// Recorded drives: NMEA $GPRMC sentences, replayed into the status bar.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string_view>
#include <vector>

namespace navstub {

struct Fix {
  int64_t timeMs = 0;  // time of day from the sentence; in a Track, ms since its first fix
  int32_t latitude = 0;   // tenths of an arc-second north
  int32_t longitude = 0;  // tenths of an arc-second east
  int speedKmh = 0;
};

// One valid "A" RMC sentence (of any talker the program reads) in the
// northern and eastern hemispheres with a correct checksum, read by the
// program's own sentence reader; anything else is no fix.
std::optional<Fix> parseRmc(std::string_view line);

// The fixes of a recorded drive, in file order, with times made relative to
// the first fix (a drive past midnight keeps counting up).
class Track {
 public:
  static Track read(std::istream& in);
  explicit Track(std::vector<Fix> fixes);

  bool empty() const { return fixes_.empty(); }
  size_t size() const { return fixes_.size(); }
  const Fix& operator[](size_t i) const { return fixes_[i]; }
  // Index of the fix due after `elapsedMs` of replay at `speed` times real time.
  size_t indexAt(int64_t elapsedMs, double speed) const;
  int64_t durationMs() const { return fixes_.empty() ? 0 : fixes_.back().timeMs; }

 private:
  std::vector<Fix> fixes_;
};

}  // namespace navstub
