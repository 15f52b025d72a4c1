#include "core/atomic_file.h"

#include <cstdio>
#include <string>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace tabiro {

namespace {

bool flushToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}

bool renameOver(const std::string& from, const std::string& to) {
#ifdef _WIN32
  // A virus scanner or indexer may hold either file open for a moment after
  // it was written; wait a little for it rather than lose the write.
  constexpr int kAttempts = 10;
  constexpr DWORD kPauseMs = 20;
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = GetLastError();
    if (attempt == kAttempts || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)) {
      return false;
    }
    Sleep(kPauseMs);
  }
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

std::string temporaryPathFor(const std::string& path) {
#ifdef _WIN32
  const unsigned long pid = GetCurrentProcessId();
#else
  const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
  return path + "." + std::to_string(pid) + ".tmp";
}

std::optional<std::string> readWholeFile(const std::string& path) {
  std::string text;
  char chunk[4096];
#ifdef _WIN32
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
  CloseHandle(file);
#else
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::nullopt;
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
  std::fclose(file);
#endif
  return text;
}

bool replaceFileAtomically(const std::string& path, std::string_view contents) {
  const std::string temporary = temporaryPathFor(path);
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
  const bool flushed = written && flushToDisk(file);
  const bool closed = std::fclose(file) == 0;
  if (!(flushed && closed) || !renameOver(temporary, path)) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace tabiro
