#include "osm_cameras.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include <osmium/osm/node.hpp>
#include <osmium/osm/relation.hpp>
#include <osmium/osm/way.hpp>

#include "import_common.h"

namespace tabiro::inspect {

namespace {

using Id = osmium::object_id_type;

// Projections closer than this along the road say nothing about its way.
constexpr double kSamePlaceMetres = 0.5;

struct Tags {
  std::string name, maxspeed, direction;
};

Tags tagsOf(const osmium::OSMObject& o) {
  Tags t;
  const char* name = o.tags()["name"];
  if (!name) name = o.tags()["ref"];
  if (name) t.name = name;
  if (const char* v = o.tags()["maxspeed"]) t.maxspeed = v;
  const char* direction = o.tags()["direction"];
  if (!direction) direction = o.tags()["camera:direction"];
  if (direction) t.direction = direction;
  return t;
}

bool isCamera(const osmium::OSMObject& o) { return o.tags().has_tag("highway", "speed_camera"); }

// A road the relation's `from` and `to` nodes may lie on.
bool isRoad(const osmium::OSMObject& o) { return o.tags().has_key("highway") && !isCamera(o); }

// enforcement=maxspeed, average_speed, or a list holding one ("maxspeed;traffic_signals").
bool watchesSpeed(const char* enforcement) {
  if (!enforcement) return false;
  std::string_view rest = enforcement;
  while (!rest.empty()) {
    const std::size_t end = rest.find(';');
    std::string_view value = rest.substr(0, end);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
    if (value == "maxspeed" || value == "average_speed") return true;
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  return false;
}

// A "direction" value in degrees or compass letters, as the way the camera faces.
std::optional<double> compassBearing(std::string_view value) {
  while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
  while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
  if (value.empty()) return std::nullopt;
  static const char* const kLetters[] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                         "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
  for (int i = 0; i < 16; ++i) {
    if (value == kLetters[i]) return i * 22.5;
  }
  const std::string text(value);
  char* end = nullptr;
  const double degrees = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(degrees)) return std::nullopt;
  const double wrapped = std::fmod(degrees, 360.0);
  return wrapped < 0 ? wrapped + 360.0 : wrapped;
}

double reversed(double bearing) { return std::fmod(bearing + 180.0, 360.0); }

struct Device {
  osmium::item_type type = osmium::item_type::node;
  Id id = 0;
  bool read = false;                // its tags (and a node's position) are known
  std::optional<GeoDegrees> position;
  std::vector<Id> wayNodes;
  Tags tags;
  int relation = -1;
  // For direction=forward|backward: the nodes before and after it on its road.
  std::optional<std::pair<Id, Id>> alongRoad;

  std::string object() const {
    return (type == osmium::item_type::node ? "node " : "way ") + std::to_string(id);
  }
};

struct Enforcement {
  Id id = 0;
  std::optional<Id> from, to;
  Tags tags;
};

// A point of a road on a plane around the camera, in metres.
struct PlanePoint {
  double east = 0, north = 0;
};

struct Projection {
  double distance = std::numeric_limits<double>::infinity();
  double along = 0;          // metres from the road's first node
  std::size_t segment = 0;
};

Projection project(const std::vector<PlanePoint>& road, PlanePoint p) {
  Projection best;
  double start = 0;
  for (std::size_t i = 0; i + 1 < road.size(); ++i) {
    const PlanePoint a = road[i], b = road[i + 1];
    const double dx = b.east - a.east, dy = b.north - a.north;
    const double length = std::hypot(dx, dy);
    double t = length > 0 ? ((p.east - a.east) * dx + (p.north - a.north) * dy) / (length * length) : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double distance = std::hypot(a.east + t * dx - p.east, a.north + t * dy - p.north);
    if (distance < best.distance) best = {distance, start + t * length, i};
    start += length;
  }
  return best;
}

class Search {
 public:
  Search(const OsmPass& pass, DirectionTag directionTag) : pass_(pass), directionTag_(directionTag) {}

