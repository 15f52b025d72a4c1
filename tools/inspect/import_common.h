// What the import commands share: the datum of the files they write, the
// geometry of WGS84 positions, reading XML and writing the result whole.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "gps/coordinates.h"
#include "gps/datum.h"
#include "gps/receiver_settings.h"

namespace pugi {
class xml_document;
class xml_node;
}  // namespace pugi

namespace tabiro::inspect {

// The datum of the route and point files (the program's own, Tokyo by
// default): "tokyo" or "wgs84" on the command line.
std::optional<FileDatum> parseDatum(std::string_view name);

// One option of an import command. `apply` gets the option's value (empty
// for an option that takes none) and refuses it by returning false.
struct ImportOption {
  std::string_view name;
  bool takesValue = false;
  std::function<bool(const std::string& value)> apply;
};
// The option "--datum" that sets `datum`.
ImportOption datumOption(FileDatum& datum);

struct ImportFiles {
  std::string in, out;
};
// An import command's words: its options in any order and place, and exactly
// two file names, the input and the output. None for an unknown option, a
// value missing or refused, or another count of files.
std::optional<ImportFiles> parseImportCommand(const std::vector<std::string>& args,
                                              const std::vector<ImportOption>& options);
// A WGS84 position in the file's datum and units.
Coordinates filePosition(GeoDegrees wgs84, FileDatum datum);

// Bearing of travel from `from` to `to`, 0 to 360 degrees (0 north, 90 east),
// and the distance between them in metres; both for the short distances of
// one road, on a plane through the first point.
double bearingDegrees(GeoDegrees from, GeoDegrees to);
struct Offset {
  double east = 0;
  double north = 0;
};
Offset offsetBetween(GeoDegrees from, GeoDegrees to);
double metresBetween(GeoDegrees a, GeoDegrees b);
// The signed difference `to` - `from` of two bearings, -180 to 180.
double turnDegrees(double from, double to);

// Parses the XML file at `path`, in the encoding its declaration names;
// false, with a message on `err`, when it cannot be read or is not
// well-formed XML. `text`, when given, receives the text parsed (UTF-8), for
// xmlLine.
bool loadXml(const std::string& path, pugi::xml_document& doc, std::ostream& err, std::string* text = nullptr);
// The line of `text` that holds the start of `node`, 1 for the first.
int xmlLine(std::string_view text, const pugi::xml_node& node);
// An element's name without its namespace prefix.
std::string_view localName(const pugi::xml_node& node);

// Replaces `path` by `contents` at once, so that no half-written file is
// ever left; false, with a message on `err`, when it cannot be written.
bool writeWholeFile(const std::string& path, std::string_view contents, std::ostream& err);

}  // namespace tabiro::inspect
