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

// libosmium's English exceptions as the user's message.
[[noreturn]] void rethrowAsReadError() {
  try {
    throw;
  } catch (const osmium::xml_error& e) {
    const std::string where = e.line > 0 ? std::to_string(e.line) + " 行目: " : std::string();
    throw OsmReadError(where + "OpenStreetMap の XML として読めません（" + e.error_string + "）。");
  } catch (const osmium::invalid_location&) {
    throw OsmReadError("緯度か経度が数として読めません（小数点は「.」です）。");
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
    const int fd = osmium::io::detail::open_for_reading(path_);
    std::unique_ptr<osmium::io::Decompressor> input;
    if (format_ == OsmFileFormat::GzipXml) {
      input = std::make_unique<osmium::io::GzipDecompressor>(fd);
    } else {
      input = std::make_unique<osmium::io::NoDecompressor>(fd);
    }
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
    rethrowAsReadError();
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
    rethrowAsReadError();
  }
}

}  // namespace tabiro::inspect