  CameraSearch run() {
    pass_(osmium::osm_entity_bits::nwr, [this](const osmium::OSMObject& o) {
      firstPass(o);
      return true;
    });
    linkRelationDevices();
    readWays();
    readNodes();
    for (const Device& d : devices_) camera(d);
    return std::move(result_);
  }

 private:
  Device& addDevice(osmium::item_type type, Id id) {
    const auto [at, added] = deviceAt_.try_emplace({type, id}, devices_.size());
    if (added) {
      Device d;
      d.type = type;
      d.id = id;
      devices_.push_back(std::move(d));
    }
    return devices_[at->second];
  }

  void readDevice(Device& d, const osmium::OSMObject& o) {
    d.read = true;
    d.tags = tagsOf(o);
    if (o.type() == osmium::item_type::node) {
      const osmium::Location at = static_cast<const osmium::Node&>(o).location();
      if (!at.valid()) {
        result_.errors.push_back(d.object() + ": 座標が読めないか範囲外です。");
      } else {
        d.position = GeoDegrees{at.lat(), at.lon()};
      }
    } else {
      for (const osmium::NodeRef& n : static_cast<const osmium::Way&>(o).nodes()) d.wayNodes.push_back(n.ref());
    }
    if (d.tags.direction == "forward" || d.tags.direction == "backward") alongWanted_.insert(d.id);
  }

  void firstPass(const osmium::OSMObject& o) {
    if (!o.visible()) return;
    if (o.type() == osmium::item_type::node || o.type() == osmium::item_type::way) {
      if (isCamera(o)) readDevice(addDevice(o.type(), o.id()), o);
      if (o.type() == osmium::item_type::way && !alongWanted_.empty() && isRoad(o)) {
        noteAlongRoad(static_cast<const osmium::Way&>(o));
      }
      return;
    }
    if (o.type() == osmium::item_type::relation) readRelation(static_cast<const osmium::Relation&>(o));
  }

  // The neighbours on the road of every camera tagged forward or backward.
  void noteAlongRoad(const osmium::Way& w) {
    const auto& nodes = w.nodes();
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      if (!alongWanted_.count(nodes[i].ref())) continue;
      const auto at = deviceAt_.find({osmium::item_type::node, nodes[i].ref()});
      if (at == deviceAt_.end() || devices_[at->second].alongRoad) continue;
      const std::size_t before = i > 0 ? i - 1 : i;
      const std::size_t after = i + 1 < nodes.size() ? i + 1 : i;
      devices_[at->second].alongRoad = std::pair{nodes[before].ref(), nodes[after].ref()};
      neededNodes_.insert(nodes[before].ref());
      neededNodes_.insert(nodes[after].ref());
    }
  }

  void readRelation(const osmium::Relation& r) {
    if (!r.tags().has_tag("type", "enforcement") || !watchesSpeed(r.tags()["enforcement"])) return;
    Enforcement e{r.id(), std::nullopt, std::nullopt, tagsOf(r)};
    std::vector<std::pair<osmium::item_type, Id>> devices;
    for (const osmium::RelationMember& m : r.members()) {
      const std::string_view role = m.role();
      if (role == "device" && (m.type() == osmium::item_type::node || m.type() == osmium::item_type::way)) {
        devices.emplace_back(m.type(), m.ref());
      } else if (m.type() == osmium::item_type::node && role == "from") {
        e.from = m.ref();
      } else if (m.type() == osmium::item_type::node && role == "to") {
        e.to = m.ref();
      }
    }
    if (devices.empty()) {
      result_.skipped.push_back("relation " + std::to_string(r.id()) + ": 装置（device）がないため飛ばしました。");
      return;
    }
    for (const std::optional<Id>& end : {e.from, e.to}) {
      if (end) {
        roadEnds_.insert(*end);
        neededNodes_.insert(*end);
      }
    }
    relationDevices_.emplace_back(static_cast<int>(relations_.size()), devices);
    relations_.push_back(e);
  }

  // Devices found in the first pass, or placeholders for the passes to fill.
  void linkRelationDevices() {
    for (const auto& [relation, devices] : relationDevices_) {
      for (const auto& [type, id] : devices) {
        Device& d = addDevice(type, id);
        if (d.relation < 0) d.relation = relation;
      }
    }
  }

