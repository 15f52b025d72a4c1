// Hexadecimal digits, as route point codes and NMEA checksums write them.
#pragma once

namespace tabiro {

// The digit's value, or -1 for a character that is none.
constexpr int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace tabiro
