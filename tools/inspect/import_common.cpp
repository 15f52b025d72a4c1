#include "import_common.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>

#include <pugixml.hpp>

#include "core/atomic_file.h"
#include "guidance/text_file.h"

namespace tabiro::inspect {

namespace {

constexpr double kMetresPerDegree = 111320.0;  // of latitude, near enough for a road

double radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

}  // namespace

Offset offsetBetween(GeoDegrees from, GeoDegrees to) {
  return {(to.longitude - from.longitude) * kMetresPerDegree * std::cos(radians(from.latitude)),
          (to.latitude - from.latitude) * kMetresPerDegree};
}

std::optional<FileDatum> parseDatum(std::string_view name) {
  if (name == "tokyo") return FileDatum::Tokyo;
  if (name == "wgs84") return FileDatum::Wgs84;
  return std::nullopt;
}

Coordinates filePosition(GeoDegrees wgs84, FileDatum datum) {
  return coordinatesFromDegrees(datum == FileDatum::Tokyo ? tokyoFromWgs84(wgs84) : wgs84);
}

double bearingDegrees(GeoDegrees from, GeoDegrees to) {
  const Offset d = offsetBetween(from, to);
  const double bearing = std::atan2(d.east, d.north) * 180.0 / std::numbers::pi;
  return bearing < 0 ? bearing + 360.0 : bearing;
}

double metresBetween(GeoDegrees a, GeoDegrees b) {
  const Offset d = offsetBetween(a, b);
  return std::hypot(d.east, d.north);
}

double turnDegrees(double from, double to) {
  double turn = std::fmod(to - from, 360.0);
  if (turn > 180.0) turn -= 360.0;
  if (turn <= -180.0) turn += 360.0;
  return turn;
}

bool loadXml(const std::string& path, pugi::xml_document& doc, std::ostream& err) {
  std::ifstream file;
  if (!openForReading(file, path)) {
    err << fileOpenErrorText(path) << "\n";
    return false;
  }
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  const pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size());
  if (!parsed) {
    err << path << ": XML として読めません（" << parsed.offset << " バイト目: " << parsed.description()
        << "）。\n";
    return false;
  }
  return true;
}

std::string_view localName(const pugi::xml_node& node) {
  const std::string_view name = node.name();
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool writeWholeFile(const std::string& path, std::string_view contents, std::ostream& err) {
  if (replaceFileAtomically(path, contents)) return true;
  err << fileWriteErrorText(path) << "\n";
  return false;
}

}  // namespace tabiro::inspect
