#include "route_turns.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "import_common.h"

namespace tabiro::inspect {

namespace {

// Fixes closer than this to the last one kept are a stop or the receiver's
// wobble, not travel.
constexpr double kStepMetres = 5.0;
// The line is simplified to within this of every fix before its bends are
// measured.
constexpr double kSimplifyMetres = 6.0;
// The heading before and after a point is that of this much of the line on
// either side: the width of a junction, not of a bend of the road.
constexpr double kWindowMetres = 40.0;
// A change of heading of this much across the window is a turn.
constexpr double kTurnDegrees = 45.0;
// Turns closer than this along the line are one turn, of what they add up to.
constexpr double kMergeMetres = 60.0;
// A change this large is a turnaround; its side is that of the bends it is made of.
constexpr double kTurnaroundDegrees = 150.0;
// No turn is announced this near the start, nor this near the end, where
// the destination is.
constexpr double kStartMetres = 10.0;
constexpr double kEndMetres = 30.0;
// A name of the line's points goes to a turn this near it.
constexpr double kNameMetres = 20.0;

struct Vertex {
  GeoDegrees position;
  double along = 0;  // metres from the start
  double bend = 0;   // positive to the right
};

// The fixes without stops and wobble.
std::vector<GeoDegrees> moving(const std::vector<LinePoint>& line) {
  std::vector<GeoDegrees> kept;
  for (const LinePoint& p : line) {
    if (kept.empty() || metresBetween(kept.back(), p.position) >= kStepMetres) kept.push_back(p.position);
  }
  if (kept.size() > 1 && metresBetween(kept.back(), line.back().position) > 0) kept.back() = line.back().position;
  return kept;
}

double pathMetres(const std::vector<GeoDegrees>& p, std::size_t from, std::size_t to) {
  double metres = 0;
  for (std::size_t i = from; i < to; ++i) metres += metresBetween(p[i], p[i + 1]);
  return metres;
}

// One or two fixes thrown far off the road and back (multipath) while the
// drive goes on the way it went: the detour is much longer than the road it
// spans. A turnaround leaves the other way, so it stays.
void dropSpikes(std::vector<GeoDegrees>& p) {
  for (std::size_t run = 1; run <= 2; ++run) {
    for (std::size_t a = 1; a + run + 2 < p.size();) {
      const std::size_t b = a + run + 1;
      const double chord = metresBetween(p[a], p[b]);
      const bool detour = pathMetres(p, a, b) > 3 * chord + 20;
      const bool goesOn = std::abs(turnDegrees(bearingDegrees(p[a - 1], p[a]), bearingDegrees(p[b], p[b + 1]))) < 60;
      if (detour && goesOn) {
        p.erase(p.begin() + static_cast<std::ptrdiff_t>(a + 1), p.begin() + static_cast<std::ptrdiff_t>(b));
      } else {
        ++a;
      }
    }
  }
}

// Distance of `p` from the segment a-b, on the plane through a.
double offSegment(GeoDegrees a, GeoDegrees b, GeoDegrees p) {
  const double length = metresBetween(a, b);
  const double d = metresBetween(a, p);
  if (length < 0.01) return d;
  const double angle = turnDegrees(bearingDegrees(a, b), bearingDegrees(a, p)) * std::numbers::pi / 180.0;
  const double along = d * std::cos(angle);
  if (along <= 0) return d;
  if (along >= length) return metresBetween(b, p);
  return std::abs(d * std::sin(angle));
}

// Douglas-Peucker: the fixes that keep the line within kSimplifyMetres.
void simplify(const std::vector<GeoDegrees>& p, std::size_t first, std::size_t last, std::vector<bool>& keep) {
  // An explicit stack: a 12,000-fix log must not recurse 12,000 deep.
  std::vector<std::pair<std::size_t, std::size_t>> spans{{first, last}};
  while (!spans.empty()) {
    const auto [from, to] = spans.back();
    spans.pop_back();
    if (to <= from + 1) continue;
    double farthest = -1;
    std::size_t at = from;
    for (std::size_t i = from + 1; i < to; ++i) {
      const double off = offSegment(p[from], p[to], p[i]);
      if (off > farthest) {
        farthest = off;
        at = i;
      }
    }
    if (farthest <= kSimplifyMetres) continue;
    keep[at] = true;
    spans.push_back({from, at});
    spans.push_back({at, to});
  }
}

std::vector<Vertex> simplified(const std::vector<GeoDegrees>& p) {
  std::vector<bool> keep(p.size(), false);
  keep.front() = keep.back() = true;
  simplify(p, 0, p.size() - 1, keep);
  std::vector<Vertex> v;
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (!keep[i]) continue;
    const double along = v.empty() ? 0 : v.back().along + metresBetween(v.back().position, p[i]);
    v.push_back({p[i], along, 0});
  }
  for (std::size_t i = 1; i + 1 < v.size(); ++i) {
    v[i].bend = turnDegrees(bearingDegrees(v[i - 1].position, v[i].position),
                            bearingDegrees(v[i].position, v[i + 1].position));
  }
  return v;
}

// The point `along` metres from the start, clamped to the line.
GeoDegrees pointAt(const std::vector<Vertex>& v, double along) {
  if (along <= 0) return v.front().position;
  for (std::size_t i = 1; i < v.size(); ++i) {
    if (v[i].along < along) continue;
    const double span = v[i].along - v[i - 1].along;
    const double t = span <= 0 ? 1 : (along - v[i - 1].along) / span;
    const GeoDegrees a = v[i - 1].position, b = v[i].position;
    return {a.latitude + (b.latitude - a.latitude) * t, a.longitude + (b.longitude - a.longitude) * t};
  }
  return v.back().position;
}

// The change of heading from the window before `from` to the window after
// `to`, positive to the right; a turnaround takes the side of its bends.
double headingChange(const std::vector<Vertex>& v, double from, double to) {
  const GeoDegrees start = pointAt(v, from), end = pointAt(v, to);
  const double before = bearingDegrees(pointAt(v, from - kWindowMetres), start);
  const double after = bearingDegrees(end, pointAt(v, to + kWindowMetres));
  double change = turnDegrees(before, after);
  if (std::abs(change) > kTurnaroundDegrees) {
    double bends = 0;
    for (const Vertex& x : v) {
      if (x.along >= from - kWindowMetres && x.along <= to + kWindowMetres) bends += x.bend;
    }
    change = std::copysign(std::abs(change), bends);
  }
  return change;
}

std::string nameNear(const std::vector<LinePoint>& line, GeoDegrees at) {
  double nearest = kNameMetres;
  std::string name;
  for (const LinePoint& p : line) {
    const double d = metresBetween(p.position, at);
    if (!p.name.empty() && d <= nearest) {
      nearest = d;
      name = p.name;
    }
  }
  return name;
}

}  // namespace

