#include "drive_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "nmea.h"
#include "status_text.h"
#include "track_log_reader.h"

namespace tabiro::inspect {

namespace {

std::string timeOfDay(std::int64_t ms) {
  const std::int64_t seconds = ms / 1000 % 86400;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return text;
}

// The stand-in's status texts for a fix in tenths of an arc-second.
DriveSample sampleOf(std::int64_t timeMs, std::string clock, int speedKmh, std::int32_t latitudeTenths,
                     std::int32_t longitudeTenths) {
  return {timeMs, std::move(clock), navstub::speedText(speedKmh), navstub::latitudeText(latitudeTenths),
          navstub::longitudeText(longitudeTenths)};
}

Drive readNmea(const std::string& text) {
  Drive drive;
  drive.kind = Drive::Kind::Nmea;
  std::istringstream lines(text);
  std::int64_t startOfDay = -1;  // the first fix's own time
  for (std::string line; startOfDay < 0 && std::getline(lines, line);) {
    if (auto fix = navstub::parseRmc(line)) startOfDay = fix->timeMs;
  }
  std::istringstream in(text);
  const navstub::Track track = navstub::Track::read(in);
  for (std::size_t i = 0; i < track.size(); ++i) {
    const navstub::Fix& fix = track[i];
    drive.samples.push_back(
        sampleOf(fix.timeMs, timeOfDay(startOfDay + fix.timeMs), fix.speedKmh, fix.latitude, fix.longitude));
  }
  return drive;
}

std::int32_t tenths(double degrees) { return static_cast<std::int32_t>(std::lround(degrees * 36000)); }

// Metres between two logged points, with the weights the program uses (33 m
// per arc-second north, 25 east).
double metresBetween(const LoggedPoint& a, const LoggedPoint& b) {
  return std::hypot((b.latitude - a.latitude) * 3600 * 33, (b.longitude - a.longitude) * 3600 * 25);
}

Drive readLog(std::istream& in) {
  Drive drive;
  drive.kind = Drive::Kind::TrackLog;
  TrackLogScan scan = readTrackLog(in);
  drive.badLines = std::move(scan.badLines);
  const auto& points = scan.points;
  if (points.empty()) return drive;
  const long long start = secondsOf(points.front());
  long long timeMs = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const LoggedPoint& p = points[i];
    int speed = 0;
    if (i + 1 < points.size()) {
      const long long seconds = secondsOf(points[i + 1]) - secondsOf(p);
      if (seconds > 0) speed = static_cast<int>(std::lround(metresBetween(p, points[i + 1]) / seconds * 3.6));
    }
    char clock[24];
    std::snprintf(clock, sizeof clock, "%02d/%02d/%02d %02d:%02d:%02d", p.year % 100, p.month, p.day, p.hour,
                  p.minute, p.second);
    // A line older than the one before it (a clock set back) keeps the time still.
    timeMs = std::max(timeMs, (secondsOf(p) - start) * 1000);
    drive.samples.push_back(sampleOf(timeMs, clock, speed, tenths(p.latitude), tenths(p.longitude)));
  }
  return drive;
}

}  // namespace

Drive readDrive(std::istream& in) {
  std::ostringstream whole;
  whole << in.rdbuf();
  const std::string text = whole.str();
  const bool nmea = text.rfind("$GP", 0) == 0 || text.find("\n$GP") != std::string::npos;
  if (nmea) return readNmea(text);
  std::istringstream log(text);
  return readLog(log);
}

}  // namespace tabiro::inspect
