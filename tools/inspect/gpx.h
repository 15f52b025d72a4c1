// tabiro-inspect gpx: a track log as a GPX 1.1 track, so that a drive opens
// in any map viewer.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "gps/receiver_settings.h"

namespace tabiro::inspect {

// Writes the GPX document of the log at `path` to `out`, its positions
// taken in `datum` (the program logs in the datum of its route and point
// files) and written in WGS84, as GPX has them; lines that are not log lines
// are skipped and named on `err`. 0, or 1 when the file cannot be read.
int writeGpx(const std::string& path, FileDatum datum, std::ostream& out, std::ostream& err);

// args: LOG [--datum tokyo|wgs84]; 2 for other arguments.
int gpxCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tabiro::inspect
