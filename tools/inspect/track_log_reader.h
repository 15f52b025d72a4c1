// Reading back the GPS track log, which the program itself only writes:
//
//   98/12/01 14:05:33 N35:41:22.5 E139:45:10.3
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabiro::inspect {

struct LoggedPoint {
  int year = 0;  // four digits: two-digit years from 70 up are 19YY, below 70 20YY
  int month = 0, day = 0, hour = 0, minute = 0, second = 0;
  std::string latitudeText;   // "35:41:22.5", as the status bar showed it
  std::string longitudeText;  // "139:45:10.3"
  double latitude = 0;        // decimal degrees
  double longitude = 0;
  int line = 0;  // line of the file, from 1
};

// One line without its line end (a CR before it is allowed); nullopt for
// anything that is not a log line with a real date, time and position.
std::optional<LoggedPoint> parseTrackLogLine(std::string_view line);

struct TrackLogScan {
  std::vector<LoggedPoint> points;
  std::vector<int> badLines;  // lines with text that are not log lines
};
TrackLogScan readTrackLog(std::istream& in);

// Seconds from 1970-01-01 00:00:00 of a logged date and time, taken as UTC:
// differences between points are right whatever the zone was.
long long secondsOf(const LoggedPoint& point);

}  // namespace tabiro::inspect
