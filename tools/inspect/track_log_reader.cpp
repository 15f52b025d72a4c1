#include "track_log_reader.h"

namespace tabiro::inspect {

namespace {

// Reads exactly `count` digits at `pos`, moving past them.
bool fixedDigits(std::string_view s, std::size_t& pos, std::size_t count, int& value) {
  if (pos + count > s.size()) return false;
  value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const char c = s[pos + i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  pos += count;
  return true;
}

bool literal(std::string_view s, std::size_t& pos, char c) {
  if (pos >= s.size() || s[pos] != c) return false;
  ++pos;
  return true;
}

// "D:M:S" or "D:M:S.s" up to the next blank or the end: decimal degrees.
std::optional<double> angle(std::string_view text, int maxDegrees) {
  std::size_t pos = 0;
  int degrees = 0, minutes = 0, seconds = 0;
  const std::size_t degreeDigits = text.find(':');
  if (degreeDigits == std::string_view::npos || degreeDigits == 0 || degreeDigits > 3) return std::nullopt;
  if (!fixedDigits(text, pos, degreeDigits, degrees) || !literal(text, pos, ':') ||
      !fixedDigits(text, pos, 2, minutes) || !literal(text, pos, ':') ||
      !fixedDigits(text, pos, 2, seconds)) {
    return std::nullopt;
  }
  double fraction = 0;
  if (pos < text.size()) {
    if (!literal(text, pos, '.') || pos == text.size()) return std::nullopt;
    double place = 0.1;
    for (; pos < text.size(); ++pos, place /= 10) {
      if (text[pos] < '0' || text[pos] > '9') return std::nullopt;
      fraction += (text[pos] - '0') * place;
    }
  }
  if (degrees > maxDegrees || minutes > 59 || seconds > 59) return std::nullopt;
  return degrees + minutes / 60.0 + (seconds + fraction) / 3600.0;
}

bool leapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool validDate(int year, int month, int day) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1) return false;
  return day <= kDays[month - 1] + (month == 2 && leapYear(year) ? 1 : 0);
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
long long daysFromCivil(int year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long yearOfEra = year - era * 400;
  const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

}  // namespace

std::optional<LoggedPoint> parseTrackLogLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  LoggedPoint p;
  std::size_t pos = 0;
  int yy = 0;
  if (!fixedDigits(line, pos, 2, yy) || !literal(line, pos, '/') ||
      !fixedDigits(line, pos, 2, p.month) || !literal(line, pos, '/') ||
      !fixedDigits(line, pos, 2, p.day) || !literal(line, pos, ' ') ||
      !fixedDigits(line, pos, 2, p.hour) || !literal(line, pos, ':') ||
      !fixedDigits(line, pos, 2, p.minute) || !literal(line, pos, ':') ||
      !fixedDigits(line, pos, 2, p.second) || !literal(line, pos, ' ') || !literal(line, pos, 'N')) {
    return std::nullopt;
  }
  p.year = yy >= 70 ? 1900 + yy : 2000 + yy;
  if (!validDate(p.year, p.month, p.day) || p.hour > 23 || p.minute > 59 || p.second > 59) {
    return std::nullopt;
  }
  const std::size_t blank = line.find(" E", pos);
  if (blank == std::string_view::npos) return std::nullopt;
  p.latitudeText = std::string(line.substr(pos, blank - pos));
  p.longitudeText = std::string(line.substr(blank + 2));
  const auto latitude = angle(p.latitudeText, 90);
  const auto longitude = angle(p.longitudeText, 180);
  if (!latitude || !longitude) return std::nullopt;
  p.latitude = *latitude;
  p.longitude = *longitude;
  return p;
}

TrackLogScan readTrackLog(std::istream& in) {
  TrackLogScan scan;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (auto point = parseTrackLogLine(line)) {
      point->line = number;
      scan.points.push_back(std::move(*point));
    } else if (line.find_first_not_of(" \t\r") != std::string::npos) {
      scan.badLines.push_back(number);
    }
  }
  return scan;
}

long long secondsOf(const LoggedPoint& point) {
  return daysFromCivil(point.year, point.month, point.day) * 86400LL + point.hour * 3600LL + point.minute * 60LL +
         point.second;
}

}  // namespace tabiro::inspect
