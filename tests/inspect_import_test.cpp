// tabiro-inspect import-cameras, import-route and map: small hand-made OSM
// and GPX files, each output read back through the program's own readers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <zlib.h>

#include "fakes/temp_dir.h"
#include "gps/datum.h"
#include "guidance/camera_file.h"
#include "guidance/route_file.h"
#include "inspect.h"

namespace tabiro::inspect {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct Result {
  int code;
  std::string err;
};

Result runTool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = run(args, out, err);
  return {code, err.str()};
}

// XML files are UTF-8, while the narrow literals here are Shift-JIS.
std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string osm(const std::string& body) { return "<?xml version=\"1.0\"?>\n<osm version=\"0.6\">\n" + body + "</osm>\n"; }

std::string node(int id, double lat, double lon, const std::string& tags = "") {
  char head[128];
  std::snprintf(head, sizeof head, "<node id=\"%d\" lat=\"%.6f\" lon=\"%.6f\">", id, lat, lon);
  return head + tags + "</node>\n";
}
std::string tag(const std::string& k, const std::string& v) { return "<tag k=\"" + k + "\" v=\"" + v + "\"/>"; }
const std::string kCamera = tag("highway", "speed_camera");

CameraScan importedCameras(const testing::TempDir& dir, const std::string& osmText,
                           std::vector<std::string> extra = {}, Result* result = nullptr) {
  writeFile(dir.file("in.osm"), osmText);
  std::vector<std::string> args{"import-cameras", dir.file("in.osm"), dir.file("out.pot")};
  args.insert(args.end(), extra.begin(), extra.end());
  const Result r = runTool(args);
  if (result) *result = r;
  std::ifstream in(dir.file("out.pot"), std::ios::binary);
  return scanCameras(in);
}

TEST(ImportCameras, DirectionsFromEveryKindOfMapping) {
  const std::string way = "<way id=\"50\"><nd ref=\"1\"/><nd ref=\"2\"/>" + tag("highway", "primary") + "</way>\n";
  const std::string wayBack = "<way id=\"50\"><nd ref=\"2\"/><nd ref=\"1\"/>" + tag("highway", "primary") + "</way>\n";
  const std::string east = node(2, 35.68, 139.77);
  const struct {
    const char* name;
    std::string body;
    std::vector<std::string> extra;
    std::int32_t deg;
  } cases[] = {
      {"degrees face the traffic", node(1, 35.68, 139.76, kCamera + tag("direction", "90")), {}, 270},
      {"letters face the traffic", node(1, 35.68, 139.76, kCamera + tag("direction", "NNE")), {}, 203},
      {"travel as mapped", node(1, 35.68, 139.76, kCamera + tag("direction", "90")), {"--direction", "travel"}, 90},
      {"forward along the way", node(1, 35.68, 139.76, kCamera + tag("direction", "forward")) + east + way, {}, 90},
      {"forward on a way drawn back", node(1, 35.68, 139.76, kCamera + tag("direction", "forward")) + east + wayBack, {}, 270},
      {"backward along the way", node(1, 35.68, 139.76, kCamera + tag("direction", "backward")) + east + way, {}, 270},
      {"relation from to device", node(1, 35.68, 139.76) + node(2, 35.67, 139.76) +
           "<relation id=\"9\"><member type=\"node\" ref=\"2\" role=\"from\"/><member type=\"node\" ref=\"1\" "
           "role=\"device\"/>" + tag("type", "enforcement") + tag("enforcement", "maxspeed") + "</relation>\n",
       {}, 0},
      {"no direction", node(1, 35.68, 139.76, kCamera), {}, CameraTable::kAnyDirection},
  };
  for (const auto& c : cases) {
    testing::TempDir dir;
    const CameraScan scan = importedCameras(dir, osm(c.body), c.extra);
    ASSERT_EQ(scan.cameras.size(), 1U) << c.name;
    EXPECT_EQ(scan.cameras[0].direction, c.deg) << c.name;
  }
}

TEST(ImportCameras, TextsFitTheFieldAndKeepTheKindWord) {
  const std::string longName(60, 'A');
  const struct {
    std::string tags;
    std::string text;
    const char* report;
  } cases[] = {
      {tag("name", utf8(u8"環七/外回り")) + tag("maxspeed", "50"), "環七／外回り 制限50キロ", "0 文字"},
      {tag("ref", "R1") + tag("maxspeed", "30 mph"), "R1 制限48キロ", "0 文字"},
      {"", "オービス", "0 文字"},
      {tag("name", utf8(u8"Z😀")), "Z？", "1 文字"},
      {tag("name", longName + utf8(u8"Hシステム")) + tag("maxspeed", "80"), std::string(30, 'A') + "Hシステム 制限80キロ", "0 文字"},
  };
  for (const auto& c : cases) {
    testing::TempDir dir;
    Result result;
    const CameraScan scan = importedCameras(dir, osm(node(1, 35.68, 139.76, kCamera + c.tags)), {}, &result);
    ASSERT_EQ(scan.cameras.size(), 1U) << c.text;
    EXPECT_EQ(scan.cameras[0].text, c.text);
    EXPECT_LE(scan.cameras[0].text.size(), kCameraTextBytes);
    EXPECT_THAT(result.err, HasSubstr(c.report));
  }
}

