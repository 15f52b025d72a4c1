#include "gps/nmea.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>

#include "platform/hex.h"

namespace tabiro {

namespace {

constexpr double kKmhPerKnot = 1.852;

std::vector<std::string_view> fieldsOf(std::string_view body) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t comma = body.find(',');
    fields.push_back(body.substr(0, comma));
    if (comma == std::string_view::npos) return fields;
    body.remove_prefix(comma + 1);
  }
}

// Digits with at most one point; anything else (signs, exponents) is not a
// field a receiver writes.
std::optional<double> decimalField(std::string_view text) {
  if (text.empty() || text.size() > 16) return std::nullopt;
  if (std::count(text.begin(), text.end(), '.') > 1) return std::nullopt;
  if (!std::all_of(text.begin(), text.end(), [](char c) { return c == '.' || (c >= '0' && c <= '9'); })) {
    return std::nullopt;
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "ddmm.mmmm" or "dddmm.mmmm" with its hemisphere letter.
std::optional<double> angleField(std::string_view value, std::string_view hemisphere,
                                 char positive, char negative, double maxDegrees) {
  const std::optional<double> v = decimalField(value);
  if (!v || hemisphere.size() != 1) return std::nullopt;
  const double degrees = std::floor(*v / 100);
  const double minutes = *v - degrees * 100;
  const double angle = degrees + minutes / 60;
  if (minutes >= 60 || angle > maxDegrees) return std::nullopt;
  if (hemisphere[0] == positive) return angle;
  if (hemisphere[0] == negative) return -angle;
  return std::nullopt;
}

std::optional<GeoDegrees> positionFields(const std::vector<std::string_view>& f, std::size_t at) {
  if (f.size() < at + 4) return std::nullopt;
  const auto latitude = angleField(f[at], f[at + 1], 'N', 'S', 90);
  const auto longitude = angleField(f[at + 2], f[at + 3], 'E', 'W', 180);
  if (!latitude || !longitude) return std::nullopt;
  return GeoDegrees{*latitude, *longitude};
}

std::optional<double> field(const std::vector<std::string_view>& f, std::size_t at) {
  return at < f.size() ? decimalField(f[at]) : std::nullopt;
}

// A field that cannot exceed `max`: a larger number is noise, not a reading,
// and would overflow where it is rounded to an integer.
std::optional<double> boundedField(const std::vector<std::string_view>& f, std::size_t at,
                                   double max) {
  const std::optional<double> v = field(f, at);
  return v && *v <= max ? v : std::nullopt;
}

// Ground speed a receiver reports at most (about the export limit, 515 m/s).
constexpr double kMaxKnots = 1000;
constexpr double kMaxKmh = kMaxKnots * kKmhPerKnot;
constexpr double kMaxCourse = 360;

// "hhmmss" with any fraction of a second.
std::optional<std::int64_t> timeOfDayField(std::string_view text) {
  const std::size_t point = text.find('.');
  const std::optional<double> v = decimalField(text);
  if (!v || (point == std::string_view::npos ? text.size() : point) != 6) return std::nullopt;
  const int whole = static_cast<int>(*v);
  const int h = whole / 10000, m = whole / 100 % 100, s = whole % 100;
  if (h > 23 || m > 59 || s > 60) return std::nullopt;
  return std::llround(((h * 60 + m) * 60 + s + (*v - whole)) * 1000);
}

// GQ is QZSS from NMEA 4.11 on, QZ before it; IN an integrated navigation
// system (a receiver behind a sonar or a dead-reckoning unit).
constexpr std::string_view kTalkers[] = {"GP", "GN", "GL", "GA", "GB", "BD", "QZ", "GQ", "IN"};

// $--RMC,time,status,lat,N,lon,E,knots,course,date,magvar,E,mode,navstatus
// The mode indicator (NMEA 2.3) "N" is data not valid, whatever the status
// says. The navigation status (NMEA 4.1) is not read: "V" there means the
// equipment gives no status, and u-blox and Quectel receivers write it on
// every fix.
NmeaSentence rmc(const std::vector<std::string_view>& f) {
  NmeaSentence s;
  s.type = NmeaSentence::Type::Rmc;
  s.valid = f.size() > 2 && f[2] == "A" && !(f.size() > 12 && f[12] == "N");
  s.timeOfDayMs = timeOfDayField(f.size() > 1 ? f[1] : std::string_view());
  s.position = positionFields(f, 3);
  if (const auto knots = boundedField(f, 7, kMaxKnots)) s.speedKmh = *knots * kKmhPerKnot;
  s.course = boundedField(f, 8, kMaxCourse);
  return s;
}

// $--GGA,time,lat,N,lon,E,quality,...
NmeaSentence gga(const std::vector<std::string_view>& f) {
  NmeaSentence s;
  s.type = NmeaSentence::Type::Gga;
  const auto quality = field(f, 6);
  s.valid = quality && *quality >= 1;
  s.timeOfDayMs = timeOfDayField(f.size() > 1 ? f[1] : std::string_view());
  s.position = positionFields(f, 2);
  return s;
}

// $--GLL,lat,N,lon,E,time,status,mode
NmeaSentence gll(const std::vector<std::string_view>& f) {
  NmeaSentence s;
  s.type = NmeaSentence::Type::Gll;
  s.valid = f.size() > 6 && f[6] == "A" && !(f.size() > 7 && f[7] == "N");
  s.position = positionFields(f, 1);
  s.timeOfDayMs = timeOfDayField(f.size() > 5 ? f[5] : std::string_view());
  return s;
}

// $--VTG,course,T,magnetic,M,knots,N,kmh,K[,mode]
NmeaSentence vtg(const std::vector<std::string_view>& f) {
  NmeaSentence s;
  s.type = NmeaSentence::Type::Vtg;
  s.valid = true;
  s.course = boundedField(f, 1, kMaxCourse);
  if (const auto kmh = boundedField(f, 7, kMaxKmh)) {
    s.speedKmh = *kmh;
  } else if (const auto knots = boundedField(f, 5, kMaxKnots)) {
    s.speedKmh = *knots * kKmhPerKnot;
  }
  return s;
}

}  // namespace

bool nmeaChecksumOk(std::string_view line) {
  if (line.size() < 4 || line[0] != '$') return false;
  const std::size_t star = line.size() - 3;
  if (line[star] != '*') return false;
  const int high = hexValue(line[star + 1]);
  const int low = hexValue(line[star + 2]);
  if (high < 0 || low < 0) return false;
  unsigned sum = 0;
  for (std::size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(line[i]);
  return sum == static_cast<unsigned>(high * 16 + low);
}

std::vector<std::string> NmeaLineAssembler::feed(std::string_view bytes) {
  std::vector<std::string> sentences;
  for (const char c : bytes) {
    if (c == '\r' || c == '\n') {
      if (!overlong_ && nmeaChecksumOk(line_)) sentences.push_back(line_);
      overlong_ = false;
      line_.clear();
    } else if (c == '$') {
      // Bytes before it belong to a sentence that lost its end.
      line_.assign(1, c);
      overlong_ = false;
    } else if (line_.size() >= kNmeaLineMaxBytes) {
      overlong_ = true;
    } else if (!overlong_) {
      line_.push_back(c);
    }
  }
  return sentences;
}

std::optional<NmeaSentence> parseNmeaSentence(std::string_view sentence) {
  const std::size_t star = sentence.rfind('*');
  if (sentence.size() < 7 || sentence[0] != '$' || star == std::string_view::npos) return std::nullopt;
  const std::vector<std::string_view> f = fieldsOf(sentence.substr(1, star - 1));
  const std::string_view address = f[0];
  if (address.size() != 5) return std::nullopt;
  if (std::find(std::begin(kTalkers), std::end(kTalkers), address.substr(0, 2)) == std::end(kTalkers)) {
    return std::nullopt;
  }
  const std::string_view type = address.substr(2);
  if (type == "RMC") return rmc(f);
  if (type == "GGA") return gga(f);
  if (type == "GLL") return gll(f);
  if (type == "VTG") return vtg(f);
  return std::nullopt;
}

std::optional<ReceivedFix> NmeaFixReader::take(const NmeaSentence& s) {
  switch (s.type) {
    case NmeaSentence::Type::Rmc:
      return fixOfRmc(s);
    case NmeaSentence::Type::Gga:
      ggaSaysNoFix_ = !s.valid;
      ggaTimeOfDayMs_ = s.timeOfDayMs;
      return fixOfPosition(s);
    case NmeaSentence::Type::Gll:
      return fixOfPosition(s);
    case NmeaSentence::Type::Vtg:
      vtg_ = {s.speedKmh.value_or(0), s.course};
      heard_ = vtg_;
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<ReceivedFix> NmeaFixReader::fixOfRmc(const NmeaSentence& s) {
  // An RMC of the last GGA's or GLL's time: this receiver sends its RMC
  // last, and it is waited for from now on (even when that GGA made the
  // epoch's fix, the reader having joined the stream between the two).
  if (s.timeOfDayMs && positionTimeOfDayMs_ == s.timeOfDayMs) rmcComesLast_ = true;
  rmcSeen_ = true;
  rmcTimeOfDayMs_ = s.timeOfDayMs;
  // Two sentences without a time cannot be told apart and are taken as one
  // epoch.
  const bool vetoed = ggaSaysNoFix_ && ggaTimeOfDayMs_ == s.timeOfDayMs;
  if (!s.valid || vetoed) return std::nullopt;
  heard_ = {s.speedKmh.value_or(vtg_.speedKmh), s.course ? s.course : vtg_.course};
  return fix(s, heard_);
}

std::optional<ReceivedFix> NmeaFixReader::fixOfPosition(const NmeaSentence& s) {
  positionTimeOfDayMs_ = s.timeOfDayMs;
  const bool noRmcComing =
      rmcSeen_ && !rmcComesLast_ && s.timeOfDayMs && s.timeOfDayMs != rmcTimeOfDayMs_;
  if (!s.valid || !noRmcComing) return std::nullopt;
  return fix(s, heard_);
}

std::optional<ReceivedFix> NmeaFixReader::fix(const NmeaSentence& s, const Motion& motion) {
  if (!s.position || (s.timeOfDayMs && fixTimeOfDayMs_ == s.timeOfDayMs)) return std::nullopt;
  fixTimeOfDayMs_ = s.timeOfDayMs;
  ReceivedFix fix;
  fix.position = *s.position;
  fix.speedKmh = motion.speedKmh;
  fix.course = motion.course;
  fix.timeOfDayMs = s.timeOfDayMs;
  return fix;
}

}  // namespace tabiro
