#include "file_kind.h"

#include <fstream>

#include "guidance/route_file.h"
#include "guidance/text_file.h"
#include "sjis_from_utf8.h"

namespace tabiro::inspect {

namespace {

// Enough to pass an XML declaration, a long comment and a style sheet line
// before the root element; an Overpass remark answer is shorter than this.
constexpr std::size_t kHeadBytes = 8192;

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view skipSpace(std::string_view text) {
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  return text;
}

// UTF-16 text seen as ASCII: the zero bytes of its Latin letters dropped.
std::string withoutZeroBytes(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c != '\0') out += c;
  }
  return out;
}

// The name of the first element, past the declaration, comments, processing
// instructions and a DOCTYPE; empty when the text does not look like XML.
std::string_view rootElement(std::string_view text) {
  for (;;) {
    text = skipSpace(text);
    if (startsWith(text, "<?") || startsWith(text, "<!--") || startsWith(text, "<!")) {
      const std::string_view close = startsWith(text, "<!--") ? "-->" : ">";
      const std::size_t end = text.find(close);
      if (end == std::string_view::npos) return {};
      text.remove_prefix(end + close.size());
      continue;
    }
    if (!startsWith(text, "<")) return {};
    text.remove_prefix(1);
    std::size_t n = 0;
    while (n < text.size() && !isSpace(text[n]) && text[n] != '>' && text[n] != '/') ++n;
    std::string_view name = text.substr(0, n);
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
  }
}

// The text between <remark> and </remark>, or of a JSON "remark" string.
std::string remarkText(std::string_view text, bool json) {
  if (json) {
    const std::size_t key = text.find("\"remark\"");
    const std::size_t open = key == std::string_view::npos ? key : text.find('"', text.find(':', key) + 1);
    if (open == std::string_view::npos) return {};
    std::string value;
    for (std::size_t i = open + 1; i < text.size() && text[i] != '"'; ++i) {
      if (text[i] == '\\' && i + 1 < text.size()) ++i;
      value += text[i];
    }
    return value;
  }
  const std::size_t open = text.find("<remark");
  const std::size_t start = open == std::string_view::npos ? open : text.find('>', open);
  const std::size_t end = text.find("</remark>");
  if (start == std::string_view::npos || end == std::string_view::npos || end < start) return {};
  std::string_view value = skipSpace(text.substr(start + 1, end - start - 1));
  while (!value.empty() && isSpace(value.back())) value.remove_suffix(1);
  return std::string(value);
}

bool holdsOsmData(std::string_view text) {
  for (const std::string_view element : {"<node", "<way", "<relation"}) {
    if (text.find(element) != std::string_view::npos) return true;
  }
  return false;
}

DetectedFile detectJson(std::string_view text) {
  const bool remark = text.find("\"remark\"") != std::string_view::npos;
  if (text.find("\"elements\"") != std::string_view::npos) {
    // An Overpass answer without data holds an empty "elements" list.
    if (remark && text.find("\"type\"") == std::string_view::npos) {
      return {FileKind::OverpassRemark, remarkText(text, true)};
    }
    return {FileKind::OverpassJson, {}};
  }
  for (const std::string_view type : {"FeatureCollection", "Feature", "LineString", "Point", "MultiLineString"}) {
    if (text.find("\"" + std::string(type) + "\"") != std::string_view::npos) return {FileKind::GeoJson, {}};
  }
  return {FileKind::Text, {}};
}

bool looksLikeText(std::string_view text) {
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 && !isSpace(c) && c != '\f') return false;
  }
  return true;
}

}  // namespace

