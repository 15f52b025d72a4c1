#include "import_route.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <sstream>

#include <pugixml.hpp>

#include "core/shared_state.h"
#include "file_kind.h"
#include "import_common.h"
#include "platform/sjis.h"
#include "route_turns.h"
#include "route_writer.h"
#include "sjis_from_utf8.h"

namespace tabiro::inspect {

namespace {

constexpr const char* kAccepted = "GPX（ルート・軌跡・地点）と KML（LineString・Point の Placemark）";
// Names listed in the message when a file holds more routes than the one taken.
constexpr std::size_t kOthersListed = 8;
// A track that starts this near the end of the one before goes on with it.
constexpr double kJoinMetres = 5000;

struct Options {
  std::string in, out;
  FileDatum datum = FileDatum::Tokyo;
  int route = 0;  // 1-based; 0 when not chosen
  int track = 0;
};

std::optional<int> positiveNumber(const std::string& text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
  return value;
}

// "--route N" or "--track N": the N-th, from 1.
ImportOption numberOption(std::string_view name, int& number) {
  return {name, true, [&number](const std::string& value) {
            const std::optional<int> n = positiveNumber(value);
            if (n) number = *n;
            return n.has_value();
          }};
}

std::optional<Options> parseOptions(const std::vector<std::string>& args) {
  Options o;
  const std::optional<ImportFiles> files = parseImportCommand(
      args, {datumOption(o.datum), numberOption("--route", o.route), numberOption("--track", o.track)});
  if (!files || (o.route > 0 && o.track > 0)) return std::nullopt;
  o.in = files->in;
  o.out = files->out;
  return o;
}

// What a planner said at a route point.
enum class Instruction { Continue, Left, Right };

// A route, a track or a KML line: its points and, from a planner, its turns.
struct Line {
  std::string name;  // UTF-8
  std::vector<LinePoint> points;
  std::vector<RouteTurn> instructed;  // the planner's turns and the end, when it gave them
  bool hasInstructions = false;
};

struct Contents {
  std::vector<Line> routes, tracks;
  std::vector<LinePoint> waypoints;
};

// A refusal with the line of the file it concerns.
struct BadInput {
  std::string message;  // Shift-JIS
};

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

// In document order, without recursion: a file nested a million deep must
// not exhaust the stack.
void descendantsNamed(const pugi::xml_node& parent, std::string_view name, std::vector<pugi::xml_node>& out) {
  pugi::xml_node n = parent.first_child();
  while (n) {
    if (localName(n) == name) out.push_back(n);
    if (n.first_child()) {
      n = n.first_child();
      continue;
    }
    while (n && n != parent && !n.next_sibling()) n = n.parent();
    n = n && n != parent ? n.next_sibling() : pugi::xml_node();
  }
}

std::string trimmed(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return std::string(s);
}

// Reads the file's coordinates strictly: "35,68" is no number (a decimal
// comma would otherwise read as 35), and nothing lies beyond the poles or
// the date line.
class CoordinateReader {
 public:
  CoordinateReader(const std::string& path, const std::string& text) : path_(path), text_(text) {}

  GeoDegrees position(std::string_view latitude, std::string_view longitude, const pugi::xml_node& at) const {
    return {number(latitude, "緯度", 90, at), number(longitude, "経度", 180, at)};
  }

  [[noreturn]] void refuse(const pugi::xml_node& at, const std::string& what) const {
    throw BadInput{path_ + " の " + std::to_string(xmlLine(text_, at)) + "行目: " + what};
  }

 private:
  double number(std::string_view text, const char* what, double limit, const pugi::xml_node& at) const {
    const std::string t = trimmed(text);
    double value = 0;
    const char* begin = t.data() + (t.size() > 1 && t[0] == '+' ? 1 : 0);
    const auto [end, ec] = std::from_chars(begin, t.data() + t.size(), value);
    const std::string quoted = "「" + sjisFromUtf8(t).text + "」";
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(value)) {
      refuse(at, what + quoted + " は数として読めません（小数点は「.」です）。");
    }
    if (std::abs(value) > limit) {
      std::ostringstream range;
      range << what << quoted << " は -" << limit << " から " << limit << " の外です。";
      refuse(at, range.str());
    }
    return value;
  }

