#include "gpx.h"

#include <cstdio>
#include <fstream>

#include "gps/datum.h"
#include "guidance/text_file.h"
#include "import_common.h"
#include "track_log_reader.h"

namespace tabiro::inspect {

namespace {

// The track's name: the log's file name, when it is plain ASCII that needs
// no escaping (the program names its logs MMDDhhmm.log).
std::string trackName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  for (const char c : name) {
    if (c < 0x20 || c > 0x7E || c == '<' || c == '>' || c == '&') return {};
  }
  return name;
}

// The log holds the notebook's local time without a zone; so does the GPX
// time (an xsd:dateTime without an offset).
std::string trackPoint(const LoggedPoint& p, FileDatum datum) {
  const GeoDegrees logged{p.latitude, p.longitude};
  const GeoDegrees wgs84 = datum == FileDatum::Tokyo ? wgs84FromTokyo(logged) : logged;
  char text[160];
  std::snprintf(text, sizeof text,
                "      <trkpt lat=\"%.7f\" lon=\"%.7f\"><time>%04d-%02d-%02dT%02d:%02d:%02d</time></trkpt>\n",
                wgs84.latitude, wgs84.longitude, p.year, p.month, p.day, p.hour, p.minute, p.second);
  return text;
}

}  // namespace

int writeGpx(const std::string& path, FileDatum datum, std::ostream& out, std::ostream& err) {
  std::ifstream file;
  if (!openForReading(file, path)) {
    err << fileOpenErrorText(path) << "\n";
    return 1;
  }
  const TrackLogScan scan = readTrackLog(file);
  for (const int line : scan.badLines) {
    err << path << " " << line << "行目: 記録の行の形（YY/MM/DD hh:mm:ss N緯度 E経度）ではないため飛ばします。\n";
  }
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<gpx version=\"1.1\" creator=\"tabiro-inspect\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
         "  <trk>\n";
  const std::string name = trackName(path);
  if (!name.empty()) out << "    <name>" << name << "</name>\n";
  out << "    <trkseg>\n";
  for (const LoggedPoint& p : scan.points) out << trackPoint(p, datum);
  out << "    </trkseg>\n"
         "  </trk>\n"
         "</gpx>\n";
  return 0;
}

int gpxCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  FileDatum datum = FileDatum::Tokyo;
  if (args.size() == 3 && args[1] == "--datum") {
    const std::optional<FileDatum> named = parseDatum(args[2]);
    if (!named) return 2;
    datum = *named;
  } else if (args.size() != 1) {
    return 2;
  }
  return writeGpx(args[0], datum, out, err);
}

}  // namespace tabiro::inspect
