// tabiro-inspect gpx: a track log as a GPX 1.1 track, so that a drive opens
// in any map viewer.
#pragma once

#include <ostream>
#include <string>

namespace tabiro::inspect {

// Writes the GPX document of the log at `path` to `out`; lines that are not
// log lines are skipped and named on `err`. 0, or 1 when the file cannot be
// read.
int writeGpx(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace tabiro::inspect
