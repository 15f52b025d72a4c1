// What an input file is, told by its first bytes rather than its name: a
// user's download is often named .gpx or .osm whatever it holds.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace tabiro::inspect {

enum class FileKind {
  Gpx,
  Kml,
  OsmXml,
  OsmGzip,         // gzip: an .osm.gz as regional extracts are sold
  OsmPbf,          // a PBF file opened by an "OSMHeader" block
  OverpassJson,
  GeoJson,
  OverpassRemark,  // an Overpass answer with no data, only its remark (a time-out, an error)
  Fit,             // a Garmin activity
  Zip,             // KMZ, a zipped KML, among others
  RouteFile,       // this program's own route file (.nyp)
  PointFile,       // this program's own point file (.pot)
  OtherXml,
  Text,
  Binary,
  Empty,
};

struct DetectedFile {
  FileKind kind = FileKind::Empty;
  std::string remark;  // OverpassRemark: the remark's text, as the server wrote it
};

// Decides by the file's first bytes (up to a few kilobytes). `head` is the
// whole file when it is that short, so a short Overpass answer is told apart.
DetectedFile detectFileKind(std::string_view head);

// Reads the start of the file at `path` and decides. False, with the
// program's message on `err`, when the file cannot be opened.
bool detectFileKindAt(const std::string& path, DetectedFile& detected, std::ostream& err);

// The one refusal: "エラー: PATH は読めません。FIT ファイルのようです。
// このコマンドが読むのは ACCEPTED です。" `accepted` is written as given
// (Shift-JIS like every text of the program), e.g. "GPX と KML".
std::string unreadableFileText(const std::string& path, const DetectedFile& detected,
                               std::string_view accepted);

}  // namespace tabiro::inspect
