#include "inspect.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>

#include "core/shared_state.h"
#include "gps/coordinates.h"
#include "gps/nmea.h"
#include "gps/status_bar.h"
#include "guidance/camera_file.h"
#include "guidance/file_warnings.h"
#include "guidance/route_file.h"
#include "guidance/text_file.h"
#include "gpx.h"
#include "import_cameras.h"
#include "import_route.h"
#include "map_picture.h"
#include "replay.h"

namespace tabiro::inspect {

namespace {

constexpr const char* kUsage =
    "使い方:\n"
    "  tabiro-inspect route ファイル.nyp        ルートファイルの地点\n"
    "  tabiro-inspect cameras ファイル.pot      オービスファイルの地点\n"
    "  tabiro-inspect status \"時速\" \"北緯\" \"東経\"  ステータスバーの3つのテキスト\n"
    "  tabiro-inspect nmea 受信記録.nmea         GPS受信機の NMEA から受信機リーダーが出す測位\n"
    "  tabiro-inspect gpx 記録.log [--datum tokyo|wgs84]\n"
    "                                           GPS記録（トラックログ）を GPX 1.1（WGS84）で出力\n"
    "  tabiro-inspect replay ルート.nyp オービス.pot 走行 [--profile 設定.ini]\n"
    "                                           走行（NMEA か GPS記録）に沿った案内の再現\n"
    "  tabiro-inspect import-cameras 地図 オービス.pot [--datum tokyo|wgs84] [--append]\n"
    "                 [--direction facing|travel]  OpenStreetMap（.osm・.osm.gz・.osm.pbf）、\n"
    "                                           Overpass API の JSON、GeoJSON からオービスファイルを作る\n"
    "  tabiro-inspect import-route ルート.gpx ルート.nyp [--datum tokyo|wgs84] [--route N | --track N]\n"
    "                                           GPX・KML のルートか軌跡の曲がり角からルートファイルを作る\n"
    "  tabiro-inspect map ルート.nyp オービス.pot [走行] -o 地図.svg\n"
    "                                           ルート・オービス・走行と案内した所の地図（SVG）\n"
    "--datum はルートファイル・オービスファイル・GPS記録の測地系です（既定 tokyo、地図ソフトの日本測地系）。\n"
    "入出力のテキストはシフトJISです。\n";

// Commands that make files: the arguments after the name, messages on stderr.
using FileCommand = int (*)(const std::vector<std::string>&, std::ostream&);
constexpr std::pair<const char*, FileCommand> kFileCommands[] = {
    {"import-cameras", importCameras},
    {"import-route", importRoute},
    {"map", drawMap},
};

// Control bytes made visible; they are never part of a two-byte character.
std::string visible(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (b < 0x20 || b == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", b);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

std::string position(Coordinates p) {
  return "北緯 " + formatDms(p.latitude) + " (" + formatDegrees(p.latitude) + ")  東経 " +
         formatDms(p.longitude) + " (" + formatDegrees(p.longitude) + ")  [" +
         std::to_string(p.latitude) + ", " + std::to_string(p.longitude) + "]";
}

void printWarnings(const std::vector<FileWarning>& warnings, GuidanceFile kind, std::ostream& out) {
  for (const FileWarning& w : warnings) out << "警告 " << fileWarningText(w, kind) << "\n";
}

std::optional<std::ifstream> openFile(const std::string& path, std::ostream& err) {
  std::ifstream file;
  if (!openForReading(file, path)) {
    err << fileOpenErrorText(path) << "\n";
    return std::nullopt;
  }
  return file;
}

int inspectRoute(const std::string& path, std::ostream& out, std::ostream& err) {
  auto file = openFile(path, err);
  if (!file) return 1;
  const RouteScan scan = scanRoute(*file);
  out << "ルートファイル " << path << "\n";
  int number = 0;
  for (const RouteWaypoint& w : scan.waypoints) {
    out << "地点 " << ++number << "（" << w.line << "行目）: " << position(w.position) << "\n"
        << "  テキスト \"" << visible(w.text) << "\"\n";
  }
  out << "WayPointMax = " << scan.waypoints.size() << "\n";
  printWarnings(scan.warnings, GuidanceFile::Route, out);
  return 0;
}

int inspectCameras(const std::string& path, std::ostream& out, std::ostream& err) {
  auto file = openFile(path, err);
  if (!file) return 1;
  const CameraScan scan = scanCameras(*file);
  out << "オービスファイル " << path << "\n";
  int number = 0;
  std::optional<int> listEnd;
  for (const CameraEntry& c : scan.cameras) {
    ++number;
    if (!listEnd && (c.position.latitude == 0 || c.position.longitude == 0)) listEnd = number;
    out << "行 " << number << "（" << c.line << "行目）: " << position(c.position) << "  方向 "
        << (c.direction == CameraTable::kAnyDirection ? std::string("全方向")
                                                      : std::to_string(c.direction) + "°")
        << "\n  テキスト \"" << visible(c.text) << "\"\n";
  }
  out << "読み込まれる行 " << scan.cameras.size() << "、警報の対象 "
      << (listEnd ? *listEnd - 1 : number) << " 件\n";
  printWarnings(scan.warnings, GuidanceFile::Cameras, out);
  return 0;
}

// The bytes the reader takes of a text, when it does not take them all.
void printSeen(const std::string& text, std::ostream& out) {
  const std::string_view seen = statusTextSeen(text);
  if (seen.size() < text.size()) {
    out << "  （最初の" << kStatusTextBytes << "バイト \"" << visible(seen) << "\" を読みます）\n";
  }
}

void printCoordinate(const char* name, const std::string& text,
                     const std::optional<StatusCoordinate>& c, std::ostream& out) {
  out << name << ": ";
  if (c) {
    out << c->value << " = " << formatDms(c->value) << " (" << formatDegrees(c->value)
        << ")  記録されるテキスト \"" << visible(c->text) << "\"\n";
  } else {
    out << "ラベル \"" << name << "\" で始まりません\n";
  }
  printSeen(text, out);
}

int inspectStatus(const std::string& speedText, const std::string& latitudeText,
                  const std::string& longitudeText, std::ostream& out) {
  const auto speed = parseSpeed(speedText);
  out << "時速: "
      << (speed ? std::to_string(*speed) + " km/h"
                : std::string("ラベル \"時速\" で始まらないため変わりません"))
      << "\n";
  printSeen(speedText, out);
  const auto latitude = parseLatitude(latitudeText);
  const auto longitude = parseLongitude(longitudeText);
  printCoordinate("北緯", latitudeText, latitude, out);
  printCoordinate("東経", longitudeText, longitude, out);
  if (!latitude || !longitude) {
    out << "位置: 北緯と東経のラベルが両方は合わないため、位置と進行方向は変わりません\n";
  }
  return 0;
}

std::string timeOfDayText(const std::optional<std::int64_t>& ms) {
  if (!ms) return "--:--:--.---";
  char text[16];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", static_cast<long long>(*ms / 3600000),
                static_cast<long long>(*ms / 60000 % 60), static_cast<long long>(*ms / 1000 % 60),
                static_cast<long long>(*ms % 1000));
  return text;
}

// The fixes the receiver reader would publish from a receiver's bytes.
int inspectNmea(const std::string& path, std::ostream& out, std::ostream& err) {
  auto file = openFile(path, err);
  if (!file) return 1;
  const std::string bytes{std::istreambuf_iterator<char>(*file), std::istreambuf_iterator<char>()};
  NmeaLineAssembler lines;
  NmeaFixReader fixes;
  int count = 0;
  for (const std::string& sentence : lines.feed(bytes + "\n")) {
    const auto parsed = parseNmeaSentence(sentence);
    const auto fix = parsed ? fixes.take(*parsed) : std::nullopt;
    if (!fix) continue;
    ++count;
    char course[16] = "なし";
    if (fix->course) std::snprintf(course, sizeof course, "%.1f°", *fix->course);
    char text[160];
    std::snprintf(text, sizeof text, "UTC %s  緯度 %.7f  経度 %.7f  時速 %.1f km/h  進路 %s\n",
                  timeOfDayText(fix->timeOfDayMs).c_str(), fix->position.latitude,
                  fix->position.longitude, fix->speedKmh, course);
    out << text;
  }
  out << "測位 " << count << " 件\n";
  return 0;
}

}  // namespace

std::string formatDms(std::int32_t value) {
  const std::int64_t v = value;
  const std::int64_t magnitude = v < 0 ? -v : v;
  char text[64];
  std::snprintf(text, sizeof text, "%s%lld°%02lld′%05.2f″", v < 0 ? "-" : "",
                static_cast<long long>(magnitude / kUnitsPerDegree),
                static_cast<long long>(magnitude % kUnitsPerDegree / kUnitsPerMinute),
                static_cast<double>(magnitude % kUnitsPerMinute) / kUnitsPerSecond);
  return text;
}

std::string formatDegrees(std::int32_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value) / kUnitsPerDegree);
  return text;
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 2 && args[0] == "route") return inspectRoute(args[1], out, err);
  if (args.size() == 2 && args[0] == "cameras") return inspectCameras(args[1], out, err);
  if (!args.empty() && args[0] == "gpx") {
    const int code = gpxCommand({args.begin() + 1, args.end()}, out, err);
    if (code != 2) return code;
  }
  if (!args.empty() && args[0] == "replay") {
    const int code = replay({args.begin() + 1, args.end()}, out, err);
    if (code != 2) return code;
  }
  for (const auto& [name, command] : kFileCommands) {
    if (!args.empty() && args[0] == name) {
      const int code = command({args.begin() + 1, args.end()}, err);
      if (code != 2) return code;
    }
  }
  if (args.size() == 2 && args[0] == "nmea") return inspectNmea(args[1], out, err);
  if (args.size() == 4 && args[0] == "status") return inspectStatus(args[1], args[2], args[3], out);
  err << kUsage;
  return 2;
}

}  // namespace tabiro::inspect
