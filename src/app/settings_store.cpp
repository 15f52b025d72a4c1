#include "app/settings_store.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <mutex>
#include <optional>
#include <vector>

#include "app/atomic_file.h"

namespace tabiro {

namespace {

// One lock for every store in the process: each single read or write is
// atomic against all the others.
std::mutex& profileLock() {
  static std::mutex lock;
  return lock;
}

constexpr std::string_view kBlanks = " \t";

std::string_view trim(std::string_view s) {
  const std::size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = s.find_last_not_of(kBlanks);
  return s.substr(first, last - first + 1);
}

// Section and key names compare without regard to ASCII case; other bytes,
// Shift-JIS among them, compare exactly.
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

struct Profile {
  std::vector<std::string> lines;  // without their line ends
  std::string lineEnd = "\r\n";
  bool exists = false;
};

Profile loadProfile(const std::string& path) {
  Profile profile;
  std::ifstream in(path, std::ios::binary);
  if (!in) return profile;
  profile.exists = true;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t firstNewline = text.find('\n');
  if (firstNewline != std::string::npos && (firstNewline == 0 || text[firstNewline - 1] != '\r')) {
    profile.lineEnd = "\n";
  }
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    profile.lines.push_back(std::move(line));
    start = end + 1;
  }
  return profile;
}

std::optional<std::string_view> sectionName(std::string_view line) {
  const std::string_view t = trim(line);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  const std::size_t close = t.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(t.substr(1, close - 1));
}

struct Entry {
  std::string_view key;
  std::string_view value;
};

std::optional<Entry> entryOf(std::string_view line) {
  const std::string_view t = trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
  const std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  std::string_view value = trim(t.substr(eq + 1));
  // Like Windows, one pair of surrounding double quotes is not part of it.
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return Entry{trim(t.substr(0, eq)), value};
}

struct Location {
  std::optional<std::size_t> section;  // line of the section header
  std::optional<std::size_t> entry;    // line of the first matching entry
  std::size_t insertAt = 0;            // after the section's last entry
};

Location locate(const Profile& profile, std::string_view section, std::string_view key) {
  Location where;
  bool inside = false;
  for (std::size_t i = 0; i < profile.lines.size(); ++i) {
    const std::string& line = profile.lines[i];
    if (const auto name = sectionName(line)) {
      if (inside) break;  // the first matching section is the one used
      inside = sameName(*name, section);
      if (inside) {
        where.section = i;
        where.insertAt = i + 1;
      }
      continue;
    }
    if (!inside) continue;
    if (!trim(line).empty()) where.insertAt = i + 1;
    const auto entry = entryOf(line);
    if (entry && sameName(entry->key, key)) {
      where.entry = i;
      return where;
    }
  }
  return where;
}

std::optional<std::string> findValue(const std::string& path, std::string_view section,
                                     std::string_view key) {
  const Profile profile = loadProfile(path);
  const Location where = locate(profile, section, key);
  if (!where.entry) return std::nullopt;
  return std::string(entryOf(profile.lines[*where.entry])->value);
}

// The platform's integer parsing: leading blanks, an optional sign, digits;
// anything else ends the number. Values beyond 32 bits are clamped.
std::int32_t parseInt(std::string_view text) {
  std::size_t i = text.find_first_not_of(kBlanks);
  if (i == std::string_view::npos) return 0;
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), kLimit);
  }
  if (negative) value = -value;
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

SettingsStore::SettingsStore(std::string path) : path_(std::move(path)) {}

std::int32_t SettingsStore::readInt(std::string_view section, std::string_view key,
                                    std::int32_t def) const {
  std::lock_guard<std::mutex> lock(profileLock());
  const std::optional<std::string> value = findValue(path_, section, key);
  return value ? parseInt(*value) : def;
}

std::string SettingsStore::readString(std::string_view section, std::string_view key,
                                      std::string_view def) const {
  std::lock_guard<std::mutex> lock(profileLock());
  const std::optional<std::string> value = findValue(path_, section, key);
  return value ? *value : std::string(def);
}

void SettingsStore::writeInt(std::string_view section, std::string_view key, std::int32_t value) {
  writeString(section, key, std::to_string(value));
}

void SettingsStore::writeString(std::string_view section, std::string_view key,
                                std::string_view value) {
  std::lock_guard<std::mutex> lock(profileLock());
  Profile profile = loadProfile(path_);
  const Location where = locate(profile, section, key);
  std::string line = std::string(key) + "=" + std::string(value);
  if (where.entry) {
    if (entryOf(profile.lines[*where.entry])->value == value) return;  // nothing to write
    profile.lines[*where.entry] = std::move(line);
  } else if (where.section) {
    profile.lines.insert(profile.lines.begin() + static_cast<std::ptrdiff_t>(where.insertAt),
                         std::move(line));
  } else {
    profile.lines.push_back("[" + std::string(section) + "]");
    profile.lines.push_back(std::move(line));
  }
  std::string text;
  for (const std::string& l : profile.lines) text += l + profile.lineEnd;
  replaceFileAtomically(path_, text);
}

}  // namespace tabiro
