// NMEA 0183 from a GPS receiver: the byte stream cut into checked sentences,
// and the RMC, GGA and VTG sentences of every satellite system read into
// fixes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gps/datum.h"

namespace tabiro {

// A sentence is at most 82 bytes; a longer run without a line end is noise
// (a wrong baud rate), dropped up to the next line end.
constexpr std::size_t kNmeaLineMaxBytes = 128;

// "$...*HH" where HH is the XOR of the bytes between "$" and "*".
bool nmeaChecksumOk(std::string_view line);

// Bytes in, sentences out. A read may end anywhere in a sentence or hold
// several: a line is complete at its CR or LF. A sentence starts at its "$",
// so the line under way when the stream was joined, cut before it, is
// dropped, as is every line with a wrong or missing checksum and every line
// that is no sentence (gpsd's JSON lines "{...}" among them). A "$"
// in the middle of a line starts a new one: a receiver that lost bytes of
// one sentence does not lose the next.
class NmeaLineAssembler {
 public:
  // The checked sentences that `bytes` completes, in order, without line ends.
  std::vector<std::string> feed(std::string_view bytes);

 private:
  std::string line_;
  bool overlong_ = false;
};

// What one checked sentence says. Fields that are empty or malformed leave
// their value out.
struct NmeaSentence {
  enum class Type { Rmc, Gga, Vtg };
  Type type = Type::Rmc;
  // RMC: status "A"; GGA: fix quality 1 or more; VTG: always.
  bool valid = false;
  std::optional<GeoDegrees> position;  // RMC, GGA: WGS84, south and west negative
  std::optional<double> speedKmh;      // RMC, VTG
  std::optional<double> course;        // RMC, VTG: degrees true
  std::optional<std::int64_t> timeOfDayMs;  // RMC: UTC, from "hhmmss.ss"
};

// RMC, GGA or VTG of the talkers GP, GN, GL, GA, GB, BD and QZ; nullopt for
// any other sentence (proprietary "$P..." among them). The checksum is the
// assembler's to check.
std::optional<NmeaSentence> parseNmeaSentence(std::string_view sentence);

// A position the receiver stands behind.
struct ReceivedFix {
  GeoDegrees position;  // WGS84
  double speedKmh = 0;
  std::optional<double> course;
};

// The sentences of one receiver, in order, into fixes: one for each RMC with
// status "A" and a position, unless the last GGA said there is no fix. An
// RMC without speed or course takes the last VTG's, for receivers that put
// them there only.
class NmeaFixReader {
 public:
  std::optional<ReceivedFix> take(const NmeaSentence& sentence);

 private:
  bool ggaSaysNoFix_ = false;
  std::optional<double> vtgSpeedKmh_;
  std::optional<double> vtgCourse_;
};

}  // namespace tabiro
