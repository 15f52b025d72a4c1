#include "import_route.h"

#include <cmath>
#include <numbers>
#include <optional>

#include <pugixml.hpp>

#include "core/shared_state.h"
#include "import_common.h"
#include "platform/sjis.h"
#include "route_writer.h"
#include "sjis_from_utf8.h"

namespace tabiro::inspect {

namespace {

// A track is simplified to within this many metres of the drive before its
// bends are measured, so that the wobble of a receiver makes no turn.
constexpr double kSimplifyMetres = 10.0;
// A bend of this much is a turn: a waypoint of a track, "右" or "左" of a route.
constexpr double kTurnDegrees = 30.0;

struct Point {
  GeoDegrees position;
  std::string name;  // UTF-8
  double bend = 0;   // the way's bend here, positive to the right
};

std::optional<GeoDegrees> positionOf(const pugi::xml_node& point) {
  const pugi::xml_attribute lat = point.attribute("lat"), lon = point.attribute("lon");
  if (!lat || !lon) return std::nullopt;
  return GeoDegrees{lat.as_double(), lon.as_double()};
}

pugi::xml_node firstChild(const pugi::xml_node& parent, std::string_view name) {
  for (const pugi::xml_node c : parent.children()) {
    if (localName(c) == name) return c;
  }
  return {};
}

std::vector<pugi::xml_node> childrenNamed(const pugi::xml_node& parent, std::string_view name) {
  std::vector<pugi::xml_node> result;
  for (const pugi::xml_node c : parent.children()) {
    if (localName(c) == name) result.push_back(c);
  }
  return result;
}

void addPoint(const pugi::xml_node& element, std::vector<Point>& points) {
  if (const auto p = positionOf(element)) points.push_back({*p, firstChild(element, "name").child_value()});
}

// Douglas-Peucker on the plane through the first point: the points that keep
// the line within kSimplifyMetres of every point of the drive.
void simplify(const std::vector<Point>& line, std::size_t first, std::size_t last, std::vector<bool>& keep) {
  if (last <= first + 1) return;
  const GeoDegrees a = line[first].position, b = line[last].position;
  const double length = metresBetween(a, b);
  const double bearing = bearingDegrees(a, b);
  double farthest = -1;
  std::size_t at = first;
  for (std::size_t i = first + 1; i < last; ++i) {
    const double d = metresBetween(a, line[i].position);
    const double off = length < 0.01 ? d : std::abs(d * std::sin(turnDegrees(bearing, bearingDegrees(a, line[i].position)) * std::numbers::pi / 180.0));
    if (off > farthest) {
      farthest = off;
      at = i;
    }
  }
  if (farthest <= kSimplifyMetres) return;
  keep[at] = true;
  simplify(line, first, at, keep);
  simplify(line, at, last, keep);
}

// The bend of the way at point i, positive to the right.
double bendAt(const std::vector<Point>& line, std::size_t i) {
  if (i == 0 || i + 1 >= line.size()) return 0;
  return turnDegrees(bearingDegrees(line[i - 1].position, line[i].position),
                     bearingDegrees(line[i].position, line[i + 1].position));
}

// The turns of a track, with their bends, and its end.
std::vector<Point> turnsOf(const std::vector<Point>& track) {
  std::vector<Point> line;
  for (const Point& p : track) {
    if (line.empty() || metresBetween(line.back().position, p.position) > 0.5) line.push_back(p);
  }
  if (line.size() < 2) return line;
  std::vector<bool> keep(line.size(), false);
  keep.front() = keep.back() = true;
  simplify(line, 0, line.size() - 1, keep);
  std::vector<Point> simple;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (keep[i]) simple.push_back(line[i]);
  }
  std::vector<Point> turns;
  for (std::size_t i = 1; i + 1 < simple.size(); ++i) {
    const double bend = bendAt(simple, i);
    if (std::abs(bend) < kTurnDegrees) continue;
    turns.push_back(simple[i]);
    turns.back().bend = bend;
  }
  turns.push_back(simple.back());
  return turns;
}

// The engine's tags in a name would change what is announced or switch the
// map: the turn words are written in kana, ASCII letters and digits full-width.
std::string tagSafeName(std::string_view name) {
  static const std::pair<std::string_view, std::string_view> kTurnWords[] = {
      {"右", "みぎ"}, {"左", "ひだり"}, {"直", "なお"}, {"目", "め"}};
  std::string out;
  for (std::size_t i = 0; i < name.size();) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (sjis::isLeadByte(c) && i + 1 < name.size()) {
      std::string_view character = name.substr(i, 2);
      for (const auto& [word, kana] : kTurnWords) {
        if (character == word) character = kana;
      }
      out += character;
      i += 2;
      continue;
    }
    // Full-width forms in Shift-JIS: ０ is 82 4F, Ａ is 82 60, ａ is 82 81.
    if (c >= '0' && c <= '9') {
      out += {'\x82', static_cast<char>(0x4F + (c - '0'))};
    } else if (c >= 'A' && c <= 'Z') {
      out += {'\x82', static_cast<char>(0x60 + (c - 'A'))};
    } else if (c >= 'a' && c <= 'z') {
      out += {'\x82', static_cast<char>(0x81 + (c - 'a'))};
    } else if (c < 0x20 || c == 0x7F) {
      out += ' ';
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  return out;
}

}  // namespace

int importRoute(const std::vector<std::string>& args, std::ostream& err) {
  std::vector<std::string> files;
  FileDatum datum = FileDatum::Tokyo;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--datum" && i + 1 < args.size()) {
      const auto d = parseDatum(args[++i]);
      if (!d) return 2;
      datum = *d;
    } else if (args[i].rfind("--", 0) == 0) {
      return 2;
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2) return 2;
  const std::string& in = files[0];
  const std::string& out = files[1];

