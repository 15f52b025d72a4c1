#include "osm_json.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>
#include <osmium/builder/attr.hpp>
#include <osmium/osm/object.hpp>

namespace tabiro::inspect {

namespace {

using nlohmann::json;
using Id = osmium::object_id_type;
using TagList = std::vector<std::pair<std::string, std::string>>;

struct BadElement {
  std::string what;
};

class Builder {
 public:
  explicit Builder(osmium::memory::Buffer& buffer) : buffer_(buffer) {}

  void node(Id id, const json& lat, const json& lon, const TagList& tags, const std::string& where) {
    if (!lat.is_number() || !lon.is_number()) throw BadElement{where + ": 緯度・経度が数ではありません。"};
    const double la = lat.get<double>(), lo = lon.get<double>();
    if (!(std::abs(la) <= 90) || !(std::abs(lo) <= 180)) {
      throw BadElement{where + ": 緯度 " + lat.dump() + "・経度 " + lon.dump() + " は範囲外です。"};
    }
    using namespace osmium::builder::attr;
    osmium::builder::add_node(buffer_, _id(id), _location(lo, la), _tags(tags));
    buffer_.commit();
  }

  // A way of nodes made for it from [lon, lat] pairs (GeoJSON) or
  // {"lat", "lon"} objects (Overpass geometry).
  void wayOfPoints(Id id, const json& points, const TagList& tags, const std::string& where) {
    std::vector<Id> nodes;
    for (const json& p : points) {
      // A ring closes on its first node, which the way's centre counts once.
      if (!nodes.empty() && p == points.front()) {
        nodes.push_back(nodes.front());
        continue;
      }
      const Id n = --madeIds_;
      if (p.is_array() && p.size() >= 2) {
        node(n, p[1], p[0], {}, where);
      } else if (p.is_object()) {
        node(n, p.value("lat", json()), p.value("lon", json()), {}, where);
      } else {
        throw BadElement{where + ": 座標が読めません。"};
      }
      nodes.push_back(n);
    }
    way(id, nodes, tags);
  }

  void way(Id id, const std::vector<Id>& nodes, const TagList& tags) {
    using namespace osmium::builder::attr;
    osmium::builder::add_way(buffer_, _id(id), _nodes(nodes), _tags(tags));
    buffer_.commit();
  }

  void relation(Id id, const json& members, const TagList& tags) {
    std::vector<osmium::builder::attr::member_type_string> list;
    for (const json& m : members) {
      const std::string type = m.value("type", "");
      if (type.empty() || !m.contains("ref") || !m["ref"].is_number_integer()) continue;
      list.emplace_back(osmium::char_to_item_type(type[0]), m["ref"].get<Id>(), m.value("role", ""));
    }
    using namespace osmium::builder::attr;
    osmium::builder::add_relation(buffer_, _id(id), _members(list), _tags(tags));
    buffer_.commit();
  }

  Id madeId() { return --madeIds_; }

