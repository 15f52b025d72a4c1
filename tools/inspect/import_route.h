// tabiro-inspect import-route: a GPX route, or a track reduced to its turns,
// as a route file (.nyp).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tabiro::inspect {

// args: IN.gpx OUT.nyp [--datum tokyo|wgs84]. Messages go to `err`. 0 written,
// 1 nothing written (a file that cannot be read or written, no route, too
// many waypoints), 2 wrong arguments.
int importRoute(const std::vector<std::string>& args, std::ostream& err);

}  // namespace tabiro::inspect
