#include "import_cameras.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string_view>
#include <unordered_map>

#include <pugixml.hpp>

#include "guidance/camera_file.h"
#include "guidance/guidance_engine.h"
#include "import_common.h"
#include "platform/sjis.h"
#include "sjis_from_utf8.h"

namespace tabiro::inspect {

namespace {

// Cameras nearer than this, watching the same way, are one camera mapped twice.
constexpr double kMergeMetres = 20.0;
constexpr double kSameWayDegrees = 45.0;
constexpr const char* kDefaultName = "オービス";
// Sounds and pictures are chosen by these words: a cut text keeps them.
constexpr std::string_view kKindWords[] = {"Hシステム", "ループコイル", "レーダ"};

enum class DirectionTag { Facing, Travel };

struct Options {
  std::string in, out;
  FileDatum datum = FileDatum::Tokyo;
  bool append = false;
  DirectionTag direction = DirectionTag::Facing;
};

std::optional<Options> parseOptions(const std::vector<std::string>& args) {
  Options o;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--append") {
      o.append = true;
    } else if (a == "--datum" && hasValue) {
      const auto datum = parseDatum(args[++i]);
      if (!datum) return std::nullopt;
      o.datum = *datum;
    } else if (a == "--direction" && hasValue) {
      const std::string& v = args[++i];
      if (v != "facing" && v != "travel") return std::nullopt;
      o.direction = v == "travel" ? DirectionTag::Travel : DirectionTag::Facing;
    } else if (a.rfind("--", 0) == 0) {
      return std::nullopt;
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) return std::nullopt;
  o.in = files[0];
  o.out = files[1];
  return o;
}

struct Camera {
  long long node = 0;
  GeoDegrees position;             // WGS84
  std::optional<double> travel;    // the bearing of travel it watches
  std::string text;                // Shift-JIS, as written
  Coordinates filePosition;
};

struct Report {
  int found = 0, merged = 0, alreadyInFile = 0, withoutDirection = 0, replaced = 0;
  std::vector<std::string> skipped;
  std::vector<std::string> notes;
};

std::string tag(const pugi::xml_node& element, const char* key) {
  for (const pugi::xml_node t : element.children("tag")) {
    if (std::string_view(t.attribute("k").value()) == key) return t.attribute("v").value();
  }
  return {};
}

// A "direction" value in degrees or compass letters, as the way the camera faces.
std::optional<double> compassBearing(std::string value) {
  while (!value.empty() && value.back() == ' ') value.pop_back();
  while (!value.empty() && value.front() == ' ') value.erase(0, 1);
  if (value.empty()) return std::nullopt;
  static const char* const kLetters[] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                         "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
  for (int i = 0; i < 16; ++i) {
    if (value == kLetters[i]) return i * 22.5;
  }
  char* end = nullptr;
  const double degrees = std::strtod(value.c_str(), &end);
  if (end != value.c_str() + value.size() || !std::isfinite(degrees)) return std::nullopt;
  const double wrapped = std::fmod(degrees, 360.0);
  return wrapped < 0 ? wrapped + 360.0 : wrapped;
}

// "60", "60 km/h" or "40 mph" in km/h; nothing for "JP:urban" and the like.
std::optional<int> maxspeedKmh(const std::string& value) {
  char* end = nullptr;
  const double speed = std::strtod(value.c_str(), &end);
  if (end == value.c_str() || !(speed > 0) || speed > 300) return std::nullopt;
  const std::string unit(end);
  if (unit.find("mph") != std::string::npos) return static_cast<int>(std::lround(speed * 1.609344));
  return static_cast<int>(std::lround(speed));
}

// The text's characters that would end it or be read as a key: the field
// separator and "=" become their full-width forms, control bytes blanks.
std::string fieldSafe(std::string_view text) {
  return sjis::replaceSingleBytes(text, [](char c) -> std::string {
    if (c == '/') return "／";
    if (c == '=') return "＝";
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return " ";
    return std::string(1, c);
  });
}

// Name, else ref, else the default, with the speed limit, in 50 bytes.
std::string cameraText(const std::string& nameUtf8, std::optional<int> limit, int& replaced) {
  std::string name = kDefaultName;
  if (!nameUtf8.empty()) {
    const SjisText converted = sjisFromUtf8(nameUtf8);
    replaced += converted.replaced;
    name = fieldSafe(converted.text);
  }
  const std::string suffix = limit ? " 制限" + std::to_string(*limit) + "キロ" : std::string();
  if (name.size() + suffix.size() <= kCameraTextBytes) return name + suffix;
  const std::size_t room = kCameraTextBytes - suffix.size();
  std::string cut = sjis::truncate(name, room);
  for (const std::string_view kind : kKindWords) {
    if (!sjis::contains(name, kind)) continue;
    if (!sjis::contains(cut, kind)) cut = sjis::truncate(name, room - kind.size()) + std::string(kind);
    break;
  }
  return cut + suffix;
}

struct OsmNode {
  GeoDegrees position;
  pugi::xml_node element;
};

struct Enforcement {
  long long relation = 0;
  std::optional<long long> from;
  pugi::xml_node element;
};

class OsmFile {
 public:
  OsmFile(const pugi::xml_node& root, DirectionTag directionTag, Report& report)
      : directionTag_(directionTag), report_(report) {
    for (const pugi::xml_node n : root.children("node")) {
      nodes_[n.attribute("id").as_llong()] = {{n.attribute("lat").as_double(), n.attribute("lon").as_double()}, n};
    }
    for (const pugi::xml_node w : root.children("way")) readWay(w);
    for (const pugi::xml_node r : root.children("relation")) readRelation(r);
  }

