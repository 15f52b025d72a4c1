// Shift-JIS (code page 932) text helpers. A lead byte and its trail byte are
// one character: a search never matches a tag on a trail byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tabiro::sjis {

// True for the first byte of a two-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool isLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Byte offset of the first whole-character occurrence of `needle` in
// `haystack`, or npos. An empty needle is found at 0.
std::size_t find(std::string_view haystack, std::string_view needle);

inline bool contains(std::string_view haystack, std::string_view needle) {
  return find(haystack, needle) != std::string_view::npos;
}

// At most `maxBytes` bytes of `text`, never cutting a two-byte character in
// half. Bounded copies replace fixed-size buffers: nothing can spill.
std::string truncate(std::string_view text, std::size_t maxBytes);

// Copies `text` into `dest` of `destSize` bytes with a terminating NUL, cut as
// truncate() does. Returns the number of bytes copied (without the NUL).
std::size_t copyBounded(char* dest, std::size_t destSize, std::string_view text);

// `text` with every one-byte character replaced by what `replace(c)` returns;
// two-byte characters, whose trail bytes may look like any ASCII byte, stay whole.
template <typename Replace>
std::string replaceSingleBytes(std::string_view text, Replace replace) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      out.append(text.substr(i++, 2));
    } else {
      out += replace(text[i]);
    }
  }
  return out;
}

}  // namespace tabiro::sjis
