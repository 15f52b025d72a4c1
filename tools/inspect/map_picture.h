// tabiro-inspect map: a picture (SVG) of a route, its speed cameras and a
// drive, with where a replay along the drive announced, to check the files
// at home.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tabiro::inspect {

// args: ROUTE.nyp CAMERAS.pot [DRIVE] -o OUT.svg. Messages go to `err`.
// 0 written, 1 a file that cannot be read or written or nothing to draw,
// 2 wrong arguments.
int drawMap(const std::vector<std::string>& args, std::ostream& err);

}  // namespace tabiro::inspect