TEST(ImportCameras, PositionsMergesSkipsAndErrors) {
  testing::TempDir dir;
  Result result;
  const std::string body = node(1, 35.68, 139.76, kCamera) + node(2, 35.68010, 139.76, kCamera) +
                           node(3, 35.69, 139.76, kCamera + tag("direction", "0")) +
                           node(4, 35.69010, 139.76, kCamera + tag("direction", "180")) +
                           "<way id=\"7\"><nd ref=\"1\"/><nd ref=\"3\"/>" + kCamera + "</way>\n";
  const CameraScan scan = importedCameras(dir, osm(body), {}, &result);
  // 11 m apart the same way: one camera; opposite ways: two; the way at its centre.
  ASSERT_EQ(scan.cameras.size(), 4U);
  const Coordinates tokyo = coordinatesFromDegrees(tokyoFromWgs84({35.68, 139.76}));
  EXPECT_NEAR(scan.cameras[0].position.latitude, tokyo.latitude, 25.6);
  EXPECT_NEAR(scan.cameras[0].position.longitude, tokyo.longitude, 25.6);
  EXPECT_THAT(result.err, HasSubstr("まとめた 1 件"));

  // Appending the same file again adds nothing.
  importedCameras(dir, osm(body), {"--append"}, &result);
  std::ifstream again(dir.file("out.pot"), std::ios::binary);
  EXPECT_EQ(scanCameras(again).cameras.size(), 4U);
  EXPECT_THAT(result.err, HasSubstr("既にあった 5 件"));

  testing::TempDir empty;
  const CameraScan none = importedCameras(empty, osm(node(1, 35.68, 139.76)), {}, &result);
  EXPECT_EQ(result.code, 1);
  EXPECT_FALSE(std::filesystem::exists(empty.file("out.pot")));
}

std::string testData(const std::string& name) { return std::string(TABIRO_SOURCE_DIR) + "/tests/data/" + name; }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A position `north` and `east` metres from 35.68 N 139.76 E.
GeoDegrees metresAway(double north, double east) {
  return {35.68 + north / 111320.0, 139.76 + east / (111320.0 * std::cos(35.68 * 3.14159265358979 / 180))};
}
std::string nodeAt(int id, GeoDegrees at, const std::string& tags = "") { return node(id, at.latitude, at.longitude, tags); }

std::string relation(const std::string& members, const std::string& enforcement = "maxspeed") {
  return "<relation id=\"200\">" + members + tag("type", "enforcement") + tag("enforcement", enforcement) + "</relation>\n";
}
std::string member(const char* type, int ref, const char* role) {
  return std::string("<member type=\"") + type + "\" ref=\"" + std::to_string(ref) + "\" role=\"" + role + "\"/>";
}

TEST(ImportCameras, RelationsWatchTheRoadTheirEndsLieOn) {
  // A road running north-east (nodes 10 to 14, 50 m apart), the device 12 m
  // beside its middle, as the OSM wiki maps it.
  const double step = 50 / std::sqrt(2.0), aside = 12 / std::sqrt(2.0);
  std::string road;
  for (int k = 0; k < 5; ++k) road += nodeAt(10 + k, metresAway(k * step, k * step));
  const std::string device = nodeAt(1, metresAway(2 * step - aside, 2 * step + aside));
  const std::string way = "<way id=\"100\">" + std::string("<nd ref=\"10\"/><nd ref=\"11\"/><nd ref=\"12\"/><nd ref=\"13\"/><nd ref=\"14\"/>") +
                          tag("highway", "primary") + "</way>\n";
  const std::string wayDrawnBack = "<way id=\"100\"><nd ref=\"14\"/><nd ref=\"13\"/><nd ref=\"12\"/><nd ref=\"11\"/><nd ref=\"10\"/>" +
                                   tag("highway", "primary") + "</way>\n";
  // A device drawn as a short line beside the road, its centre where node 1 is.
  const std::string deviceWay = nodeAt(30, metresAway(2 * step - aside - 3, 2 * step + aside)) +
                                nodeAt(31, metresAway(2 * step - aside + 3, 2 * step + aside)) +
                                "<way id=\"101\"><nd ref=\"30\"/><nd ref=\"31\"/></way>\n";
  const std::string fromTo = member("node", 11, "from") + member("node", 1, "device") + member("node", 13, "to");
  const struct {
    const char* name;
    std::string body;
    std::int32_t deg;
  } cases[] = {
      {"from before, to after", road + device + way + relation(fromTo), 45},
      {"from and to swapped", road + device + way +
           relation(member("node", 13, "from") + member("node", 1, "device") + member("node", 11, "to")), 225},
      {"road drawn the other way", road + device + wayDrawnBack + relation(fromTo), 45},
      {"from is the device", road + device + way + relation(member("node", 1, "from") + member("node", 1, "device") +
                                                            member("node", 13, "to")), 45},
      {"to is the device", road + device + way + relation(member("node", 11, "from") + member("node", 1, "device") +
                                                          member("node", 1, "to")), 45},
      {"from alone", road + device + way + relation(member("node", 11, "from") + member("node", 1, "device")), 45},
      {"enforcement with another value", road + device + way + relation(fromTo, "maxspeed;traffic_signals"), 45},
      {"device mapped as a way", road + deviceWay + way +
           relation(member("node", 11, "from") + member("way", 101, "device") + member("node", 13, "to")), 45},
  };
  const Coordinates beside = coordinatesFromDegrees(tokyoFromWgs84(metresAway(2 * step - aside, 2 * step + aside)));
  for (const auto& c : cases) {
    testing::TempDir dir;
    Result result;
    const CameraScan scan = importedCameras(dir, osm(c.body), {}, &result);
    ASSERT_EQ(scan.cameras.size(), 1U) << c.name << "\n" << result.err;
    EXPECT_EQ(scan.cameras[0].direction, c.deg) << c.name;
    EXPECT_NEAR(scan.cameras[0].position.latitude, beside.latitude, 25.6) << c.name;
    EXPECT_NEAR(scan.cameras[0].position.longitude, beside.longitude, 25.6) << c.name;
  }
}

