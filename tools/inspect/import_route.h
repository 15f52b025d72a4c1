// tabiro-inspect import-route: a GPX or KML route, track or set of
// waypoints, reduced to its turns (a planner's where it gave them), as a
// route file (.nyp).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tabiro::inspect {

// args: IN OUT.nyp [--datum tokyo|wgs84] [--route N | --track N]. Messages
// go to `err`. 0 written, 1 nothing written (a file that cannot be read or
// written, no route, a bad coordinate, too many waypoints), 2 wrong arguments.
int importRoute(const std::vector<std::string>& args, std::ostream& err);

}  // namespace tabiro::inspect
