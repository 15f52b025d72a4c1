#include "nmea.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "gps/nmea.h"
#include "status_text.h"

namespace navstub {

std::optional<Fix> parseRmc(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' ')) line.remove_suffix(1);
  if (!tabiro::nmeaChecksumOk(line)) return std::nullopt;
  const auto s = tabiro::parseNmeaSentence(line);
  if (!s || s->type != tabiro::NmeaSentence::Type::Rmc || !s->valid || !s->position || !s->timeOfDayMs) {
    return std::nullopt;
  }
  if (s->position->latitude < 0 || s->position->longitude < 0) return std::nullopt;
  Fix fix;
  fix.timeMs = *s->timeOfDayMs;
  fix.latitude = static_cast<int32_t>(std::lround(s->position->latitude * kTenthsPerDegree));
  fix.longitude = static_cast<int32_t>(std::lround(s->position->longitude * kTenthsPerDegree));
  fix.speedKmh = static_cast<int>(std::lround(s->speedKmh.value_or(0)));
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
