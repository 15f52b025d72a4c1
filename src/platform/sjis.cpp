#include "platform/sjis.h"

#include <cstring>

namespace tabiro::sjis {

std::size_t find(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return 0;
  std::size_t i = 0;
  while (i + needle.size() <= haystack.size()) {
    if (haystack.compare(i, needle.size(), needle) == 0) return i;
    // Step over whole characters only, so that a match can start only at a
    // character boundary.
    i += (isLeadByte(static_cast<unsigned char>(haystack[i])) && i + 1 < haystack.size()) ? 2 : 1;
  }
  return std::string_view::npos;
}

std::string truncate(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  std::size_t end = 0;
  while (end < maxBytes) {
    const std::size_t width = isLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + width > maxBytes) break;
    end += width;
  }
  return std::string(text.substr(0, end));
}

std::size_t copyBounded(char* dest, std::size_t destSize, std::string_view text) {
  if (destSize == 0) return 0;
  const std::string cut = truncate(text, destSize - 1);
  std::memcpy(dest, cut.data(), cut.size());
  dest[cut.size()] = '\0';
  return cut.size();
}

}  // namespace tabiro::sjis