std::vector<RouteTurn> turnsOfLine(const std::vector<LinePoint>& line) {
  if (line.empty()) return {};
  const RouteTurn end{line.back().position, line.back().name, TurnSide::None};
  std::vector<GeoDegrees> fixes = moving(line);
  dropSpikes(fixes);
  if (fixes.size() < 3) return {end};
  const std::vector<Vertex> v = simplified(fixes);
  const double length = v.back().along;

  struct Candidate {
    std::size_t vertex;
    double change;
  };
  std::vector<Candidate> candidates;
  for (std::size_t i = 1; i + 1 < v.size(); ++i) {
    if (v[i].along < kStartMetres || length - v[i].along < kEndMetres) continue;
    const double change = headingChange(v, v[i].along, v[i].along);
    if (std::abs(change) >= kTurnDegrees) candidates.push_back({i, change});
  }
  // The strongest first; each takes the candidates within kMergeMetres as
  // parts of itself and is measured across all of them.
  std::vector<Candidate> byStrength = candidates;
  std::stable_sort(byStrength.begin(), byStrength.end(),
                   [](const Candidate& a, const Candidate& b) { return std::abs(a.change) > std::abs(b.change); });
  std::vector<bool> taken(v.size(), false);
  std::vector<std::pair<std::size_t, double>> turns;  // vertex, change
  for (const Candidate& c : byStrength) {
    if (taken[c.vertex]) continue;
    double from = v[c.vertex].along, to = from;
    for (const Candidate& other : candidates) {
      if (taken[other.vertex] || std::abs(v[other.vertex].along - v[c.vertex].along) > kMergeMetres) continue;
      taken[other.vertex] = true;
      from = std::min(from, v[other.vertex].along);
      to = std::max(to, v[other.vertex].along);
    }
    const double change = headingChange(v, from, to);
    if (std::abs(change) >= kTurnDegrees) turns.push_back({c.vertex, change});
  }
  std::sort(turns.begin(), turns.end());

  std::vector<RouteTurn> result;
  for (const auto& [vertex, change] : turns) {
    const GeoDegrees at = v[vertex].position;
    result.push_back({at, nameNear(line, at), change > 0 ? TurnSide::Right : TurnSide::Left});
  }
  result.push_back(end);
  return result;
}

}  // namespace tabiro::inspect
