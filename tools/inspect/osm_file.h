// OpenStreetMap files streamed with libosmium: XML, plain or gzip, and PBF.
// Each pass reads the file afresh, so that nothing of it is held.
#pragma once

#include <stdexcept>
#include <string>
#include <unordered_set>
#include <utility>

#include "osm_cameras.h"

namespace tabiro::inspect {

enum class OsmFileFormat { Xml, GzipXml, Pbf };

// A file that cannot be read, with a UTF-8 message saying where and why.
struct OsmReadError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class OsmFile {
 public:
  // An XML file is first scanned for what libosmium does not read: the
  // objects JOSM marks action="delete" and an Overpass API <remark>.
  // Throws OsmReadError.
  OsmFile(std::string path, OsmFileFormat format);

  // One pass (OsmPass); throws OsmReadError.
  void read(osmium::osm_entity_bits::type kinds, const OsmVisit& visit) const;
  // The Overpass API's remark (a time-out, too much memory), UTF-8; empty when none.
  const std::string& remark() const { return remark_; }

 private:
  void scanXml();

  std::string path_;
  OsmFileFormat format_;
  std::string remark_;
  std::unordered_set<std::string> deleted_;  // "n12", "w7", "r3"
};

}  // namespace tabiro::inspect