// An OSM body whose `after` starts 3 bytes before the first megabyte the
// reader takes, `before` right ahead of it, after a comment filling the rest.
std::string cutAtFirstRead(const std::string& before, const std::string& after) {
  const std::size_t head = osm("").find("</osm>") + 4 + 4 + before.size();  // "<!--", "-->\n"
  return "<!--" + std::string(1024 * 1024 - 3 - head, 'x') + "-->\n" + before + after;
}

TEST(ImportCameras, DeletedObjectsAreGoneAndUnreadableDirectionsNamed) {
  const std::string kept = node(2, 35.69, 139.76, kCamera);
  const struct {
    const char* name;
    std::string body;
    std::size_t cameras;
    std::string note;
  } cases[] = {
      {"deleted in JOSM", "<node id='1' action='delete' lat='35.68' lon='139.76'>" + kCamera + "</node>\n" + kept, 1, ""},
      {"invisible", "<node id=\"1\" visible=\"false\" lat=\"35.68\" lon=\"139.76\">" + kCamera + "</node>\n" + kept, 1, ""},
      {"relation deleted in JOSM", node(1, 35.68, 139.76) + kept + "<relation id='200' action='delete'>" +
           member("node", 1, "device") + tag("type", "enforcement") + tag("enforcement", "maxspeed") + "</relation>\n", 1, ""},
      {"deleted across the first read", cutAtFirstRead("<node id='1' ", "action='delete' lat='35.68' lon='139.76'>" +
           kCamera + "</node>\n" + kept), 1, ""},
      {"a range", node(1, 35.68, 139.76, kCamera + tag("direction", "0-90")) + kept, 2, "node 1: 向き \"0-90\""},
      {"a degree sign", node(1, 35.68, 139.76, kCamera + tag("direction", utf8(u8"45°"))) + kept, 2, "node 1: 向き \"45"},
  };
  for (const auto& c : cases) {
    testing::TempDir dir;
    Result result;
    const CameraScan scan = importedCameras(dir, osm(c.body), {}, &result);
    EXPECT_EQ(scan.cameras.size(), c.cameras) << c.name << "\n" << result.err;
    EXPECT_THAT(result.err, HasSubstr(c.note)) << c.name;
  }
}

void writeGzip(const std::string& path, const std::string& text) {
  gzFile out = gzopen(path.c_str(), "wb");
  gzwrite(out, text.data(), static_cast<unsigned>(text.size()));
  gzclose(out);
}

// The same cameras in every format, told apart by content, not by name.
TEST(ImportCameras, EveryFormatGivesTheSameCameras) {
  testing::TempDir dir;
  ASSERT_EQ(runTool({"import-cameras", testData("cameras.osm"), dir.file("xml.pot")}).code, 0);
  const std::string fromXml = readFile(dir.file("xml.pot"));
  const std::string withoutRelation = fromXml.substr(0, fromXml.find("\r\n", fromXml.find("\r\n") + 2) + 2);
  writeGzip(dir.file("gzip.dat"), readFile(testData("cameras.osm")));
  const struct {
    const char* name;
    std::string path;
    std::string expected;
  } cases[] = {
      {"PBF", testData("cameras.osm.pbf"), fromXml},
      {"XML in gzip", dir.file("gzip.dat"), fromXml},
      {"Overpass JSON", testData("cameras.json"), fromXml},
      {"GeoJSON without the relation", testData("cameras.geojson"), withoutRelation},
  };
  ASSERT_EQ(std::count(fromXml.begin(), fromXml.end(), '\n'), 3) << fromXml;
  for (const auto& c : cases) {
    const Result result = runTool({"import-cameras", c.path, dir.file("out.pot")});
    EXPECT_EQ(result.code, 0) << c.name << "\n" << result.err;
    EXPECT_EQ(readFile(dir.file("out.pot")), c.expected) << c.name;
  }
}

