// Any bytes as a profile file, then reads and writes of arbitrary keys: no
// crash, other entries survive a write, and what is written reads back.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/settings_store.h"
#include "fuzz_check.h"

namespace {

using namespace tabiro;
using fuzz::check;

const std::string& profilePath() {
  static const std::string path = [] {
    char dir[] = "/tmp/tabiro-profile-fuzz-XXXXXX";
    check(mkdtemp(dir) != nullptr, "a scratch directory");
    return std::string(dir) + "/Tabiro2.ini";
  }();
  return path;
}

// Names as the program spells them: letters, digits, '_' and inner blanks.
std::string name(FuzzedDataProvider& in) {
  static constexpr char kLetters[] = "abcXYZ019_ ";
  std::string out(1, 'k');
  const std::size_t length = in.ConsumeIntegralInRange<std::size_t>(0, 6);
  for (std::size_t i = 0; i < length; ++i) out += kLetters[in.ConsumeIntegralInRange<int>(0, 10)];
  while (out.back() == ' ') out.pop_back();
  return out;
}

// What a read gives back for a written text: the first line, without the
// blanks around it and without one pair of surrounding quotes.
std::string expectedBack(const std::string& written) {
  std::string value = written.substr(0, written.find_first_of(std::string("\r\n\0", 3)));
  const std::size_t first = value.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  value = value.substr(first, value.find_last_not_of(" \t") - first + 1);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string& path = profilePath();
  {
    const std::string file = in.ConsumeRandomLengthString(4096);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    check(out != nullptr, "the scratch profile opens");
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
  }
  SettingsStore store(path);
  // A key of the file's own that the writes below must leave alone.
  const std::string section = name(in);
  const std::string key = name(in);
  const std::string before = store.storedString(section, key).value_or("\x01missing");

  for (int op = 0; op < 8 && in.remaining_bytes() > 0; ++op) {
    const std::string s = name(in);
    const std::string k = name(in);
    if (s == section && k == key) continue;
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
      case 0:
        store.storedInt(s, k).value_or(7);
        break;
      case 1:
        store.storedString(s, k).value_or("");
        break;
      case 2: {
        const std::int32_t value = in.ConsumeIntegral<std::int32_t>();
        store.writeInt(s, k, value);
        check(store.storedInt(s, k).value_or(value == 0 ? 1 : 0) == value, "a written number reads back");
        break;
      }
      default: {
        const std::string value = in.ConsumeRandomLengthString(64);
        store.writeString(s, k, value);
        check(store.storedString(s, k).value_or("\x01missing") == expectedBack(value),
              "a written text reads back as its first line, trimmed");
        break;
      }
    }
  }
  check(store.storedString(section, key).value_or("\x01missing") == before,
        "writes to other keys leave an entry as it was");
  std::remove(path.c_str());
  return 0;
}
