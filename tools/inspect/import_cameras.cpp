#include "import_cameras.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string_view>

#include "guidance/camera_file.h"
#include "guidance/camera_kinds.h"
#include "guidance/guidance_engine.h"
#include "file_kind.h"
#include "import_common.h"
#include "osm_file.h"
#include "osm_json.h"
#include "platform/sjis.h"
#include "sjis_from_utf8.h"

namespace tabiro::inspect {

namespace {

// Cameras nearer than this, watching the same way, are one camera mapped twice.
constexpr double kMergeMetres = 20.0;
constexpr double kSameWayDegrees = 45.0;
constexpr const char* kDefaultName = "オービス";

struct Options {
  std::string in, out;
  FileDatum datum = FileDatum::Tokyo;
  bool append = false;
  DirectionTag direction = DirectionTag::Facing;
};

std::optional<Options> parseOptions(const std::vector<std::string>& args) {
  Options o;
  const std::optional<ImportFiles> files = parseImportCommand(
      args, {{"--append", false, [&o](const std::string&) { return o.append = true; }},
             datumOption(o.datum),
             {"--direction", true, [&o](const std::string& value) {
                if (value != "facing" && value != "travel") return false;
                o.direction = value == "travel" ? DirectionTag::Travel : DirectionTag::Facing;
                return true;
              }}});
  if (!files) return std::nullopt;
  o.in = files->in;
  o.out = files->out;
  return o;
}

struct Camera {
  std::string object;              // "node 12"
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
  // Sounds and pictures are chosen by the kind's word: a cut text keeps it.
  for (const CameraKind& cameraKind : kCameraKinds) {
    const std::string_view kind = cameraKind.tag;
    if (!sjis::contains(name, kind)) continue;
    if (!sjis::contains(cut, kind)) cut = sjis::truncate(name, room - kind.size()) + std::string(kind);
    break;
  }
  return cut + suffix;
}

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

struct Found {
  CameraSearch search;
  std::string remark;  // UTF-8
};

// The cameras of the file, streamed when it is an OSM file; nothing, with
// the reason on `err`, when it cannot be read.
std::optional<Found> findInFile(const Options& o, std::ostream& err) {
  DetectedFile detected;
  if (!detectFileKindAt(o.in, detected, err)) return std::nullopt;
  Found found;
  if (detected.kind == FileKind::OverpassJson || detected.kind == FileKind::GeoJson) {
    std::ifstream file;
    if (!openForReading(file, o.in)) {
      err << fileOpenErrorText(o.in) << "\n";
      return std::nullopt;
    }
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    JsonOsm json;
    std::string error;
    if (!readOsmJson(text, json, error)) {
      err << o.in << ": " << sjisFromUtf8(error).text << "\n";
      return std::nullopt;
    }
    found.remark = json.remark;
    found.search = findCameras(memoryPass(json.objects), o.direction);
    return found;
  }
  if (detected.kind != FileKind::OsmXml && detected.kind != FileKind::OsmGzip && detected.kind != FileKind::OsmPbf) {
    err << unreadableFileText(o.in, detected, "OpenStreetMap の XML（.osm、.osm.gz）と PBF（.osm.pbf）、"
                                              "Overpass API の JSON、GeoJSON") << "\n";
    return std::nullopt;
  }
  try {
    const OsmFile osm(o.in, detected.kind == FileKind::OsmPbf    ? OsmFileFormat::Pbf
                            : detected.kind == FileKind::OsmGzip ? OsmFileFormat::GzipXml
                                                                 : OsmFileFormat::Xml);
    found.remark = osm.remark();
    found.search = findCameras([&osm](auto kinds, const OsmVisit& visit) { osm.read(kinds, visit); }, o.direction);
  } catch (const OsmReadError& e) {
    err << o.in << ": " << sjisFromUtf8(e.what()).text << "\n";
    return std::nullopt;
  }
  return found;
}

// Cameras of the new file that the point file holds already, but where the
// other datum puts them: the file was written in that datum.
int inOtherDatum(const std::vector<Camera>& found, const std::vector<CameraEntry>& inFile, FileDatum datum) {
  const FileDatum other = datum == FileDatum::Tokyo ? FileDatum::Wgs84 : FileDatum::Tokyo;
  int same = 0, shifted = 0;
  for (const Camera& c : found) {
    const std::int32_t way = fileDirection(c.travel);
    const Coordinates there = filePosition(c.position, other);
    for (const CameraEntry& e : inFile) {
      if (sameCamera(c.filePosition, way, e.position, e.direction)) {
        ++same;
        break;
      }
      if (sameCamera(there, way, e.position, e.direction)) {
        ++shifted;
        break;
      }
    }
  }
  return shifted > same ? shifted : 0;
}

}  // namespace

int importCameras(const std::vector<std::string>& args, std::ostream& err) {
  const auto options = parseOptions(args);
  if (!options) return 2;
  const std::optional<Found> search = findInFile(*options, err);
  if (!search) {
    err << options->out << " は書きませんでした。\n";
    return 1;
  }
  if (!search->remark.empty()) {
    err << "Overpass API の注記: " << sjisFromUtf8(search->remark).text << "\n";
    // A query cut short by a time-out or its memory gives part of the cameras.
    if (search->remark.find("error") != std::string::npos) {
      err << "エラー: 問い合わせが最後まで終わらず、結果が欠けています。[timeout:...] か [maxsize:...] を大きくするか、"
          << "範囲を狭めて問い合わせ直してください。" << options->out << " は書きませんでした。\n";
      return 1;
    }
  }
  if (!search->search.errors.empty()) {
    for (const std::string& e : search->search.errors) err << "エラー: " << sjisFromUtf8(e).text << "\n";
    err << options->out << " は書きませんでした。\n";
    return 1;
  }

  Report report;
  for (const std::string& n : search->search.notes) report.notes.push_back(sjisFromUtf8(n).text);
  for (const std::string& n : search->search.skipped) report.skipped.push_back(sjisFromUtf8(n).text);
  std::vector<Camera> found;
  for (const FoundCamera& f : search->search.cameras) {
    Camera c{f.object, f.position, f.travel, cameraText(f.name, maxspeedKmh(f.maxspeed), report.replaced), {}};
    c.filePosition = filePosition(c.position, options->datum);
    found.push_back(std::move(c));
  }
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
    if (const int shifted = inOtherDatum(found, inFile, options->datum)) {
      const bool tokyo = options->datum == FileDatum::Tokyo;
      err << "エラー: " << options->out << " は" << (tokyo ? "世界測地系（WGS84）" : "日本測地系（tokyo）")
          << "で書かれているようです。" << shifted << " 件のオービスが、その測地系で見ると既にあるものと重なります。"
          << "--datum " << (tokyo ? "wgs84" : "tokyo") << " を付けて足してください。" << options->out
          << " は書きませんでした。\n";
      return 1;
    }
  }

  std::vector<Camera> kept;
  for (Camera& c : found) {
    if (c.filePosition.latitude <= 0 || c.filePosition.longitude <= 0) {
      // The file holds north latitude and east longitude only.
      report.skipped.push_back(c.object + ": 北緯・東経の外にあるため飛ばしました。");
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