TEST(ImportCameras, RefusalsSayWhyAndLeaveTheFileAsItWas) {
  const std::string timeout = "runtime error: Query timed out in \"query\" at line 3 after 26 seconds.";
  const struct {
    const char* name;
    std::string input;
    std::vector<std::string> extra;
    std::string message;
  } cases[] = {
      {"a FIT file", std::string("\x0e\x10\x43\x08\x00\x00\x00\x00.FIT\x00\x00", 14), {}, "FIT ファイルのようです"},
      {"XML cut short", "<?xml version=\"1.0\"?>\n<osm version=\"0.6\">\n<node id=\"1\"", {}, "3 行目"},
      {"decimal comma", osm("<node id=\"1\" lat=\"35,68\" lon=\"139.76\">" + kCamera + "</node>\n"), {},
       "3 行目: 緯度か経度 \"35,68\" が数として読めません"},
      {"latitude 91", osm(node(1, 91, 139.76, kCamera)), {}, "node 1: 座標が読めないか範囲外"},
      {"JSON latitude 91", R"({"elements":[{"type":"node","id":1,"lat":91,"lon":139.76,"tags":{"highway":"speed_camera"}}]})", {},
       "node 1: 緯度 91・経度 139.76 は範囲外"},
      {"Overpass time-out in XML", osm("<remark> " + timeout + " </remark>\n"), {}, timeout},
      {"Overpass time-out after some cameras", osm(node(1, 35.68, 139.76, kCamera) + "<remark> " + timeout + " </remark>\n"),
       {}, timeout},
      {"Overpass time-out in JSON", R"({"version":0.6,"elements":[],"remark":")" + std::string("runtime error: Query timed out in \\\"query\\\" at line 3 after 26 seconds.") + "\"}", {}, timeout},
      {"appended in the other datum", osm(node(1, 35.68, 139.76, kCamera)), {"--append"}, "世界測地系（WGS84）で書かれているよう"},
  };
  for (const auto& c : cases) {
    testing::TempDir dir;
    // The point file as an earlier import in WGS84 left it.
    writeFile(dir.file("in.osm"), osm(node(1, 35.68, 139.76, kCamera)));
    ASSERT_EQ(runTool({"import-cameras", dir.file("in.osm"), dir.file("out.pot"), "--datum", "wgs84"}).code, 0);
    const std::string before = readFile(dir.file("out.pot"));
    writeFile(dir.file("in.dat"), c.input);
    std::vector<std::string> args{"import-cameras", dir.file("in.dat"), dir.file("out.pot")};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const Result result = runTool(args);
    EXPECT_EQ(result.code, 1) << c.name;
    EXPECT_THAT(result.err, HasSubstr(c.message)) << c.name;
    EXPECT_THAT(result.err, Not(HasSubstr("オービス（highway"))) << c.name;
    EXPECT_EQ(readFile(dir.file("out.pot")), before) << c.name;
  }
}

// Both import commands read their words alike; a command line they cannot
// take is answered with the usage and writes nothing.
TEST(ImportCommandLine, WordsNotUnderstoodWriteNothing) {
  const testing::TempDir dir;
  writeFile(dir.file("in"), "");
  const std::string in = dir.file("in"), out = dir.file("out");
  const std::vector<std::vector<std::string>> refused = {
      {"import-cameras", in, out, "--colour", "red"},
      {"import-cameras", in, out, "--datum"},
      {"import-cameras", in, out, "--datum", "bessel"},
      {"import-cameras", in, out, "--direction", "north"},
      {"import-cameras", in, "--append"},
      {"import-route", in, out, out},
      {"import-route", in, out, "--route", "0"},
      {"import-route", in, out, "--track", "2x"},
      {"import-route", in, out, "--route", "1", "--track", "1"},
      {"import-route", in, out, "--append"},
  };
  for (const auto& args : refused) {
    EXPECT_EQ(runTool(args).code, 2) << args.back();
    EXPECT_FALSE(std::ifstream(out).good()) << args.back();
  }
}

std::string gpx(const std::string& body) {
  return "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\">" + body + "</gpx>\n";
}
std::string point(const char* kind, double lat, double lon, const std::string& name = "") {
  char head[128];
  std::snprintf(head, sizeof head, "<%s lat=\"%.6f\" lon=\"%.6f\">", kind, lat, lon);
  return head + (name.empty() ? "" : "<name>" + name + "</name>") + "</" + kind + ">";
}

RouteScan importedRoute(const testing::TempDir& dir, const std::string& gpxText, Result* result = nullptr,
                        const std::vector<std::string>& extra = {}) {
  writeFile(dir.file("in.gpx"), gpxText);
  std::vector<std::string> args{"import-route", dir.file("in.gpx"), dir.file("out.nyp"), "--datum", "wgs84"};
  args.insert(args.end(), extra.begin(), extra.end());
  const Result r = runTool(args);
  if (result) *result = r;
  std::ifstream in(dir.file("out.nyp"), std::ios::binary);
  return scanRoute(in);
}

