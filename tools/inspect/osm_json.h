// Overpass API JSON and GeoJSON as OpenStreetMap objects in memory, for the
// same camera search as the files libosmium streams. Both are whole
// documents, small next to an extract.
#pragma once

#include <string>

#include <osmium/memory/buffer.hpp>

#include "osm_cameras.h"

namespace tabiro::inspect {

struct JsonOsm {
  osmium::memory::Buffer objects{1024, osmium::memory::Buffer::auto_grow::yes};
  std::string remark;  // the Overpass API's remark, UTF-8
};

// Reads `text`: Overpass JSON ("elements") or
// GeoJSON (a FeatureCollection or Feature). Points become nodes, lines and
// polygons ways of their own nodes, a way's "center" or "geometry" likewise.
// false with a UTF-8 `error` naming the place when it cannot.
bool readOsmJson(const std::string& text, JsonOsm& result, std::string& error);

// A pass over objects held in memory.
OsmPass memoryPass(const osmium::memory::Buffer& objects);

}  // namespace tabiro::inspect
