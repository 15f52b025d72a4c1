#include "core/settings_store.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <mutex>
#include <optional>
#include <vector>

#include "core/atomic_file.h"
#include "platform/sjis.h"

namespace tabiro {

namespace {

// One lock for every store in the process: writers take turns, so no write
// is built on a file that another write is about to replace. Readers do not
// take it: the file is only ever replaced whole, and a read on the
// user-interface thread must not wait for another thread's flush to disk.
// Never destroyed: a detached worker may still write while the process exits.
std::mutex& writeLock() {
  static auto* lock = new std::mutex;
  return *lock;
}

constexpr std::string_view kBlanks = " \t";

std::string_view trim(std::string_view s) {
  const std::size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = s.find_last_not_of(kBlanks);
  return s.substr(first, last - first + 1);
}

unsigned char asciiLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Section and key names compare without regard to ASCII case. A two-byte
// Shift-JIS character compares exactly: its trail byte may look like an ASCII
// capital (ア is 0x83 0x41) and must not be folded.
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (sjis::isLeadByte(x)) {
      if (x != y) return false;
      if (++i < a.size() && a[i] != b[i]) return false;
    } else if (asciiLower(x) != asciiLower(y)) {
      return false;
    }
  }
  return true;
}

// The file split into lines (without their line ends). The lines are views
// into the text, so a profile is neither copied nor moved.
class Profile {
 public:
  explicit Profile(const std::string& path) {
    std::optional<std::string> text = readWholeFile(path);
    if (!text) return;
    exists_ = true;
    text_ = std::move(*text);
    const std::string_view all = text_;
    // Like Windows' own profile functions, CR, LF and CR LF all end a line;
    // a write keeps the file's first line end. A new file gets CR LF.
    const std::size_t firstEnd = all.find_first_of("\r\n");
    if (firstEnd != std::string_view::npos && all.compare(firstEnd, 2, "\r\n") != 0) {
      lineEnd_ = all[firstEnd] == '\r' ? "\r" : "\n";
    }
    std::size_t start = 0;
    while (start < all.size()) {
      std::size_t end = all.find_first_of("\r\n", start);
      if (end == std::string_view::npos) end = all.size();
      lines_.push_back(all.substr(start, end - start));
      start = end + (all.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
  }
  Profile(const Profile&) = delete;
  Profile& operator=(const Profile&) = delete;

  bool exists() const { return exists_; }
  const std::vector<std::string_view>& lines() const { return lines_; }
  std::string_view lineEnd() const { return lineEnd_; }

 private:
  bool exists_ = false;
  std::string text_;
  std::vector<std::string_view> lines_;
  std::string_view lineEnd_ = "\r\n";
};

std::optional<std::string_view> sectionName(std::string_view line) {
  const std::string_view t = trim(line);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  // ']' (0x5D) can be a trail byte, so look for it as a whole character.
  const std::string_view inside = t.substr(1);
  const std::size_t close = sjis::find(inside, "]");
  if (close == std::string_view::npos) return std::nullopt;
  return trim(inside.substr(0, close));
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
  std::optional<Entry> found;          // that entry, read
  std::size_t insertAt = 0;            // after the section's last non-blank line
};

// Only the first section of a name counts, and in it the first entry of the
// key, as with Windows' own profile functions.
Location locate(const Profile& profile, std::string_view section, std::string_view key) {
  Location where;
  const std::vector<std::string_view>& lines = profile.lines();
  bool inside = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (const auto name = sectionName(lines[i])) {
      if (inside) break;
      inside = sameName(*name, section);
      if (inside) {
        where.section = i;
        where.insertAt = i + 1;
      }
      continue;
    }
    if (!inside) continue;
    // A header cut off ("[" at the end of a truncated file) gets no keys
    // under it: a new key goes before it, with the section's own entries.
    const std::string_view t = trim(lines[i]);
    if (!t.empty() && t.front() != '[') where.insertAt = i + 1;
    const auto entry = entryOf(lines[i]);
    if (entry && sameName(entry->key, key)) {
      where.entry = i;
      where.found = entry;
      return where;
    }
  }
  return where;
}

std::optional<std::string> findValue(const std::string& path, std::string_view section,
                                     std::string_view key) {
  const Profile profile(path);
  const Location where = locate(profile, section, key);
  if (!where.found) return std::nullopt;
  return std::string(where.found->value);
}

// The platform's integer parsing: leading blanks, an optional sign, digits;
// anything else ends the number. Values beyond 32 bits are clamped rather
// than wrapped, so a huge number never reads as a small or negative one.
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

// A value is one line: a line break (or NUL) in it would otherwise end the
// entry early and smuggle the rest into the file as lines of their own.
std::string_view storable(std::string_view value) {
  constexpr std::string_view kLineBreaks("\r\n\0", 3);
  return value.substr(0, value.find_first_of(kLineBreaks));
}

}  // namespace

SettingsStore::SettingsStore(std::string path, FileReplacer replace)
    : path_(std::move(path)), replace_(std::move(replace)) {}

std::optional<std::int32_t> SettingsStore::storedInt(std::string_view section,
                                                     std::string_view key) const {
  const std::optional<std::string> value = findValue(path_, section, key);
  // As with Windows, "Key=" holds no number: the default, not 0.
  if (!value || value->empty()) return std::nullopt;
  return parseInt(*value);
}

std::optional<std::string> SettingsStore::storedString(std::string_view section,
                                                       std::string_view key) const {
  return findValue(path_, section, key);
}

void SettingsStore::writeInt(std::string_view section, std::string_view key, std::int32_t value) {
  writeString(section, key, std::to_string(value));
}

void SettingsStore::writeString(std::string_view section, std::string_view key,
                                std::string_view value) {
  value = storable(value);
  std::lock_guard<std::mutex> lock(writeLock());
  const Profile profile(path_);
  const Location where = locate(profile, section, key);
  if (where.found && where.found->value == value) return;  // nothing to write

  // A replaced entry keeps the key as the file spells it.
  std::string entry(where.found ? where.found->key : key);
  entry += '=';
  entry += value;

  const std::vector<std::string_view>& lines = profile.lines();
  const std::string_view lineEnd = profile.lineEnd();
  std::string text;
  const auto put = [&](std::string_view line) {
    text += line;
    text += lineEnd;
  };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    put(where.entry == i ? std::string_view(entry) : lines[i]);
    if (!where.entry && where.section && where.insertAt == i + 1) put(entry);
  }
  if (!where.section) {
    text += '[';
    text += section;
    text += ']';
    text += lineEnd;
    put(entry);
  }
  replace_(path_, text);
}

}  // namespace tabiro
