// Replacing a file so that a power cut leaves either the old or the new
// contents, never a half-written or empty file.
#pragma once

#include <string>
#include <string_view>

namespace tabiro {

// The temporary file a replacement writes before it is renamed over `path`.
std::string temporaryPathFor(const std::string& path);

// Writes `contents` to the temporary file, flushes it to the disk and renames
// it over `path`. Returns false, leaving `path` untouched, on any failure.
bool replaceFileAtomically(const std::string& path, std::string_view contents);

}  // namespace tabiro