  // Ways that are relation devices, and the roads through relations' ends.
  void readWays() {
    std::size_t unread = 0;
    for (const Device& d : devices_) unread += !d.read && d.type == osmium::item_type::way;
    if (unread == 0 && roadEnds_.empty()) return;
    pass_(osmium::osm_entity_bits::way, [&](const osmium::OSMObject& o) {
      if (!o.visible()) return true;
      const auto& w = static_cast<const osmium::Way&>(o);
      const auto at = deviceAt_.find({osmium::item_type::way, w.id()});
      if (at != deviceAt_.end() && !devices_[at->second].read) readDevice(devices_[at->second], w);
      if (roadEnds_.empty() || !isRoad(w)) return true;
      for (const osmium::NodeRef& n : w.nodes()) {
        if (!roadEnds_.count(n.ref())) continue;
        std::vector<Id>& road = roads_.emplace_back();
        for (const osmium::NodeRef& m : w.nodes()) road.push_back(m.ref());
        break;
      }
      return true;
    });
  }

  void readNodes() {
    for (const Device& d : devices_) {
      if (!d.read && d.type == osmium::item_type::node) neededNodes_.insert(d.id);
      for (const Id n : d.wayNodes) neededNodes_.insert(n);
    }
    for (const std::vector<Id>& road : roads_) neededNodes_.insert(road.begin(), road.end());
    if (neededNodes_.empty()) return;
    pass_(osmium::osm_entity_bits::node, [&](const osmium::OSMObject& o) {
      if (!o.visible() || !neededNodes_.count(o.id())) return true;
      const osmium::Location at = static_cast<const osmium::Node&>(o).location();
      if (at.valid()) nodes_.try_emplace(o.id(), GeoDegrees{at.lat(), at.lon()});
      const auto device = deviceAt_.find({osmium::item_type::node, o.id()});
      if (device != deviceAt_.end() && !devices_[device->second].read) readDevice(devices_[device->second], o);
      return nodes_.size() < neededNodes_.size();
    });
  }

  std::optional<GeoDegrees> nodeAt(Id id) const {
    const auto at = nodes_.find(id);
    if (at == nodes_.end()) return std::nullopt;
    return at->second;
  }

  // A way's centre: the mean of its nodes, the closing node of a ring once.
  std::optional<GeoDegrees> centre(const std::vector<Id>& wayNodes) const {
    std::size_t count = wayNodes.size();
    if (count > 1 && wayNodes.front() == wayNodes.back()) --count;
    if (count == 0) return std::nullopt;
    GeoDegrees sum{0, 0};
    for (std::size_t i = 0; i < count; ++i) {
      const auto at = nodeAt(wayNodes[i]);
      if (!at) return std::nullopt;
      sum.latitude += at->latitude;
      sum.longitude += at->longitude;
    }
    return GeoDegrees{sum.latitude / count, sum.longitude / count};
  }

  void camera(const Device& d) {
    const std::optional<GeoDegrees> position = d.type == osmium::item_type::node ? d.position : centre(d.wayNodes);
    if (!d.read || !position) {
      const std::string why = !d.read ? "ファイルにない" : "点がファイルにそろっていない";
      result_.skipped.push_back(d.object() + ": オービスの" + why + "ため飛ばしました。");
      return;
    }
    const Enforcement* relation = d.relation >= 0 ? &relations_[d.relation] : nullptr;
    FoundCamera c{d.object(), *position, std::nullopt, d.tags.name, d.tags.maxspeed};
    if (relation) {
      if (c.name.empty()) c.name = relation->tags.name;
      if (c.maxspeed.empty()) c.maxspeed = relation->tags.maxspeed;
    }
    if (relation && (relation->from || relation->to)) {
      c.travel = roadDirection(*position, *relation);
      if (!c.travel) {
        result_.notes.push_back(d.object() + ": relation " + std::to_string(relation->id) +
                                " の from・to から向きが決まらないため全方向にしました。");
      }
    } else {
      c.travel = taggedDirection(d);
    }
    result_.cameras.push_back(std::move(c));
  }

