// What the fuzz targets share: a broken promise is a crash libFuzzer keeps.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace tabiro::fuzz {

inline void check(bool ok, const char* promise) {
  if (ok) return;
  std::fprintf(stderr, "broken promise: %s\n", promise);
  std::abort();
}

// Lines of the file as the readers number them: a last line without its
// line feed counts too.
inline int fileLines(std::string_view bytes) {
  int lines = 0;
  for (const char c : bytes) lines += c == '\n';
  if (!bytes.empty() && bytes.back() != '\n') ++lines;
  return lines;
}

}  // namespace tabiro::fuzz