TEST(ImportRoute, WaypointsTagsAndSafeTexts) {
  // A track north, east, then north again: two turns and the end.
  std::string track = "<trk><trkseg>";
  for (int i = 0; i <= 10; ++i) track += point("trkpt", 35.680 + i * 0.001, 139.760);
  for (int i = 1; i <= 10; ++i) track += point("trkpt", 35.690 + (i % 2) * 0.00002, 139.760 + i * 0.001);
  for (int i = 1; i <= 5; ++i) track += point("trkpt", 35.690 + i * 0.001, 139.770);
  track += "</trkseg></trk>";
  const struct {
    const char* name;
    std::string gpxText;
    std::vector<std::string> texts;
  } cases[] = {
      {"track reduced to its turns", gpx(track), {"右\n", "左\n", "目\n"}},
      {"route points with names, none at the start",
       gpx("<rte>" + point("rtept", 35.68, 139.76, utf8(u8"出発")) + point("rtept", 35.69, 139.76, utf8(u8"ud sk20 目黒")) +
           point("rtept", 35.69, 139.77, utf8(u8"終点")) + "</rte>"),
       {"右 ｕｄ ｓｋ２０ め黒\n", "目 終点\n"}},
      {"long name cut on a character", gpx("<rte>" + point("rtept", 35.68, 139.76, std::string(20, 'x') + utf8(u8"交差点交差点")) + "</rte>"),
       {"目 ｘｘｘｘｘｘｘｘｘｘｘｘｘ\n"}},
  };
  for (const auto& c : cases) {
    testing::TempDir dir;
    const RouteScan scan = importedRoute(dir, c.gpxText);
    std::vector<std::string> texts;
    for (const RouteWaypoint& w : scan.waypoints) texts.push_back(w.text);
    EXPECT_EQ(texts, c.texts) << c.name;
    EXPECT_TRUE(scan.warnings.empty()) << c.name;
  }
  testing::TempDir dir;
  const RouteScan scan = importedRoute(dir, gpx("<rte>" + point("rtept", 35.68, 139.76) + "</rte>"));
  ASSERT_EQ(scan.waypoints.size(), 1U);
  const Coordinates expected = coordinatesFromDegrees({35.68, 139.76});
  EXPECT_NEAR(scan.waypoints[0].position.latitude, expected.latitude, 1);
  EXPECT_NEAR(scan.waypoints[0].position.longitude, expected.longitude, 1);
}

std::vector<std::string> textsOf(const RouteScan& scan) {
  std::vector<std::string> texts;
  for (const RouteWaypoint& w : scan.waypoints) texts.push_back(w.text);
  return texts;
}

// A route point of a planner: `extensions` inside <extensions>.
std::string plannedPoint(double lat, double lon, const std::string& extensions) {
  char head[96];
  std::snprintf(head, sizeof head, "<rtept lat=\"%.6f\" lon=\"%.6f\">", lat, lon);
  return head + ("<extensions>" + extensions + "</extensions></rtept>");
}

std::string lineOf(const char* kind, const std::vector<GeoDegrees>& points) {
  std::string text;
  for (const GeoDegrees& p : points) text += point(kind, p.latitude, p.longitude);
  return text;
}

// Points every `step` metres from `from` along `bearing` (0 north, 90 east) for `metres`.
std::vector<GeoDegrees> straight(GeoDegrees from, double bearing, double metres, double step = 20) {
  std::vector<GeoDegrees> points;
  const double rad = bearing * std::numbers::pi / 180;
  for (double d = step; d <= metres + 0.01; d += step) {
    points.push_back({from.latitude + d * std::cos(rad) / 111320.0,
                      from.longitude + d * std::sin(rad) / (111320.0 * std::cos(from.latitude * std::numbers::pi / 180))});
  }
  return points;
}