  // Every camera in the order of the file's nodes; a node both tagged and a
  // relation's device is one camera.
  std::vector<Camera> cameras(const pugi::xml_node& root) {
    std::vector<Camera> result;
    for (const pugi::xml_node n : root.children("node")) {
      const long long id = n.attribute("id").as_llong();
      const auto device = devices_.find(id);
      const bool tagged = tag(n, "highway") == "speed_camera";
      if (!tagged && device == devices_.end()) continue;
      result.push_back(camera(id, device == devices_.end() ? nullptr : &device->second));
    }
    return result;
  }

 private:
  void readWay(const pugi::xml_node& w) {
    const long long id = w.attribute("id").as_llong();
    std::vector<long long> refs;
    for (const pugi::xml_node nd : w.children("nd")) refs.push_back(nd.attribute("ref").as_llong());
    if (tag(w, "highway") == "speed_camera") {
      report_.skipped.push_back("way " + std::to_string(id) +
                                ": 線か面に付いたオービスは位置が一つに決まらないため飛ばしました。");
    }
    for (std::size_t i = 0; i < refs.size(); ++i) wayOf_.try_emplace(refs[i], WayPlace{refs, i});
  }

  void readRelation(const pugi::xml_node& r) {
    const std::string kind = tag(r, "enforcement");
    if (tag(r, "type") != "enforcement" || (kind != "maxspeed" && kind != "average_speed")) return;
    const long long id = r.attribute("id").as_llong();
    Enforcement e{id, std::nullopt, r};
    std::vector<long long> devices;
    for (const pugi::xml_node m : r.children("member")) {
      if (std::string_view(m.attribute("type").value()) != "node") continue;
      const std::string_view role = m.attribute("role").value();
      if (role == "device") devices.push_back(m.attribute("ref").as_llong());
      if (role == "from" && nodes_.count(m.attribute("ref").as_llong())) e.from = m.attribute("ref").as_llong();
    }
    for (const long long device : devices) {
      if (!nodes_.count(device)) {
        report_.skipped.push_back("relation " + std::to_string(id) + ": 装置（device）の node " +
                                  std::to_string(device) + " がファイルにないため飛ばしました。");
        continue;
      }
      devices_.try_emplace(device, e);
    }
    if (devices.empty()) {
      report_.skipped.push_back("relation " + std::to_string(id) + ": 装置（device）がないため飛ばしました。");
    }
  }