  const std::string& path_;
  const std::string& text_;
};

// GraphHopper's sign: the side the car turns to. A roundabout is entered
// turning left (Japan's turn clockwise); a U-turn of no side goes right.
Instruction graphHopperSign(int sign) {
  switch (sign) {
    case -3: case -2: case -1: case -7: case -8: case 6: return Instruction::Left;
    case 1: case 2: case 3: case 7: case 8: case -98: return Instruction::Right;
    default: return Instruction::Continue;  // 0 continue, 4 finish, 5 via reached, and what a later version adds
  }
}

// BRouter's OsmAnd-style hint (<turn> in a route point's extensions).
Instruction brouterTurn(std::string_view code) {
  if (code == "TL" || code == "TSLL" || code == "TSHL" || code == "KL" || code == "TLU" || code.rfind("RNLB", 0) == 0 ||
      code == "EL") {
    return Instruction::Left;
  }
  if (code == "TR" || code == "TSLR" || code == "TSHR" || code == "KR" || code == "TRU" || code == "TU" ||
      code.rfind("RNDB", 0) == 0 || code == "ER") {
    return Instruction::Right;
  }
  return Instruction::Continue;
}

// The planner's instruction at a route point, and whether it gave one.
std::optional<Instruction> instructionOf(const pugi::xml_node& rtept) {
  const pugi::xml_node extensions = firstChild(rtept, "extensions");
  if (!extensions) return std::nullopt;
  if (const pugi::xml_node sign = firstChild(extensions, "sign")) {
    const std::string text = trimmed(sign.child_value());
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return graphHopperSign(ec == std::errc() && end == text.data() + text.size() ? value : 0);
  }
  if (const pugi::xml_node turn = firstChild(extensions, "turn")) return brouterTurn(trimmed(turn.child_value()));
  return std::nullopt;
}

Line gpxRoute(const pugi::xml_node& rte, const CoordinateReader& read) {
  Line line{firstChild(rte, "name").child_value(), {}, {}, false};
  for (const pugi::xml_node p : childrenNamed(rte, "rtept")) {
    const LinePoint point{read.position(p.attribute("lat").value(), p.attribute("lon").value(), p),
                          firstChild(p, "name").child_value()};
    line.points.push_back(point);
    if (const auto instruction = instructionOf(p)) {
      line.hasInstructions = true;
      // Nothing is said where the drive starts, whatever the planner says there.
      const bool start = line.points.size() == 1;
      if (!start && (*instruction == Instruction::Left || *instruction == Instruction::Right)) {
        line.instructed.push_back({point.position, point.name,
                                   *instruction == Instruction::Left ? TurnSide::Left : TurnSide::Right});
      }
    }
    // Garmin's route points carry the road between them as shaping points:
    // geometry to find the turns on, not turns themselves.
    std::vector<pugi::xml_node> shaping;
    descendantsNamed(firstChild(p, "extensions"), "rpt", shaping);
    for (const pugi::xml_node s : shaping) {
      line.points.push_back({read.position(s.attribute("lat").value(), s.attribute("lon").value(), s), {}});
    }
  }
  if (line.hasInstructions && !line.points.empty()) {
    // The end is the destination, whatever its instruction says.
    if (!line.instructed.empty() && metresBetween(line.instructed.back().position, line.points.back().position) < 1) {
      line.instructed.pop_back();
    }
    line.instructed.push_back({line.points.back().position, line.points.back().name, TurnSide::None});
  }
  return line;
}

Contents readGpx(const pugi::xml_node& gpx, const CoordinateReader& read) {
  Contents c;
  for (const pugi::xml_node rte : childrenNamed(gpx, "rte")) c.routes.push_back(gpxRoute(rte, read));
  for (const pugi::xml_node trk : childrenNamed(gpx, "trk")) {
    // A logger that lost its fix starts a new segment: the drive goes on.
    Line track{firstChild(trk, "name").child_value(), {}, {}, false};
    for (const pugi::xml_node seg : childrenNamed(trk, "trkseg")) {
      for (const pugi::xml_node p : childrenNamed(seg, "trkpt")) {
        track.points.push_back({read.position(p.attribute("lat").value(), p.attribute("lon").value(), p), {}});
      }
    }
    c.tracks.push_back(std::move(track));
  }
  for (const pugi::xml_node w : childrenNamed(gpx, "wpt")) {
    c.waypoints.push_back({read.position(w.attribute("lat").value(), w.attribute("lon").value(), w),
                           firstChild(w, "name").child_value()});
  }
  return c;
}

// KML writes "lon,lat[,alt]" tuples separated by white space.
std::vector<LinePoint> kmlCoordinates(const pugi::xml_node& coordinates, const CoordinateReader& read) {
  std::vector<LinePoint> points;
  std::istringstream tuples(coordinates.child_value());
  std::string tuple;
  while (tuples >> tuple) {
    const std::size_t comma = tuple.find(',');
    if (comma == std::string::npos) read.refuse(coordinates, "座標「" + sjisFromUtf8(tuple).text + "」が「経度,緯度」の形ではありません。");
    const std::size_t second = tuple.find(',', comma + 1);
    const std::string_view lon = std::string_view(tuple).substr(0, comma);
    const std::string_view lat = std::string_view(tuple).substr(comma + 1, second == std::string::npos ? std::string::npos : second - comma - 1);
    points.push_back({read.position(lat, lon, coordinates), {}});
  }
  return points;
}

Contents readKml(const pugi::xml_node& kml, const CoordinateReader& read) {
  Contents c;
  std::vector<pugi::xml_node> placemarks;
  descendantsNamed(kml, "Placemark", placemarks);
  for (const pugi::xml_node placemark : placemarks) {
    const std::string name = firstChild(placemark, "name").child_value();
    std::vector<pugi::xml_node> lines, points;
    descendantsNamed(placemark, "LineString", lines);
    descendantsNamed(placemark, "Point", points);
    if (!lines.empty()) {
      Line line{name, {}, {}, false};
      for (const pugi::xml_node l : lines) {
        const std::vector<LinePoint> part = kmlCoordinates(firstChild(l, "coordinates"), read);
        line.points.insert(line.points.end(), part.begin(), part.end());
      }
      c.routes.push_back(std::move(line));
    } else if (!points.empty()) {
      const std::vector<LinePoint> at = kmlCoordinates(firstChild(points.front(), "coordinates"), read);
      if (!at.empty()) c.waypoints.push_back({at.front().position, name});
    }
  }
  return c;
}

// The lines of `lines` from `first` to `last` that are not empty and not
// taken, by number and name, for the message.
std::string listed(const std::vector<Line>& lines, std::size_t first, std::size_t last) {
  std::string text;
  std::size_t shown = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if ((i >= first && i <= last) || lines[i].points.empty()) continue;
    if (++shown > kOthersListed) {
      text += " ほか";
      break;
    }
    text += " " + std::to_string(i + 1);
    if (!lines[i].name.empty()) text += "「" + sjisFromUtf8(lines[i].name).text + "」";
  }
  return text;
}

