// Replacing a file so that a power cut leaves either the old or the new
// contents, never a half-written or empty file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tabiro {

// The temporary file a replacement writes before it is renamed over `path`.
// Its name holds the process id: two programs writing the same file at once
// never write into each other's temporary file.
std::string temporaryPathFor(const std::string& path);

// The whole file, or nullopt when it cannot be opened. The file stays open to
// a replacement while it is read, so that a reader never makes a writer fail.
std::optional<std::string> readWholeFile(const std::string& path);

// Writes `contents` to the temporary file, flushes it to the disk and renames
// it over `path`. Returns false, leaving `path` untouched, on any failure.
bool replaceFileAtomically(const std::string& path, std::string_view contents);

}  // namespace tabiro