DetectedFile detectFileKind(std::string_view head) {
  if (head.empty()) return {FileKind::Empty, {}};
  const auto byte = [&](std::size_t i) { return i < head.size() ? static_cast<unsigned char>(head[i]) : 0U; };
  if (byte(0) == 0x1F && byte(1) == 0x8B) return {FileKind::OsmGzip, {}};
  if (startsWith(head, "PK\x03\x04")) return {FileKind::Zip, {}};
  if (head.size() >= 12 && (byte(0) == 12 || byte(0) == 14) && head.substr(8, 4) == ".FIT") {
    return {FileKind::Fit, {}};
  }
  // A PBF file: the length of its first BlobHeader, four bytes big-endian,
  // then that header's type, field 1, a string of 9 bytes.
  if (head.size() >= 15 && byte(0) == 0 && byte(1) == 0 && head.substr(4, 11) == "\x0A\x09OSMHeader") {
    return {FileKind::OsmPbf, {}};
  }
  std::string text(head);
  if (startsWith(text, "\xEF\xBB\xBF")) text.erase(0, 3);
  if (startsWith(text, "\xFF\xFE") || startsWith(text, "\xFE\xFF") || text.find('\0') != std::string::npos) {
    text = withoutZeroBytes(text);
    if (startsWith(text, "\xFF\xFE") || startsWith(text, "\xFE\xFF")) text.erase(0, 2);
  }
  const std::string_view trimmed = skipSpace(text);
  if (startsWith(trimmed, kRouteMarker.substr(0, 8))) return {FileKind::RouteFile, {}};
  if (startsWith(trimmed, "ORD=POI/")) return {FileKind::PointFile, {}};
  if (startsWith(trimmed, "{")) return detectJson(trimmed);
  const std::string_view root = rootElement(trimmed);
  if (root == "gpx") return {FileKind::Gpx, {}};
  if (root == "kml") return {FileKind::Kml, {}};
  if (root == "osm" || root == "osmChange") {
    if (!holdsOsmData(trimmed) && trimmed.find("<remark") != std::string_view::npos) {
      return {FileKind::OverpassRemark, remarkText(trimmed, false)};
    }
    return {FileKind::OsmXml, {}};
  }
  if (!root.empty()) return {FileKind::OtherXml, {}};
  return {looksLikeText(text) ? FileKind::Text : FileKind::Binary, {}};
}

bool detectFileKindAt(const std::string& path, DetectedFile& detected, std::ostream& err) {
  std::ifstream file;
  if (!openForReading(file, path)) {
    err << fileOpenErrorText(path) << "\n";
    return false;
  }
  std::string head(kHeadBytes, '\0');
  file.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(file.gcount()));
  detected = detectFileKind(head);
  return true;
}

std::string unreadableFileText(const std::string& path, const DetectedFile& detected,
                               std::string_view accepted) {
  std::string looks;
  switch (detected.kind) {
    case FileKind::Gpx: looks = "GPX ファイルです"; break;
    case FileKind::Kml: looks = "KML ファイルです"; break;
    case FileKind::OsmXml: looks = "OpenStreetMap の XML ファイルです"; break;
    case FileKind::OsmGzip: looks = "gzip で圧縮されたファイル（.osm.gz など）のようです"; break;
    case FileKind::OsmPbf: looks = "OpenStreetMap の PBF ファイル（.osm.pbf）です"; break;
    case FileKind::OverpassJson: looks = "Overpass API の JSON ファイルです"; break;
    case FileKind::GeoJson: looks = "GeoJSON ファイルです"; break;
    case FileKind::OverpassRemark:
      looks = "Overpass API の答えですが、地物がなく注記だけです（" + sjisFromUtf8(detected.remark).text +
              "）。問い合わせの範囲を狭めるか、時間をおいてやり直してください";
      break;
    case FileKind::Fit: looks = "FIT ファイルのようです"; break;
    case FileKind::Zip: looks = "ZIP で圧縮されたファイル（KMZ など）のようです。展開してから読ませてください"; break;
    case FileKind::RouteFile: looks = "このプログラムのルートファイル（.nyp）です"; break;
    case FileKind::PointFile: looks = "このプログラムのオービスファイル（.pot）です"; break;
    case FileKind::OtherXml: looks = "GPX・KML・OpenStreetMap のどれでもない XML ファイルです"; break;
    case FileKind::Text: looks = "テキストファイルですが、読める形式ではありません"; break;
    case FileKind::Binary: looks = "形式のわからないバイナリファイルです"; break;
    case FileKind::Empty: looks = "空のファイルです"; break;
  }
  return "エラー: " + path + " は読めません。" + looks + "。このコマンドが読むのは " + std::string(accepted) +
         " です。";
}

}  // namespace tabiro::inspect
