#include "import_common.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>

#include <pugixml.hpp>

#include "core/atomic_file.h"
#include "guidance/text_file.h"
#include "sjis_from_utf8.h"

namespace tabiro::inspect {

namespace {

constexpr double kMetresPerDegree = 111320.0;  // of latitude, near enough for a road

double radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// The encoding named by the XML declaration at the start of `text`, or empty.
std::string declaredEncoding(std::string_view text) {
  if (text.substr(0, 5) != "<?xml") return {};
  const std::string_view declaration = text.substr(0, text.find("?>"));
  const std::size_t key = declaration.find("encoding");
  if (key == std::string_view::npos) return {};
  const std::size_t open = declaration.find_first_of("\"'", key);
  if (open == std::string_view::npos) return {};
  const std::size_t close = declaration.find(declaration[open], open + 1);
  if (close == std::string_view::npos) return {};
  return std::string(declaration.substr(open + 1, close - open - 1));
}

bool isUtf8Name(std::string_view name) {
  std::string lower;
  for (const char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.empty() || lower == "utf-8" || lower == "utf8" || lower == "us-ascii" || lower == "ascii";
}

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

ImportOption datumOption(FileDatum& datum) {
  return {"--datum", true, [&datum](const std::string& value) {
            const std::optional<FileDatum> chosen = parseDatum(value);
            if (chosen) datum = *chosen;
            return chosen.has_value();
          }};
}

std::optional<ImportFiles> parseImportCommand(const std::vector<std::string>& args,
                                              const std::vector<ImportOption>& options) {
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (word.rfind("--", 0) != 0) {
      files.push_back(word);
      continue;
    }
    const auto option = std::find_if(options.begin(), options.end(),
                                      [&word](const ImportOption& o) { return o.name == word; });
    if (option == options.end()) return std::nullopt;
    std::string value;
    if (option->takesValue) {
      if (i + 1 == args.size()) return std::nullopt;
      value = args[++i];
    }
    if (!option->apply(value)) return std::nullopt;
  }
  if (files.size() != 2) return std::nullopt;
  return ImportFiles{files[0], files[1]};
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

bool loadXml(const std::string& path, pugi::xml_document& doc, std::ostream& err, std::string* textOut) {
  std::ifstream file;
  if (!openForReading(file, path)) {
    err << fileOpenErrorText(path) << "\n";
    return false;
  }
  std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  // pugixml reads UTF-8, UTF-16 and UTF-32 by themselves; any other encoding
  // the declaration names is converted first, or Shift_JIS names come out garbled.
  const std::string encoding = declaredEncoding(text);
  pugi::xml_encoding parseAs = pugi::encoding_auto;
  if (!isUtf8Name(encoding)) {
    std::optional<std::string> utf8 = utf8FromEncoding(text, encoding);
    if (!utf8) {
      err << "エラー: " << path << " は文字コード「" << encoding
          << "」と宣言していますが、その文字コードとして読めません。UTF-8 か Shift_JIS で保存し直してください。\n";
      return false;
    }
    text = std::move(*utf8);
    parseAs = pugi::encoding_utf8;
  }
  const pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size(), pugi::parse_default, parseAs);
  if (!parsed) {
    const auto upTo = text.begin() + std::min<std::ptrdiff_t>(parsed.offset, static_cast<std::ptrdiff_t>(text.size()));
    err << "エラー: " << path << " の " << std::count(text.begin(), upTo, '\n') + 1
        << "行目で XML の形が崩れています（途中で切れたか、書き損じたファイルです）。\n";
    return false;
  }
  if (textOut) *textOut = std::move(text);
  return true;
}

int xmlLine(std::string_view text, const pugi::xml_node& node) {
  const std::ptrdiff_t offset = node.offset_debug();
  if (offset < 0) return 0;
  const std::string_view before = text.substr(0, std::min(text.size(), static_cast<std::size_t>(offset)));
  return static_cast<int>(std::count(before.begin(), before.end(), '\n')) + 1;
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