TEST(ImportRoute, TurnsFromPlannersRoutesTracksWaypointsAndKml) {
  // Planners' route points all lie on one straight road: only their
  // instructions can make turns of them.
  std::string graphHopper = "<rte>";
  int n = 0;
  for (const int sign : {0, 2, -1, 0, 5, 6, -8, 7, -3, 4}) {
    graphHopper += plannedPoint(35.0 + 0.01 * n++, 139.0, "<gh:distance>1100</gh:distance><gh:sign>" +
                                                          std::to_string(sign) + "</gh:sign><gh:direction>N</gh:direction>");
  }
  graphHopper += "</rte><trk><trkseg>" + lineOf("trkpt", straight({35.0, 139.0}, 0, 10000, 500)) + "</trkseg></trk>";
  std::string brouter = "<rte>" + plannedPoint(35.0, 139.0, "<turn>TL</turn><offset>0</offset>");
  n = 1;
  for (const char* turn : {"TR", "TSLL", "C", "KL", "TU", "RNDB2", "RNLB1"}) {
    brouter += plannedPoint(35.0 + 0.01 * n++, 139.0, std::string("<turn>") + turn + "</turn><turn-angle>90</turn-angle><offset>4</offset>");
  }
  brouter += plannedPoint(35.0 + 0.01 * n, 139.0, "<time>0</time><offset>80</offset>") + "</rte>";
  // A Garmin route: north along its shaping points, then east through a via
  // point on a straight road. The straight line from via to via would bend there.
  const std::string garmin =
      "<rte>" +
      plannedPoint(35.0, 139.0, "<gpxx:RoutePointExtension>" + lineOf("gpxx:rpt", {{35.005, 139.0}, {35.01, 139.0}, {35.01, 139.005}}) +
                                    "</gpxx:RoutePointExtension>") +
      point("rtept", 35.01, 139.01, utf8(u8"経由")) + point("rtept", 35.01, 139.02, utf8(u8"着")) + "</rte>";
  const auto route = [](const char* name, double east) {
    return "<rte><name>" + std::string(name) + "</name>" + point("rtept", 35.0, 139.0) + point("rtept", 35.01, 139.0) +
           point("rtept", 35.01, 139.0 + east) + "</rte>";
  };
  const std::string threeRoutes = route("one", 0.01) + route("two", -0.01) + route("three", 0.01);
  // A logger that lost its fix: an empty first track, then two segments.
  const std::string tracks = "<trk><name>empty</name></trk><trk><trkseg>" + lineOf("trkpt", straight({35.0, 139.0}, 0, 1000)) +
                             "</trkseg><trkseg>" + lineOf("trkpt", straight({35.00925, 139.0}, 90, 1000)) + "</trkseg></trk>";
  // A logger that starts a new track where its fix came back; a later trip far away.
  const std::string brokenLog = "<trk><trkseg>" + lineOf("trkpt", straight({35.0, 139.0}, 0, 1000)) + "</trkseg></trk><trk><trkseg>" +
                                lineOf("trkpt", straight({35.00925, 139.0}, 90, 1000)) + "</trkseg></trk><trk><name>far</name><trkseg>" +
                                lineOf("trkpt", straight({35.2, 139.0}, 180, 1000)) + "</trkseg></trk>";
  // North, a turnaround 5 m wide to the right, back south to the start: the
  // far end lies on the line through the first and the last fix.
  std::vector<GeoDegrees> outAndBack = straight({35.0, 139.0}, 0, 1000);
  for (const double bearing : {90, 180, 270}) {
    for (const GeoDegrees& p : straight(outAndBack.back(), bearing, bearing == 180 ? 1020 : 5, bearing == 180 ? 20 : 5)) {
      outAndBack.push_back(p);
    }
  }
  const std::string kml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document>"
      "<Placemark><name>start</name><Point><coordinates>139.0,35.0,0</coordinates></Point></Placemark>"
      "<Placemark><name>drive</name><LineString><coordinates>\n 139.0,35.0,0 139.0,35.01,0\n 138.99,35.01,0 </coordinates>"
      "</LineString></Placemark></Document></kml>\n";
  const std::string ghHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"GraphHopper\" "
                             "xmlns=\"http://www.topografix.com/GPX/1/1\" xmlns:gh=\"https://graphhopper.com/public/schema/gpx-1.1\">";
  const struct {
    const char* name;
    std::string text;
    std::vector<std::string> extra;
    std::vector<std::string> texts;
    const char* says;
  } cases[] = {
      {"GraphHopper signs", ghHead + graphHopper + "</gpx>", {}, {"右\n", "左\n", "左\n", "左\n", "右\n", "左\n", "目\n"}, ""},
      {"BRouter hints", gpx(brouter), {}, {"右\n", "左\n", "左\n", "右\n", "右\n", "左\n", "目\n"}, ""},
      {"Garmin shaping points", gpx(garmin), {}, {"右\n", "目 着\n"}, ""},
      {"first of several routes", gpx(threeRoutes), {}, {"右\n", "目\n"}, "ほかのルート: 2「two」 3「three」"},
      {"route chosen", gpx(threeRoutes), {"--route", "2"}, {"左\n", "目\n"}, ""},
      {"track chosen over routes", gpx(threeRoutes + tracks), {"--track", "2"}, {"右\n", "目\n"}, ""},
      {"segments joined past an empty track", gpx(tracks), {}, {"右\n", "目\n"}, ""},
      {"tracks that go on joined", gpx(brokenLog), {}, {"右\n", "目\n"}, "軌跡 1〜2 本目を使いました。ほかの軌跡: 3「far」"},
      {"out and back", gpx("<trk><trkseg>" + lineOf("trkpt", outAndBack) + "</trkseg></trk>"), {}, {"右\n", "目\n"}, ""},
      {"waypoints in file order", gpx(point("wpt", 35.0, 139.0, "a") + point("wpt", 35.01, 139.0, utf8(u8"角")) +
                                      point("wpt", 35.01, 139.01, utf8(u8"着"))),
       {}, {"右 角\n", "目 着\n"}, ""},
      {"KML line", kml, {}, {"左\n", "目\n"}, ""},
  };
  for (const auto& c : cases) {
    testing::TempDir dir;
    Result result;
    const RouteScan scan = importedRoute(dir, c.text, &result, c.extra);
    EXPECT_EQ(textsOf(scan), c.texts) << c.name << "\n" << result.err;
    EXPECT_THAT(result.err, HasSubstr(c.says)) << c.name;
  }
}

// A drive logged once a second at 43 km/h, each fix up to 2.5 m off in
// each direction: a stray fix 60 m off the road, a minute stopped at a light, a
// junction to the right, a long bend of 60 degrees, a hill road's bend, a
// junction to the left.
TEST(ImportRoute, RecordedDriveGivesItsJunctionTurnsAndNoFalseOnes) {
  unsigned seed = 12345;
  const auto noise = [&seed] {
    seed = seed * 1103515245U + 12345U;
    return ((seed >> 16) % 1000) / 1000.0 * 5.0 - 2.5;
  };
  std::vector<GeoDegrees> road{{35.0, 139.0}};
  const auto drive = [&road](double bearing, double metres) {
    for (const GeoDegrees& p : straight(road.back(), bearing, metres, 12)) road.push_back(p);
  };
  drive(0, 600);
  // Standing still, the fix wanders up to 10 m about.
  const GeoDegrees light = road.back();
  double driftNorth = 0, driftEast = 0;
  for (int i = 0; i < 60; ++i) {
    driftNorth = std::clamp(driftNorth + noise() * 0.8, -10.0, 10.0);
    driftEast = std::clamp(driftEast + noise() * 0.8, -10.0, 10.0);
    road.push_back({light.latitude + driftNorth / 111320.0, light.longitude + driftEast / 91200.0});
  }
  drive(0, 200);
  drive(90, 500);
  for (int b = 90; b < 150; b += 2) drive(b, 12);  // 360 m round a radius of some 340 m
  drive(150, 300);
  for (int b = 156; b <= 240; b += 12) drive(b, 12);  // a bend of a hill road, 90 degrees round 60 m
  drive(240, 300);
  drive(150, 400);
  std::string log;
  for (std::size_t i = 0; i < road.size(); ++i) {
    const double east = i == 20 ? 60 : noise(), north = noise();
    log += point("trkpt", road[i].latitude + north / 111320.0, road[i].longitude + east / 91200.0);
  }
  testing::TempDir dir;
  Result result;
  const RouteScan scan = importedRoute(dir, gpx("<trk><trkseg>" + log + "</trkseg></trk>"), &result);
  EXPECT_EQ(textsOf(scan), (std::vector<std::string>{"右\n", "左\n", "目\n"})) << result.err;
}

