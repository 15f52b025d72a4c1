// The speed cameras among OpenStreetMap objects: nodes and ways tagged
// highway=speed_camera and the devices of enforcement relations, with the
// direction of travel each watches. The objects are read in passes, as often
// as the search needs them, and only the cameras and the nodes and ways they
// use are kept: a regional extract streams through in little memory.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <osmium/osm/entity_bits.hpp>

#include "gps/datum.h"

namespace osmium {
class OSMObject;
}

namespace tabiro::inspect {

// One reading of the source's objects of the kinds asked for, in its order;
// `visit` returns false when it needs no more of them.
using OsmVisit = std::function<bool(const osmium::OSMObject&)>;
using OsmPass = std::function<void(osmium::osm_entity_bits::type kinds, const OsmVisit& visit)>;

// How a plain "direction" tag is read: the way the camera faces (OSM's
// convention, so it watches traffic coming the other way) or the way of travel.
enum class DirectionTag { Facing, Travel };

struct FoundCamera {
  std::string object;             // "node 12", "way 7": for messages
  GeoDegrees position;            // WGS84; a way's centre
  std::optional<double> travel;   // the bearing of travel it watches
  std::string name;               // UTF-8: name, else ref, of the device, else of its relation
  std::string maxspeed;
};

struct CameraSearch {
  std::vector<FoundCamera> cameras;  // in the order they were found
  // Messages in UTF-8, each naming its object.
  std::vector<std::string> notes;    // cameras whose direction could not be read
  std::vector<std::string> skipped;  // objects that give no camera, and why
  std::vector<std::string> errors;   // positions that cannot be a place: nothing is written
};

CameraSearch findCameras(const OsmPass& pass, DirectionTag directionTag);

}  // namespace tabiro::inspect
