// The private profile: one INI file holding every setting and the run-time
// state keys. Windows private-profile semantics, no cache: every read goes to
// the file and every write goes to the file at once, atomically. Writers take
// turns; a reader never waits for a writer, since the file it opens is always
// whole (the old one or the new one).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/atomic_file.h"
#include "core/profile_keys.h"

namespace tabiro {

// Puts new contents in place of the file; false leaves the old file.
using FileReplacer = std::function<bool(const std::string& path, std::string_view contents)>;

class SettingsStore {
 public:
  explicit SettingsStore(std::string path, FileReplacer replace = replaceFileAtomically);

  const std::string& path() const { return path_; }

  std::int32_t readInt(std::string_view section, std::string_view key, std::int32_t def) const;
  std::string readString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  void writeInt(std::string_view section, std::string_view key, std::int32_t value);
  void writeString(std::string_view section, std::string_view key, std::string_view value);

  std::int32_t readInt(ProfileKey key, std::int32_t def) const {
    return readInt(key.section, key.name, def);
  }
  std::string readString(ProfileKey key, std::string_view def) const {
    return readString(key.section, key.name, def);
  }
  void writeInt(ProfileKey key, std::int32_t value) { writeInt(key.section, key.name, value); }
  void writeString(ProfileKey key, std::string_view value) {
    writeString(key.section, key.name, value);
  }

 private:
  std::string path_;
  FileReplacer replace_;
};

}  // namespace tabiro
