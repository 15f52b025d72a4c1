// A recorded drive for replay: an NMEA file (as the Navin' You stand-in
// replays it) or a track log of this program, turned into the three status
// bar texts the position reader would have read, with their times.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace tabiro::inspect {

struct DriveSample {
  std::int64_t timeMs = 0;  // since the first sample
  std::string clock;        // the drive's own time, "01:15:17" or "26/03/07 01:15:17"
  std::string speedText;    // "時速：42km/h"
  std::string latitudeText;
  std::string longitudeText;
};

struct Drive {
  enum class Kind { Nmea, TrackLog };
  Kind kind = Kind::Nmea;
  std::vector<DriveSample> samples;
  std::vector<int> badLines;  // track-log lines that are not log lines
};

// NMEA when a line starts with "$GP"; a track log otherwise. A track log has
// no speed: it is the distance to the next line over the time between them.
Drive readDrive(std::istream& in);

}  // namespace tabiro::inspect
