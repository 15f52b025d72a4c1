// NMEA 0183 from a GPS receiver: the byte stream cut into checked sentences,
// and the RMC, GGA, GLL and VTG sentences of every satellite system read into
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
  enum class Type { Rmc, Gga, Gll, Vtg };
  Type type = Type::Rmc;
  // RMC, GLL: status "A" and a mode indicator other than "N"; GGA: fix
  // quality 1 or more; VTG: always.
  bool valid = false;
  std::optional<GeoDegrees> position;  // RMC, GGA, GLL: WGS84, south and west negative
  std::optional<double> speedKmh;      // RMC, VTG
  std::optional<double> course;        // RMC, VTG: degrees true
  std::optional<std::int64_t> timeOfDayMs;  // RMC, GGA, GLL: UTC, from "hhmmss.ss"
};

// RMC, GGA, GLL or VTG of the talkers GP, GN, GL, GA, GB, BD, QZ, GQ and IN;
// nullopt for any other sentence (proprietary "$P..." among them). The
// checksum is the assembler's to check.
std::optional<NmeaSentence> parseNmeaSentence(std::string_view sentence);

// A position the receiver stands behind.
struct ReceivedFix {
  GeoDegrees position;  // WGS84
  double speedKmh = 0;
  std::optional<double> course;
  std::optional<std::int64_t> timeOfDayMs;  // UTC, of the sentence it came from
};

// The sentences of one receiver, in order, into fixes, at most one per time
// of day (a receiver may send an RMC per satellite system), each the moment
// its sentence arrives:
// - every valid RMC with a position, unless the GGA of the same time came
//   first and said there is no fix. A GGA that comes after its RMC (every
//   u-blox sends RMC first) is too late to hold the fix back: the RMC's own
//   status is the receiver's word, and waiting for the GGA would delay every
//   fix of a receiver that sends none. The GGA of the epoch before speaks
//   for nothing but its own epoch.
// - a valid GGA or GLL with a position for a time no RMC covers, from a
//   receiver that sends its RMC first or in epochs of its own: one that has
//   sent an RMC after the GGA or GLL of the same time is waited for.
// An RMC without speed or course takes the last VTG's, for receivers that
// put them there only; a GGA or GLL, which have none, takes the last a valid
// RMC or a VTG brought.
class NmeaFixReader {
 public:
  std::optional<ReceivedFix> take(const NmeaSentence& sentence);

 private:
  std::optional<ReceivedFix> fixOfRmc(const NmeaSentence& rmc);
  std::optional<ReceivedFix> fixOfPosition(const NmeaSentence& sentence);
  struct Motion {
    double speedKmh = 0;
    std::optional<double> course;
  };
  std::optional<ReceivedFix> fix(const NmeaSentence& sentence, const Motion& motion);

  // What the last GGA said, for the RMC of its time.
  bool ggaSaysNoFix_ = false;
  std::optional<std::int64_t> ggaTimeOfDayMs_;
  // The last GGA's or GLL's time.
  std::optional<std::int64_t> positionTimeOfDayMs_;
  // The last RMC's time, and whether this receiver sends its RMC after the
  // GGA or GLL of the same time.
  bool rmcSeen_ = false;
  std::optional<std::int64_t> rmcTimeOfDayMs_;
  bool rmcComesLast_ = false;
  // The last fix's time: one fix per epoch.
  std::optional<std::int64_t> fixTimeOfDayMs_;
  Motion vtg_;    // the last VTG's
  Motion heard_;  // the last a valid RMC or a VTG brought
};

}  // namespace tabiro