  Camera camera(long long id, const Enforcement* relation) {
    const OsmNode& node = nodes_.at(id);
    Camera c;
    c.node = id;
    c.position = node.position;
    if (relation && relation->from) {
      c.travel = bearingDegrees(nodes_.at(*relation->from).position, node.position);
    } else {
      c.travel = directionOf(id, node.element);
    }
    auto either = [&](const char* key) {
      std::string value = tag(node.element, key);
      if (value.empty() && relation) value = tag(relation->element, key);
      return value;
    };
    std::string name = either("name");
    if (name.empty()) name = either("ref");
    c.text = cameraText(name, maxspeedKmh(either("maxspeed")), report_.replaced);
    return c;
  }

  // The bearing of travel from the node's "direction" tag.
  std::optional<double> directionOf(long long id, const pugi::xml_node& element) {
    std::string value = tag(element, "direction");
    if (value.empty()) value = tag(element, "camera:direction");
    if (value == "forward" || value == "backward") {
      const auto place = wayOf_.find(id);
      if (place == wayOf_.end()) {
        report_.notes.push_back("node " + std::to_string(id) + ": \"" + value +
                                "\" の道（way）がファイルにないため全方向にしました。");
        return std::nullopt;
      }
      const auto along = alongWay(place->second);
      if (!along) return std::nullopt;
      return value == "forward" ? *along : std::fmod(*along + 180.0, 360.0);
    }
    const auto facing = compassBearing(value);
    if (!facing) return std::nullopt;
    // The camera faces the traffic it watches: that traffic runs the other way.
    return directionTag_ == DirectionTag::Travel ? *facing : std::fmod(*facing + 180.0, 360.0);
  }

  struct WayPlace {
    std::vector<long long> refs;
    std::size_t index = 0;
  };

  // The bearing of the way at its node, in the order of its nodes.
  std::optional<double> alongWay(const WayPlace& place) {
    const std::size_t before = place.index > 0 ? place.index - 1 : place.index;
    const std::size_t after = place.index + 1 < place.refs.size() ? place.index + 1 : place.index;
    const auto a = nodes_.find(place.refs[before]);
    const auto b = nodes_.find(place.refs[after]);
    if (before == after || a == nodes_.end() || b == nodes_.end()) return std::nullopt;
    return bearingDegrees(a->second.position, b->second.position);
  }

  DirectionTag directionTag_;
  Report& report_;
  std::unordered_map<long long, OsmNode> nodes_;
  std::unordered_map<long long, WayPlace> wayOf_;
  std::unordered_map<long long, Enforcement> devices_;
};

// The bearing as the point file holds it: whole degrees, or any direction.
std::int32_t fileDirection(const std::optional<double>& travel) {
  if (!travel) return CameraTable::kAnyDirection;
  return static_cast<std::int32_t>(std::lround(*travel)) % 360;
}

bool sameWay(std::int32_t a, std::int32_t b) {
  if (a == CameraTable::kAnyDirection || b == CameraTable::kAnyDirection) return a == b;
  return std::abs(turnDegrees(a, b)) <= kSameWayDegrees;
}

bool sameCamera(Coordinates a, std::int32_t aWay, Coordinates b, std::int32_t bWay) {
  return distanceMetres(a.latitude, a.longitude, b.latitude, b.longitude) < kMergeMetres && sameWay(aWay, bWay);
}

// The nearest value whose D'M'S'T form reads back within half a tenth of a
// second: the form keeps tenths, cut, not rounded.
std::int32_t nearestTenth(std::int32_t value) {
  const long long tenths = std::llround(value / 25.6);
  return static_cast<std::int32_t>(tenths / 10 * kUnitsPerSecond +
                                   static_cast<long long>(std::ceil(tenths % 10 * 25.6)));
}

std::string cameraLine(const Camera& c) {
  const std::int32_t direction = fileDirection(c.travel);
  return "ORD=POI/tex=" + c.text + "/kei=" + formatDmst(nearestTenth(c.filePosition.longitude)) +
         "/ido=" + formatDmst(nearestTenth(c.filePosition.latitude)) + "/deg=" +
         (direction == CameraTable::kAnyDirection ? std::string() : std::to_string(direction)) + "\r\n";
}

void printReport(const Report& r, int written, std::ostream& err) {
  err << "オービス: 見つかった " << r.found << " 件、書き込んだ " << written << " 件、" << kMergeMetres
      << " m 以内でまとめた " << r.merged << " 件";
  if (r.alreadyInFile > 0) err << "、ファイルに既にあった " << r.alreadyInFile << " 件";
  err << "\n方向のないもの（全方向で警告） " << r.withoutDirection << " 件、シフトJISにない文字を「？」にした "
      << r.replaced << " 文字\n";
  for (const std::string& s : r.notes) err << s << "\n";
  for (const std::string& s : r.skipped) err << "飛ばしたもの: " << s << "\n";
}

}  // namespace

