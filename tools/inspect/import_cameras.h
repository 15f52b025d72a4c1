// tabiro-inspect import-cameras: the speed cameras of an OpenStreetMap file
// (XML, gzip XML, PBF), Overpass API JSON or GeoJSON as a point file (.pot).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tabiro::inspect {

// args: IN OUT.pot [--datum tokyo|wgs84] [--append] [--direction facing|travel].
// The report goes to `err`. 0 written, 1 nothing written (a file that cannot
// be read or written, no camera), 2 wrong arguments.
int importCameras(const std::vector<std::string>& args, std::ostream& err);

}  // namespace tabiro::inspect
