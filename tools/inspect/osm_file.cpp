// libosmium's headers bring in windows.h in the Windows build.
#define NOMINMAX
#include "osm_file.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string_view>

#include <osmium/io/gzip_compression.hpp>
#include <osmium/io/pbf_input.hpp>
#include <osmium/io/reader.hpp>
#include <osmium/io/xml_input.hpp>
#include <osmium/osm/location.hpp>

namespace tabiro::inspect {

namespace {

const char* formatName(OsmFileFormat format) {
  switch (format) {
    case OsmFileFormat::Xml: return "osm";
    case OsmFileFormat::GzipXml: return "osm.gz";
    case OsmFileFormat::Pbf: return "pbf";
  }
  return "osm";
}

std::unique_ptr<osmium::io::Decompressor> openXml(const std::string& path, OsmFileFormat format) {
  const int fd = osmium::io::detail::open_for_reading(path);
  if (format == OsmFileFormat::GzipXml) return std::make_unique<osmium::io::GzipDecompressor>(fd);
  return std::make_unique<osmium::io::NoDecompressor>(fd);
}

bool isDecimal(std::string_view value) {
  if (!value.empty() && value.front() == '-') value.remove_prefix(1);
  const std::size_t point = value.find('.');
  const std::string_view whole = value.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view() : value.substr(point + 1);
  const auto digits = [](std::string_view d) {
    return std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  return !whole.empty() && digits(whole) && digits(fraction) && (point == std::string_view::npos || !fraction.empty());
}

// The line and value of the first lat or lon of an XML file that is no
// decimal number ("35,68"), found again once libosmium has refused the file.
std::string badCoordinate(const std::string& path, OsmFileFormat format) {
  if (format == OsmFileFormat::Pbf) return {};
  const auto input = openXml(path, format);
  std::string text;
  long line = 1;
  for (std::string chunk = input->read(); !chunk.empty(); chunk = input->read()) {
    text += chunk;
    // Whole lines only; the rest waits for the next chunk.
    const std::size_t end = text.rfind('\n');
    if (end == std::string::npos) continue;
    std::string_view lines = std::string_view(text).substr(0, end + 1);
    for (std::size_t start = 0; start < lines.size();) {
      const std::size_t stop = lines.find('\n', start);
      const std::string_view one = lines.substr(start, stop - start);
      for (const std::string_view key : {" lat=", " lon="}) {
        const std::size_t at = one.find(key);
        if (at == std::string_view::npos || at + key.size() >= one.size()) continue;
        const char quote = one[at + key.size()];
        const std::size_t close = one.find(quote, at + key.size() + 1);
        const std::string_view value = one.substr(at + key.size() + 1, close - at - key.size() - 1);
        if (!isDecimal(value)) return std::to_string(line) + " 行目: 緯度か経度 \"" + std::string(value) + "\" が";
      }
      ++line;
      start = stop + 1;
    }
    text.erase(0, end + 1);
  }
  return {};
}

// libosmium's English exceptions as the user's message.
[[noreturn]] void rethrowAsReadError(const std::string& path, OsmFileFormat format) {
  try {
    throw;
  } catch (const osmium::xml_error& e) {
    const std::string where = e.line > 0 ? std::to_string(e.line) + " 行目: " : std::string();
    throw OsmReadError(where + "OpenStreetMap の XML として読めません（" + e.error_string + "）。");
  } catch (const osmium::invalid_location&) {
    std::string where;
    try {
      where = badCoordinate(path, format);
    } catch (const std::exception&) {
    }
    throw OsmReadError((where.empty() ? std::string("緯度か経度が") : where) + "数として読めません（小数点は「.」です）。");
  } catch (const osmium::pbf_error& e) {
    throw OsmReadError("PBF として読めません（" + std::string(e.what()) + "）。");
  } catch (const osmium::gzip_error&) {
    throw OsmReadError("gzip の圧縮が壊れています。");
  } catch (const std::system_error&) {
    throw OsmReadError("ファイルを読めません。");
  } catch (const std::exception& e) {
    throw OsmReadError("OpenStreetMap のファイルとして読めません（" + std::string(e.what()) + "）。");
  }
}

std::string xmlText(std::string_view escaped) {
  static const std::pair<std::string_view, char> kEntities[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}};
  std::string text;
  for (std::size_t i = 0; i < escaped.size();) {
    bool replaced = false;
    for (const auto& [entity, c] : kEntities) {
      if (escaped.substr(i, entity.size()) == entity) {
        text += c;
        i += entity.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) text += escaped[i++];
  }
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The value of attribute `name` in a start tag, either quote.
std::string_view attribute(std::string_view tag, std::string_view name) {
  for (std::size_t at = tag.find(name); at != std::string_view::npos; at = tag.find(name, at + 1)) {
    const std::size_t quote = at + name.size() + 1;
    if (at == 0 || tag[at - 1] != ' ' || quote >= tag.size() || tag[quote - 1] != '=') continue;
    const std::size_t end = tag.find(tag[quote], quote + 1);
    if (end == std::string_view::npos) return {};
    return tag.substr(quote + 1, end - quote - 1);
  }
  return {};
}

}  // namespace

OsmFile::OsmFile(std::string path, OsmFileFormat format) : path_(std::move(path)), format_(format) {
  if (format_ != OsmFileFormat::Pbf) scanXml();
}

// A search of the raw text, much faster than the parse: start tags hold no
// '<', so the text from the last '<' on is all a chunk may leave unfinished.
void OsmFile::scanXml() {
  try {
    const auto input = openXml(path_, format_);
    const std::string_view kAction = "action=", kRemark = "<remark", kRemarkEnd = "</remark>";
    const std::boyer_moore_horspool_searcher actionSearch(kAction.begin(), kAction.end());
    const std::boyer_moore_horspool_searcher remarkSearch(kRemark.begin(), kRemark.end());
    std::string text;
    for (std::string chunk = input->read(); !chunk.empty(); chunk = input->read()) {
      text += chunk;
      std::size_t done = 0;
      std::size_t unfinished = std::string::npos;
      // Each search runs again only once the scan has passed what it found:
      // JOSM marks every edited object action="modify".
      auto action = std::search(text.begin(), text.end(), actionSearch);
      auto remark = std::search(text.begin(), text.end(), remarkSearch);
      while (true) {
        if (action < text.begin() + done) action = std::search(text.begin() + done, text.end(), actionSearch);
        if (remark < text.begin() + done) remark = std::search(text.begin() + done, text.end(), remarkSearch);
        if (action == text.end() && remark == text.end()) break;
        const std::size_t at = static_cast<std::size_t>(std::min(action, remark) - text.begin());
        if (remark < action) {
          const std::size_t end = text.find(kRemarkEnd, at);
          if (end == std::string::npos) {
            unfinished = at;
            break;
          }
          const std::size_t body = text.find('>', at) + 1;
          remark_ = xmlText(std::string_view(text).substr(body, end - body));
          done = end + kRemarkEnd.size();
          continue;
        }
        const std::size_t open = text.rfind('<', at);
        const std::size_t close = text.find('>', at);
        if (open == std::string::npos) {  // text, not an attribute
          done = at + kAction.size();
          continue;
        }
        if (close == std::string::npos) {
          unfinished = open;
          break;
        }
        const std::string_view tag = std::string_view(text).substr(open, close - open);
        if (attribute(tag, "action") == "delete" && tag.size() > 1) {
          deleted_.insert(tag[1] + std::string(attribute(tag, "id")));
        }
        done = close + 1;
      }
      if (unfinished == std::string::npos) {
        const std::size_t last = text.rfind('<');
        unfinished = last == std::string::npos || last < done ? text.size() : last;
        // A name cut at the chunk's end is found again in the next one.
        unfinished = std::min(unfinished, std::max(done, text.size() - std::min(text.size(), kRemark.size())));
      }
      text.erase(0, unfinished);
    }
    input->close();
  } catch (...) {
    rethrowAsReadError(path_, format_);
  }
}

void OsmFile::read(osmium::osm_entity_bits::type kinds, const OsmVisit& visit) const {
  try {
    osmium::io::Reader reader(osmium::io::File(path_, formatName(format_)), kinds);
    bool more = true;
    while (more) {
      osmium::memory::Buffer buffer = reader.read();
      if (!buffer) break;
      for (const osmium::OSMObject& o : buffer.select<osmium::OSMObject>()) {
        if (!deleted_.empty() && deleted_.count(osmium::item_type_to_char(o.type()) + std::to_string(o.id()))) {
          continue;
        }
        if (!visit(o)) {
          more = false;
          break;
        }
      }
    }
    reader.close();
  } catch (const OsmReadError&) {
    throw;
  } catch (...) {
    rethrowAsReadError(path_, format_);
  }
}

}  // namespace tabiro::inspect