int importCameras(const std::vector<std::string>& args, std::ostream& err) {
  const auto options = parseOptions(args);
  if (!options) return 2;
  pugi::xml_document doc;
  if (!loadXml(options->in, doc, err)) return 1;
  const pugi::xml_node root = doc.child("osm");
  if (!root) {
    err << options->in << ": OpenStreetMap の XML（<osm> 要素）ではありません。\n";
    return 1;
  }

  Report report;
  OsmFile osm(root, options->direction, report);
  std::vector<Camera> found = osm.cameras(root);
  report.found = static_cast<int>(found.size());

  std::string existing;
  std::vector<CameraEntry> inFile;
  if (options->append) {
    std::ifstream file;
    if (openForReading(file, options->out)) {
      existing.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
      std::istringstream in(existing);
      const CameraScan scan = scanCameras(in);
      inFile = scan.cameras;
      for (const FileWarning& w : scan.warnings) {
        if (w.issue == FileIssue::ListEnds) {
          report.notes.push_back("注意: " + options->out + " の " + std::to_string(w.line) +
                                 "行目（緯度か経度が0の行）で一覧が終わるため、足した分も警告されません。");
        }
      }
    }
  }

  std::vector<Camera> kept;
  for (Camera& c : found) {
    c.filePosition = filePosition(c.position, options->datum);
    if (c.filePosition.latitude <= 0 || c.filePosition.longitude <= 0) {
      // The file holds north latitude and east longitude only.
      report.skipped.push_back("node " + std::to_string(c.node) + ": 北緯・東経の外にあるため飛ばしました。");
      continue;
    }
    const std::int32_t way = fileDirection(c.travel);
    bool merged = false;
    for (const Camera& k : kept) merged = merged || sameCamera(c.filePosition, way, k.filePosition, fileDirection(k.travel));
    if (merged) {
      ++report.merged;
      continue;
    }
    bool there = false;
    for (const CameraEntry& e : inFile) there = there || sameCamera(c.filePosition, way, e.position, e.direction);
    if (there) {
      ++report.alreadyInFile;
      continue;
    }
    if (!c.travel) ++report.withoutDirection;
    kept.push_back(c);
  }

  if (found.empty()) {
    printReport(report, 0, err);
    err << "エラー: " << options->in << " にオービス（highway=speed_camera の node、enforcement の relation）が"
        << "ありません。" << options->out << " は書きませんでした。\n";
    return 1;
  }
  std::string contents = existing;
  if (!contents.empty() && contents.back() != '\n') contents += "\r\n";
  for (const Camera& c : kept) contents += cameraLine(c);
  const std::size_t rows = inFile.size() + kept.size();
  if (rows > static_cast<std::size_t>(CameraTable::kRows)) {
    report.notes.push_back("注意: " + std::to_string(rows) + " 行のうち、読み込まれるのは最初の " +
                           std::to_string(CameraTable::kRows) + " 行だけです。地域ごとにファイルを分けてください。");
  }
  printReport(report, static_cast<int>(kept.size()), err);
  if (!writeWholeFile(options->out, contents, err)) return 1;
  return 0;
}

}  // namespace tabiro::inspect
