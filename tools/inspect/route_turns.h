// The turns of a line with no instructions: a recorded drive, a planner's
// route without turn hints, a line drawn on a web map.
#pragma once

#include <string>
#include <vector>

#include "gps/datum.h"

namespace tabiro::inspect {

enum class TurnSide { None, Left, Right };

struct LinePoint {
  GeoDegrees position;  // WGS84
  std::string name;     // UTF-8, may be empty
};

struct RouteTurn {
  GeoDegrees position;
  std::string name;  // of the line's point nearest the turn, when one lies within a few metres
  TurnSide side = TurnSide::None;
};

// The turns along `line` in order, then its end (side None). Receiver noise,
// a stop, a single stray fix and a bend of the road make no turn; two turns
// close together count as what they add up to (an out-and-back's turnaround
// among them); nothing at the start. Empty for a line without points.
std::vector<RouteTurn> turnsOfLine(const std::vector<LinePoint>& line);

}  // namespace tabiro::inspect