// The line the user asked for, or the first route, the first track with
// those that continue it, or the waypoints in file order; what else the file
// holds goes to `err`, and `source` says what was taken.
Line chooseLine(const Contents& c, const Options& o, std::string& source, std::ostream& err) {
  const auto firstWithPoints = [](const std::vector<Line>& lines) {
    std::size_t i = 0;
    while (i < lines.size() && lines[i].points.empty()) ++i;
    return i;
  };
  const bool tracks = o.track > 0 || (o.route == 0 && firstWithPoints(c.routes) == c.routes.size());
  const std::vector<Line>& lines = tracks ? c.tracks : c.routes;
  const char* kind = tracks ? "軌跡" : "ルート";
  const int asked = tracks ? o.track : o.route;
  if (asked > 0 && static_cast<std::size_t>(asked) > lines.size()) {
    throw BadInput{o.in + " には" + kind + "が " + std::to_string(lines.size()) + " 本しかありません。"};
  }
  std::size_t first = asked > 0 ? static_cast<std::size_t>(asked - 1) : firstWithPoints(lines);
  if (first == lines.size()) {
    source = "地点の並び";
    return {{}, c.waypoints, {}, false};
  }
  Line line = lines[first];
  std::size_t last = first;
  // A logger that lost its fix starts a new track where the drive goes on.
  for (std::size_t next = first + 1; tracks && asked == 0 && next < lines.size(); ++next) {
    const std::vector<LinePoint>& more = lines[next].points;
    if (more.empty()) continue;
    if (metresBetween(line.points.back().position, more.front().position) > kJoinMetres) break;
    line.points.insert(line.points.end(), more.begin(), more.end());
    last = next;
  }
  source = std::string(kind) + " " + std::to_string(first + 1) + (last > first ? "〜" + std::to_string(last + 1) : "") +
           " 本目";
  const std::string others = listed(lines, first, last);
  if (!others.empty()) {
    err << source << "を使いました。ほかの" << kind << ":" << others << "（" << (tracks ? "--track" : "--route")
        << " 番号 で選べます）\n";
  }
  return line;
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

int importRouteFrom(const Options& o, std::ostream& err) {
  DetectedFile kind;
  if (!detectFileKindAt(o.in, kind, err)) return 1;
  if (kind.kind != FileKind::Gpx && kind.kind != FileKind::Kml) {
    err << unreadableFileText(o.in, kind, kAccepted) << o.out << " は書きませんでした。\n";
    return 1;
  }
  pugi::xml_document doc;
  std::string text;
  if (!loadXml(o.in, doc, err, &text)) return 1;
  const CoordinateReader read(o.in, text);
  const Contents contents = kind.kind == FileKind::Gpx ? readGpx(doc.document_element(), read)
                                                       : readKml(doc.document_element(), read);
  std::string source;
  const Line line = chooseLine(contents, o, source, err);
  if (line.points.empty()) {
    err << "エラー: " << o.in << " にルート（rte の rtept、KML の LineString）も走行の軌跡（trk の trkpt）も地点（wpt、"
        << "KML の Point）もありません。" << o.out << " は書きませんでした。\n";
    return 1;
  }
  const std::vector<RouteTurn> turns = line.hasInstructions ? line.instructed : turnsOfLine(line.points);
  if (turns.size() > static_cast<std::size_t>(WaypointTable::kRows)) {
    err << "エラー: 曲がり角と目的地が " << turns.size() << " 個あります。ルートファイルに入るのは " << WaypointTable::kRows
        << " 個までです。ルートを " << (turns.size() + WaypointTable::kRows - 1) / WaypointTable::kRows
        << " つ以上に分けてください。" << o.out << " は書きませんでした。\n";
    return 1;
  }

  std::vector<RouteWaypointSpec> waypoints;
  int replaced = 0;
  for (std::size_t i = 0; i < turns.size(); ++i) {
    const Coordinates position = filePosition(turns[i].position, o.datum);
    if (position.latitude <= 0 || position.longitude <= 0 || position.latitude > kLargestCodedCoordinate ||
        position.longitude > kLargestCodedCoordinate) {
      err << "エラー: 地点 " << i + 1 << " が北緯・東経の外にあり、ルートファイルに書けません。" << o.out
          << " は書きませんでした。\n";
      return 1;
    }
    const bool end = i + 1 == turns.size();
    const char* tag = end ? "目" : turns[i].side == TurnSide::Right ? "右" : "左";
    const SjisText name = sjisFromUtf8(turns[i].name);
    replaced += name.replaced;
    std::string waypointText = tag;
    if (!name.text.empty()) waypointText += " " + tagSafeName(name.text);
    waypoints.push_back({position, sjis::truncate(waypointText, kWaypointTextBytes)});
  }
  if (!writeWholeFile(o.out, routeFileText(waypoints), err)) return 1;
  err << "地点 " << waypoints.size() << " 個を書きました（" << source << "の"
      << (line.hasInstructions ? "案内の曲がり角と目的地" : "曲がり角と終点") << "）。";
  if (replaced > 0) err << "シフトJISにない " << replaced << " 文字を「？」にしました。";
  err << "\n";
  return 0;
}

}  // namespace

int importRoute(const std::vector<std::string>& args, std::ostream& err) {
  const auto options = parseOptions(args);
  if (!options) return 2;
  try {
    return importRouteFrom(*options, err);
  } catch (const BadInput& bad) {
    err << "エラー: " << bad.message << options->out << " は書きませんでした。\n";
    return 1;
  }
}

}  // namespace tabiro::inspect
