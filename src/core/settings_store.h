// The private profile: one INI file holding every setting and the run-time
// state keys. Windows private-profile semantics, no cache: every read goes to
// the file and every write goes to the file at once, atomically. Writers take
// turns; a reader never waits for a writer, since the file it opens is always
// whole (the old one or the new one).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
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

  // What is stored under the key, if anything; "Key=" holds no number.
  std::optional<std::int32_t> storedInt(std::string_view section, std::string_view key) const;
  std::optional<std::string> storedString(std::string_view section, std::string_view key) const;
  void writeInt(std::string_view section, std::string_view key, std::int32_t value);
  void writeString(std::string_view section, std::string_view key, std::string_view value);

  std::optional<std::int32_t> storedInt(ProfileKey key) const {
    return storedInt(key.section, key.name);
  }
  std::optional<std::string> storedString(ProfileKey key) const {
    return storedString(key.section, key.name);
  }
  // The stored value, or the key's default when there is none.
  std::int32_t readInt(NumberKey key) const { return storedInt(key).value_or(key.def); }
  std::string readString(TextKey key) const {
    return storedString(key).value_or(std::string(key.def));
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