  // The bearing of travel from the device's own tags.
  std::optional<double> taggedDirection(const Device& d) {
    const std::string& value = d.tags.direction;
    if (value.empty()) return std::nullopt;
    if (value == "forward" || value == "backward") {
      std::optional<GeoDegrees> before, after;
      if (d.alongRoad) {
        before = nodeAt(d.alongRoad->first);
        after = nodeAt(d.alongRoad->second);
      }
      if (!before || !after || metresBetween(*before, *after) < kSamePlaceMetres) {
        result_.notes.push_back(d.object() + ": \"" + value + "\" の道（way）がファイルにないため全方向にしました。");
        return std::nullopt;
      }
      const double along = bearingDegrees(*before, *after);
      return value == "forward" ? along : reversed(along);
    }
    const auto facing = compassBearing(value);
    if (!facing) {
      result_.notes.push_back(d.object() + ": 向き \"" + value + "\" が読めないため全方向にしました。");
      return std::nullopt;
    }
    // The camera faces the traffic it watches: that traffic runs the other way.
    return directionTag_ == DirectionTag::Travel ? *facing : reversed(*facing);
  }

  // The bearing of the road at the device's projection onto it, travelling
  // from `from` towards `to`; either may be the device itself, or missing.
  std::optional<double> roadDirection(GeoDegrees device, const Enforcement& e) const {
    const std::optional<GeoDegrees> from = e.from ? nodeAt(*e.from) : std::nullopt;
    const std::optional<GeoDegrees> to = e.to ? nodeAt(*e.to) : std::nullopt;
    const auto plane = [&](GeoDegrees p) {
      const Offset o = offsetBetween(device, p);
      return PlanePoint{o.east, o.north};
    };
    // The road through `from` or `to` that passes nearest the device.
    std::vector<PlanePoint> road;
    std::vector<GeoDegrees> roadDegrees;
    Projection at;
    for (const std::vector<Id>& candidate : roads_) {
      bool touches = false;
      for (const Id n : candidate) touches = touches || n == e.from || n == e.to;
      if (!touches) continue;
      std::vector<PlanePoint> points;
      std::vector<GeoDegrees> degrees;
      for (const Id n : candidate) {
        if (const auto p = nodeAt(n)) {
          points.push_back(plane(*p));
          degrees.push_back(*p);
        }
      }
      const Projection here = project(points, {0, 0});
      if (points.size() >= 2 && here.distance < at.distance) {
        at = here;
        road = std::move(points);
        roadDegrees = std::move(degrees);
      }
    }
    if (road.size() >= 2) {
      const double start = from ? project(road, plane(*from)).along : at.along;
      const double end = to ? project(road, plane(*to)).along : at.along;
      if (std::abs(end - start) >= kSamePlaceMetres) {
        const double along = bearingDegrees(roadDegrees[at.segment], roadDegrees[at.segment + 1]);
        return end > start ? along : reversed(along);
      }
    }
    // No road in the file: the line through the ends, or an end and the device.
    const GeoDegrees a = from.value_or(device), b = to.value_or(device);
    if (metresBetween(a, b) < kSamePlaceMetres) return std::nullopt;
    return bearingDegrees(a, b);
  }

  const OsmPass& pass_;
  DirectionTag directionTag_;
  CameraSearch result_;
  std::vector<Device> devices_;
  std::map<std::pair<osmium::item_type, Id>, std::size_t> deviceAt_;
  std::vector<Enforcement> relations_;
  std::vector<std::pair<int, std::vector<std::pair<osmium::item_type, Id>>>> relationDevices_;
  std::unordered_set<Id> alongWanted_, roadEnds_, neededNodes_;
  std::vector<std::vector<Id>> roads_;
  std::unordered_map<Id, GeoDegrees> nodes_;
};

}  // namespace

CameraSearch findCameras(const OsmPass& pass, DirectionTag directionTag) {
  return Search(pass, directionTag).run();
}

}  // namespace tabiro::inspect