  pugi::xml_document doc;
  if (!loadXml(in, doc, err)) return 1;
  const pugi::xml_node gpx = doc.first_child();
  if (localName(gpx) != "gpx") {
    err << in << ": GPX（<gpx> 要素）ではありません。\n";
    return 1;
  }
  std::vector<Point> points;
  bool fromTrack = false;
  if (const pugi::xml_node rte = firstChild(gpx, "rte")) {
    for (const pugi::xml_node p : childrenNamed(rte, "rtept")) addPoint(p, points);
  } else if (const pugi::xml_node trk = firstChild(gpx, "trk")) {
    fromTrack = true;
    std::vector<Point> track;
    for (const pugi::xml_node seg : childrenNamed(trk, "trkseg")) {
      for (const pugi::xml_node p : childrenNamed(seg, "trkpt")) addPoint(p, track);
    }
    points = turnsOf(track);
  }
  if (!fromTrack) {
    for (std::size_t i = 0; i < points.size(); ++i) points[i].bend = bendAt(points, i);
  }
  if (points.empty()) {
    err << "エラー: " << in << " にルート（rte の rtept）も走行の軌跡（trk の trkpt）もありません。" << out
        << " は書きませんでした。\n";
    return 1;
  }
  if (points.size() > static_cast<std::size_t>(WaypointTable::kRows)) {
    err << "エラー: 地点が " << points.size() << " 個あります。ルートファイルに入るのは " << WaypointTable::kRows
        << " 個までです。GPX を " << (points.size() + WaypointTable::kRows - 1) / WaypointTable::kRows
        << " つ以上のルートに分けてください。" << out << " は書きませんでした。\n";
    return 1;
  }

  std::vector<RouteWaypointSpec> waypoints;
  int replaced = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const Coordinates position = filePosition(points[i].position, datum);
    if (position.latitude <= 0 || position.longitude <= 0 || position.latitude > kLargestCodedCoordinate ||
        position.longitude > kLargestCodedCoordinate) {
      err << "エラー: 地点 " << i + 1 << " が北緯・東経の外にあり、ルートファイルに書けません。" << out
          << " は書きませんでした。\n";
      return 1;
    }
    const double bend = points[i].bend;
    const char* tag = i + 1 == points.size() ? "目" : bend >= kTurnDegrees ? "右" : bend <= -kTurnDegrees ? "左" : "直";
    const SjisText name = sjisFromUtf8(points[i].name);
    replaced += name.replaced;
    std::string text = tag;
    if (!name.text.empty()) text += " " + tagSafeName(name.text);
    waypoints.push_back({position, sjis::truncate(text, kWaypointTextBytes)});
  }
  if (!writeWholeFile(out, routeFileText(waypoints), err)) return 1;
  err << "地点 " << waypoints.size() << " 個を書きました（" << (fromTrack ? "軌跡の曲がり角と終点" : "ルートの地点")
      << "）。";
  if (replaced > 0) err << "シフトJISにない " << replaced << " 文字を「？」にしました。";
  err << "\n";
  return 0;
}

}  // namespace tabiro::inspect
