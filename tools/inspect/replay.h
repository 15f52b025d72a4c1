// tabiro-inspect replay: the guidance engine's own passes along a recorded
// drive, on virtual time at the position reader's 400 ms cycle, so that a
// user can check a hand-made route and point file at home.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "drive_file.h"
#include "gps/coordinates.h"
#include "guidance/camera_file.h"
#include "guidance/route_file.h"

namespace tabiro::inspect {

// args: ROUTE.nyp CAMERAS.pot DRIVE [--profile PROFILE.ini]. Prints every
// announcement, then what never fired and why. The profile is read, never
// written. 0 done, 1 a file that cannot be read, 2 wrong arguments.
int replay(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

struct FiredAnnouncement {
  Coordinates position;  // of the car
  bool camera = false;
  int row = 0;  // waypoint or camera
};

// Where each announcement of a replay with the default settings fired.
std::vector<FiredAnnouncement> firedAlong(const RouteScan& route, const CameraScan& cameras, const Drive& drive);

}  // namespace tabiro::inspect