 private:
  osmium::memory::Buffer& buffer_;
  Id madeIds_ = 0;  // objects made here get negative ids, OSM's for new ones
};

TagList tagList(const json& tags) {
  TagList list;
  if (!tags.is_object()) return list;
  for (const auto& [k, v] : tags.items()) {
    if (k.empty() || k[0] == '@') continue;  // overpass turbo's own fields
    list.emplace_back(k, v.is_string() ? v.get<std::string>() : v.dump());
  }
  return list;
}

std::string nameOf(const std::string& type, const json& e, std::size_t index) {
  if (e.contains("id") && e["id"].is_number_integer()) return type + " " + std::to_string(e["id"].get<Id>());
  return "elements[" + std::to_string(index) + "]";
}

void readOverpass(const json& elements, Builder& build) {
  std::size_t index = 0;
  for (const json& e : elements) {
    const std::string type = e.value("type", "");
    const std::string where = nameOf(type, e, index++);
    const Id id = e.contains("id") && e["id"].is_number_integer() ? e["id"].get<Id>() : build.madeId();
    const TagList tags = tagList(e.value("tags", json::object()));
    if (type == "node") {
      build.node(id, e.value("lat", json()), e.value("lon", json()), tags, where);
    } else if (type == "way" && e.contains("geometry")) {
      build.wayOfPoints(id, e["geometry"], tags, where);
    } else if (type == "way" && e.contains("center")) {
      build.wayOfPoints(id, json::array({e["center"]}), tags, where);
    } else if (type == "way") {
      std::vector<Id> nodes;
      for (const json& n : e.value("nodes", json::array())) {
        if (n.is_number_integer()) nodes.push_back(n.get<Id>());
      }
      build.way(id, nodes, tags);
    } else if (type == "relation") {
      build.relation(id, e.value("members", json::array()), tags);
    }
  }
}

// "node/123" (overpass turbo's "@id" or the feature's "id").
std::pair<std::string, Id> featureId(const json& feature, const json& properties, Builder& build) {
  for (const json& id : {properties.value("@id", json()), feature.value("id", json())}) {
    if (!id.is_string()) continue;
    const std::string text = id.get<std::string>();
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos) continue;
    try {
      return {text.substr(0, slash), std::stoll(text.substr(slash + 1))};
    } catch (const std::exception&) {
    }
  }
  return {"", build.madeId()};
}

void readFeature(const json& feature, std::size_t index, Builder& build) {
  json properties = feature.value("properties", json::object());
  if (!properties.is_object()) properties = json::object();
  // Old overpass turbo exports nest the tags; newer ones give them as properties.
  const TagList tags = tagList(properties.contains("tags") ? properties["tags"] : properties);
  const auto [type, id] = featureId(feature, properties, build);
  const std::string where = (type.empty() ? "features[" + std::to_string(index) + "]" : type + " " + std::to_string(id));
  const json geometry = feature.value("geometry", json::object());
  const std::string kind = geometry.is_object() ? geometry.value("type", "") : "";
  const json coordinates = geometry.is_object() ? geometry.value("coordinates", json()) : json();
  if (kind == "Point" && coordinates.is_array() && coordinates.size() >= 2) {
    build.node(id, coordinates[1], coordinates[0], tags, where);
  } else if (kind == "LineString" && coordinates.is_array()) {
    build.wayOfPoints(id, coordinates, tags, where);
  } else if (kind == "Polygon" && coordinates.is_array() && !coordinates.empty()) {
    build.wayOfPoints(id, coordinates[0], tags, where);  // the outer ring
  }
}

}  // namespace

bool readOsmJson(const std::string& text, JsonOsm& result, std::string& error) {
  json document;
  try {
    document = json::parse(text);
  } catch (const json::parse_error& e) {
    const std::size_t upTo = std::min<std::size_t>(e.byte, text.size());
    const long line = 1 + std::count(text.begin(), text.begin() + static_cast<long>(upTo), '\n');
    error = std::to_string(line) + " 行目: JSON として読めません。";
    return false;
  }
  Builder build(result.objects);
  try {
    if (document.is_object() && document.contains("remark") && document["remark"].is_string()) {
      result.remark = document["remark"].get<std::string>();
    }
    if (document.is_object() && document.contains("elements") && document["elements"].is_array()) {
      readOverpass(document["elements"], build);
    } else if (document.is_object() && document.value("type", "") == "FeatureCollection") {
      std::size_t index = 0;
      for (const json& f : document.value("features", json::array())) readFeature(f, index++, build);
    } else if (document.is_object() && document.value("type", "") == "Feature") {
      readFeature(document, 0, build);
    } else {
      error = "JSON ですが、Overpass API の JSON（\"elements\"）でも GeoJSON でもありません。";
      return false;
    }
  } catch (const BadElement& bad) {
    error = bad.what;
    return false;
  } catch (const json::exception&) {
    error = "JSON の形が Overpass API の JSON とも GeoJSON とも違います。";
    return false;
  }
  return true;
}

OsmPass memoryPass(const osmium::memory::Buffer& objects) {
  return [&objects](osmium::osm_entity_bits::type kinds, const OsmVisit& visit) {
    for (const osmium::OSMObject& o : objects.select<osmium::OSMObject>()) {
      if ((osmium::osm_entity_bits::from_item_type(o.type()) & kinds) && !visit(o)) return;
    }
  };
}

}  // namespace tabiro::inspect
