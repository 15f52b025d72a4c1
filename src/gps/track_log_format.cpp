#include "gps/track_log_format.h"

#include <cstdio>

namespace tabiro {

std::string trackLogFileName(const LocalTime& time) {
  char name[64];
  std::snprintf(name, sizeof name, "%02d%02d%02d%02d.log", time.month, time.day, time.hour,
                time.minute);
  return name;
}

std::optional<std::string> trackLogLine(const LocalTime& time, std::string_view latitudeText,
                                        std::string_view longitudeText) {
  if (latitudeText.empty() || longitudeText.empty()) return std::nullopt;
  char year[16];
  std::snprintf(year, sizeof year, "%04d", time.year);
  char stamp[96];
  // The four-digit year without its first two characters: 2000 is "00".
  std::snprintf(stamp, sizeof stamp, "%s/%02d/%02d %02d:%02d:%02d N", year + 2, time.month,
                time.day, time.hour, time.minute, time.second);
  std::string line = stamp;
  line.append(latitudeText).append(" E").append(longitudeText).append("\r\n");
  return line;
}

}  // namespace tabiro
