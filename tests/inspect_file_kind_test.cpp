// Input files told apart by their first bytes, whatever their names say.
#include <gtest/gtest.h>

#include <string>

#include "file_kind.h"

namespace tabiro::inspect {
namespace {

std::string bytes(std::initializer_list<int> values) {
  std::string s;
  for (const int v : values) s += static_cast<char>(v);
  return s;
}

TEST(FileKind, DecidedByContent) {
  const struct {
    std::string head;
    FileKind kind;
  } cases[] = {
      {"<?xml version=\"1.0\"?>\n<!-- by a logger -->\n<gpx version=\"1.1\">", FileKind::Gpx},
      {"\xEF\xBB\xBF<gpx:gpx xmlns:gpx=\"x\">", FileKind::Gpx},
      {bytes({0xFF, 0xFE, '<', 0, 'g', 0, 'p', 0, 'x', 0, '>', 0}), FileKind::Gpx},
      {"<?xml version=\"1.0\"?><kml xmlns=\"http://www.opengis.net/kml/2.2\">", FileKind::Kml},
      {"<?xml version='1.0'?>\n<osm version=\"0.6\"><node id=\"1\"", FileKind::OsmXml},
      {"<osm version=\"0.6\" generator=\"Overpass API\"><remark> runtime error: timeout </remark></osm>",
       FileKind::OverpassRemark},
      {"{\"version\":0.6,\"elements\":[],\"remark\":\"runtime error\"}", FileKind::OverpassRemark},
      {"{\n \"version\": 0.6,\n \"elements\": [{\"type\": \"node\"", FileKind::OverpassJson},
      {"{\"type\": \"FeatureCollection\", \"features\": []}", FileKind::GeoJson},
      {bytes({0x1F, 0x8B, 8, 0}), FileKind::OsmGzip},
      {bytes({0, 0, 0, 0x0D, 0x0A, 0x09}) + "OSMHeader" + bytes({0x18, 0x7C}), FileKind::OsmPbf},
      {bytes({14, 0x10, 0x2B, 0x08, 0, 0, 0, 0}) + ".FIT" + bytes({0, 0}), FileKind::Fit},
      {"PK\x03\x04", FileKind::Zip},
      {"NPOIs100@NRA/R1;\nNAME=1\n", FileKind::RouteFile},
      {"ORD=POI/tex=x/kei=", FileKind::PointFile},
      {"<?xml version=\"1.0\"?><html>", FileKind::OtherXml},
      {"lat,lon\n35.6,139.7\n", FileKind::Text},
      {bytes({0x12, 0x00, 0x01}), FileKind::Binary},
      {"", FileKind::Empty},
  };
  for (const auto& c : cases) EXPECT_EQ(detectFileKind(c.head).kind, c.kind) << c.head;
}

TEST(FileKind, RefusalNamesTheFileWhatItLooksLikeAndWhatIsRead) {
  DetectedFile fit{FileKind::Fit, {}};
  EXPECT_EQ(unreadableFileText("drive.gpx", fit, "GPX と KML"),
            "エラー: drive.gpx は読めません。FIT ファイルのようです。このコマンドが読むのは GPX と KML です。");
  const DetectedFile remark = detectFileKind("<osm><remark>runtime error: Query timed out</remark></osm>");
  EXPECT_NE(unreadableFileText("a.osm", remark, "OSM").find("runtime error: Query timed out"), std::string::npos);
}

}  // namespace
}  // namespace tabiro::inspect