TEST(ImportRoute, DeclaredEncodingIsHonoured) {
  // The literal is Shift-JIS, as a Japanese logger writes its file.
  const std::string text = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<gpx version=\"1.1\"><rte>" +
                           point("rtept", 35.68, 139.76, "東京駅前") + "</rte></gpx>\n";
  testing::TempDir dir;
  const RouteScan scan = importedRoute(dir, text);
  ASSERT_EQ(scan.waypoints.size(), 1U);
  EXPECT_EQ(scan.waypoints[0].text, "目 東京駅前\n");
}

// A file that is not a route is refused by what it is, and an output file
// already there stays as it was.
TEST(ImportRoute, RefusalsNameWhatTheFileIsAndLeaveTheOutputAlone) {
  const struct {
    std::string text;
    const char* says;
  } cases[] = {
      {std::string("\x0E\x10\x2B\x08\0\0\0\0.FIT\0\0", 14), "FIT ファイルのようです"},
      {osm(node(1, 35.68, 139.76)), "OpenStreetMap の XML"},
      {gpx("<metadata/>"), "ありません"},
      {"<?xml version=\"1.0\" encoding=\"x-unknown\"?><gpx/>", "x-unknown"},
      {gpx("<rte><rtept lat=\"35.68\" lon=\"139.76\"></rte>"), "2行目で XML の形"},
      {gpx("<rte>\n<rtept lat=\"35,68\" lon=\"139.76\"/></rte>"), "3行目: 緯度「35,68」 は数として読めません"},
      {gpx("<wpt lat=\"91\" lon=\"139.76\"/>"), "緯度「91」 は -90 から 90 の外です"},
      {gpx("<trk><trkseg><trkpt lat=\"35\" lon=\"-181\"/></trkseg></trk>"), "経度「-181」 は -180 から 180 の外です"},
      {"<kml><Placemark><LineString><coordinates>139.7;35.6</coordinates></LineString></Placemark></kml>", "「経度,緯度」"},
  };
  for (const auto& c : cases) {
    testing::TempDir dir;
    writeFile(dir.file("out.nyp"), "kept");
    Result result;
    importedRoute(dir, c.text, &result);
    EXPECT_EQ(result.code, 1) << c.says;
    EXPECT_THAT(result.err, HasSubstr(c.says));
    std::ifstream kept(dir.file("out.nyp"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept") << c.says;
  }
}

// A staircase of `turns` turns, 400 m apart, right and left in turn.
std::vector<GeoDegrees> staircase(int turns) {
  std::vector<GeoDegrees> corners{{35.0, 139.0}};
  for (int i = 0; i <= turns; ++i) {
    const GeoDegrees last = corners.back();
    corners.push_back(i % 2 == 0 ? GeoDegrees{last.latitude + 400 / 111320.0, last.longitude}
                                 : GeoDegrees{last.latitude, last.longitude + 400 / 91200.0});
  }
  return corners;
}

TEST(ImportRoute, MoreThanFiveHundredWaypointsAreRefusedAndNothingWritten) {
  std::string rte = "<rte>";
  for (const GeoDegrees& p : staircase(501)) rte += point("rtept", p.latitude, p.longitude);
  testing::TempDir dir;
  Result result;
  importedRoute(dir, gpx(rte + "</rte>"), &result);
  EXPECT_EQ(result.code, 1);
  EXPECT_THAT(result.err, HasSubstr("502 個"));
  EXPECT_THAT(result.err, HasSubstr("2 つ以上に分けて"));
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.nyp")));
}

// A drive as the track log records it, in Tokyo datum, a fix every two seconds.
std::string trackLog(const std::vector<GeoDegrees>& drive) {
  const auto dms = [](double degrees) {
    const int d = static_cast<int>(degrees);
    const int m = static_cast<int>((degrees - d) * 60);
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%04.1f", d, m, (degrees - d - m / 60.0) * 3600);
    return std::string(text);
  };
  std::string log;
  for (std::size_t i = 0; i < drive.size(); ++i) {
    const GeoDegrees p = tokyoFromWgs84(drive[i]);
    const int t = static_cast<int>(2 * i);
    char time[32];
    std::snprintf(time, sizeof time, "26/03/07 %02d:%02d:%02d ", 10 + t / 3600, t / 60 % 60, t % 60);
    log += time + ("N" + dms(p.latitude)) + " E" + dms(p.longitude) + "\r\n";
  }
  return log;
}

// A route of 80 turns, beyond the 49 rows of old, imported whole and guided
// to its end along the drive it describes.
TEST(ImportRoundTrip, EightyTurnRouteIsGuidedToItsEnd) {
  const std::vector<GeoDegrees> corners = staircase(80);
  testing::TempDir dir;
  writeFile(dir.file("in.gpx"), gpx("<trk><trkseg>" + lineOf("trkpt", corners) + "</trkseg></trk>"));
  ASSERT_EQ(runTool({"import-route", dir.file("in.gpx"), dir.file("r.nyp")}).code, 0);
  writeFile(dir.file("c.pot"), "");
  std::vector<GeoDegrees> drive{corners.front()};
  for (std::size_t i = 1; i < corners.size(); ++i) {
    const double metres = 400;
    for (double d = 40; d <= metres; d += 40) {
      const double t = d / metres;
      drive.push_back({corners[i - 1].latitude + (corners[i].latitude - corners[i - 1].latitude) * t,
                       corners[i - 1].longitude + (corners[i].longitude - corners[i - 1].longitude) * t});
    }
  }
  writeFile(dir.file("03071000.log"), trackLog(drive));
  std::ostringstream out, err;
  ASSERT_EQ(run({"replay", dir.file("r.nyp"), dir.file("c.pot"), dir.file("03071000.log")}, out, err), 0) << err.str();
  const std::string said = out.str();
  EXPECT_THAT(said, HasSubstr("地点 81\n"));
  EXPECT_THAT(said, HasSubstr("地点 80 \"左\""));
  EXPECT_THAT(said, HasSubstr("地点 81 \"目\""));
  EXPECT_THAT(said, HasSubstr("案内が終わりました"));
  EXPECT_THAT(said, ::testing::Not(HasSubstr("案内されなかったもの")));
}

// A list of a whole country's cameras leaves the route its size: those far
// from the route are counted, not drawn.
TEST(MapPicture, FramesTheRouteAndCountsFarCameras) {
  testing::TempDir dir;
  writeFile(dir.file("r.nyp"), "");
  writeFile(dir.file("in.gpx"), gpx("<rte>" + point("rtept", 35.68, 139.76) + point("rtept", 35.69, 139.77) + "</rte>"));
  ASSERT_EQ(runTool({"import-route", dir.file("in.gpx"), dir.file("r.nyp"), "--datum", "wgs84"}).code, 0);
  writeFile(dir.file("c.pot"),
            "ORD=POI/tex=近く/kei=139'45'50'0/ido=35'41'10'0/deg=\r\n"
            "ORD=POI/tex=遠く/kei=135'30'00'0/ido=34'40'00'0/deg=\r\n");
  ASSERT_EQ(runTool({"map", dir.file("r.nyp"), dir.file("c.pot"), "-o", dir.file("m.svg")}).code, 0);
  std::ifstream in(dir.file("m.svg"), std::ios::binary);
  const std::string svgText{std::istreambuf_iterator<char>(in), {}};
  EXPECT_THAT(svgText, HasSubstr(">近く<"));
  EXPECT_THAT(svgText, ::testing::Not(HasSubstr(">遠く<")));
  EXPECT_THAT(svgText, HasSubstr("離れたオービス 1 件"));
}

// A route and cameras from open data guide a drive recorded in the map
// program's datum: the turns, the end, and the camera whose way is driven;
// the camera watching the other way stays silent.
TEST(ImportRoundTrip, ImportedFilesGuideADriveAlongThem) {
  testing::TempDir dir;
  writeFile(dir.file("in.gpx"), gpx("<rte>" + point("rtept", 35.670, 139.760) + point("rtept", 35.690, 139.760) +
                                    point("rtept", 35.690, 139.770) + "</rte>"));
  writeFile(dir.file("in.osm"), osm(node(1, 35.675, 139.760, kCamera + tag("direction", "S") + tag("name", utf8(u8"北行き"))) +
                                    node(2, 35.685, 139.760, kCamera + tag("direction", "N") + tag("name", utf8(u8"南行き")))));
  ASSERT_EQ(runTool({"import-route", dir.file("in.gpx"), dir.file("r.nyp")}).code, 0);
  ASSERT_EQ(runTool({"import-cameras", dir.file("in.osm"), dir.file("c.pot")}).code, 0);

  // North from south of the first waypoint, then east past the last, 40 m
  // every two seconds (72 km/h), logged as the track log does in Tokyo datum.
  std::vector<GeoDegrees> drive;
  for (double lat = 35.665; lat < 35.690; lat += 40 / 111000.0) drive.push_back({lat, 139.760});
  for (double lon = 139.760; lon < 139.772; lon += 40 / 90400.0) drive.push_back({35.690, lon});
  writeFile(dir.file("03071000.log"), trackLog(drive));

  std::ostringstream out, err;
  ASSERT_EQ(run({"replay", dir.file("r.nyp"), dir.file("c.pot"), dir.file("03071000.log")}, out, err), 0) << err.str();
  const std::string said = out.str();
  std::size_t at = 0;
  for (const char* step : {"オービス 1 \"北行き\"", "地点 1 \"右\"", "「まもなく右方向です。」", "「まもなく目的地です。」",
                           "案内が終わりました", "オービス 2 \"南行き\"（方向 180°）: 向きが違いました"}) {
    const std::size_t found = said.find(step, at);
    ASSERT_NE(found, std::string::npos) << step << " after " << at << " in\n" << said;
    at = found;
  }
  EXPECT_EQ(said.find("「この先、オービス南行き"), std::string::npos) << said;
}

}  // namespace
}  // namespace tabiro::inspect
