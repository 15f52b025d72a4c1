#include "nmea.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace navstub {

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::vector<std::string_view> splitFields(std::string_view body) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (;;) {
    size_t comma = body.find(',', start);
    fields.push_back(body.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

// A plain decimal number (digits, at most one point); nothing else is accepted.
std::optional<double> decimal(std::string_view text) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  bool point = false;
  for (char c : text) {
    if (c == '.' && !point) point = true;
    else if (c < '0' || c > '9') return std::nullopt;
  }
  return std::strtod(std::string(text).c_str(), nullptr);
}

// ddmm.mmmm / dddmm.mmmm as tenths of an arc-second.
std::optional<int32_t> angle(std::string_view text, double maxDegrees) {
  auto v = decimal(text);
  if (!v) return std::nullopt;
  double degrees = std::floor(*v / 100);
  double minutes = *v - degrees * 100;
  if (minutes >= 60 || degrees + minutes / 60 > maxDegrees) return std::nullopt;
  return static_cast<int32_t>(std::lround((degrees * 60 + minutes) * 600));
}

std::optional<int64_t> timeOfDay(std::string_view text) {
  if (text.size() < 6) return std::nullopt;
  auto v = decimal(text);
  if (!v) return std::nullopt;
  int whole = static_cast<int>(*v);
  int h = whole / 10000, m = whole / 100 % 100, s = whole % 100;
  if (h > 23 || m > 59 || s > 60) return std::nullopt;
  return std::llround(((h * 60 + m) * 60 + s + (*v - whole)) * 1000);
}

}  // namespace

std::optional<Fix> parseRmc(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' ')) line.remove_suffix(1);
  if (line.size() < 4 || line[0] != '$') return std::nullopt;
  size_t star = line.rfind('*');
  if (star == std::string_view::npos || star + 3 != line.size()) return std::nullopt;
  int hi = hexDigit(line[star + 1]), lo = hexDigit(line[star + 2]);
  if (hi < 0 || lo < 0) return std::nullopt;
  unsigned sum = 0;
  for (size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(line[i]);
  if (sum != static_cast<unsigned>(hi * 16 + lo)) return std::nullopt;

  auto f = splitFields(line.substr(1, star - 1));
  if (f.size() < 8 || f[0] != "GPRMC" || f[2] != "A" || f[4] != "N" || f[6] != "E") return std::nullopt;
  auto time = timeOfDay(f[1]);
  auto lat = angle(f[3], 90);
  auto lon = angle(f[5], 180);
  if (!time || !lat || !lon) return std::nullopt;
  double knots = 0;
  if (!f[7].empty()) {
    auto v = decimal(f[7]);
    if (!v) return std::nullopt;
    knots = *v;
  }
  Fix fix;
  fix.timeMs = *time;
  fix.latitude = *lat;
  fix.longitude = *lon;
  fix.speedKmh = static_cast<int>(std::lround(knots * 1.852));
  return fix;
}

Track Track::read(std::istream& in) {
  std::vector<Fix> fixes;
  std::string line;
  while (std::getline(in, line))
    if (auto fix = parseRmc(line)) fixes.push_back(*fix);
  return Track(std::move(fixes));
}

Track::Track(std::vector<Fix> fixes) : fixes_(std::move(fixes)) {
  constexpr int64_t kDay = 24LL * 3600 * 1000;
  int64_t base = fixes_.empty() ? 0 : fixes_.front().timeMs;
  int64_t dayOffset = 0;
  int64_t previous = base;
  for (Fix& fix : fixes_) {
    // A jump back by half a day or more is midnight; a smaller one (a
    // repeated or reordered sentence) is held at the previous time.
    if (fix.timeMs + dayOffset + kDay / 2 <= previous) dayOffset += kDay;
    fix.timeMs = std::max(fix.timeMs + dayOffset, previous);
    previous = fix.timeMs;
    fix.timeMs -= base;
  }
}

size_t Track::indexAt(int64_t elapsedMs, double speed) const {
  if (fixes_.empty()) return 0;
  double due = static_cast<double>(elapsedMs) * (speed > 0 ? speed : 1);
  size_t lo = 0, hi = fixes_.size();  // first fix later than `due` is at hi
  while (lo + 1 < hi) {
    size_t mid = (lo + hi) / 2;
    if (static_cast<double>(fixes_[mid].timeMs) <= due) lo = mid;
    else hi = mid;
  }
  return lo;
}

}  // namespace navstub
