#include "stub.h"

#include <cerrno>
#include <cstdlib>  // also __argc, __argv on Windows

namespace stub {

namespace {

bool isSwitch(const std::string& word) { return word.size() > 2 && word.compare(0, 2, "--") == 0; }

}  // namespace

Args::Args(std::vector<std::string> words) {
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (!isSwitch(word)) continue;  // stray words are ignored
    Switch s;
    size_t eq = word.find('=');
    if (eq != std::string::npos) {
      s.name = word.substr(2, eq - 2);
      s.value = word.substr(eq + 1);
    } else {
      s.name = word.substr(2);
      if (i + 1 < words.size() && !isSwitch(words[i + 1])) s.value = words[++i];
    }
    switches_.push_back(std::move(s));
  }
}

#ifdef _WIN32
Args Args::fromProcess() {
  std::vector<std::string> words;
  for (int i = 1; i < __argc; ++i) words.emplace_back(__argv[i]);
  return Args(std::move(words));
}
#endif

bool Args::has(std::string_view name) const {
  for (const Switch& s : switches_)
    if (s.name == name) return true;
  return false;
}

std::string Args::value(std::string_view name, std::string_view fallback) const {
  for (auto it = switches_.rbegin(); it != switches_.rend(); ++it)
    if (it->name == name) return it->value;
  return std::string(fallback);
}

std::vector<std::string> Args::values(std::string_view name) const {
  std::vector<std::string> out;
  for (const Switch& s : switches_)
    if (s.name == name) out.push_back(s.value);
  return out;
}

long long Args::integer(std::string_view name, long long fallback) const {
  if (!has(name)) return fallback;
  std::string text = value(name);
  if (text.empty()) return fallback;
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0') return fallback;
  return v;
}

double Args::number(std::string_view name, double fallback) const {
  if (!has(name)) return fallback;
  std::string text = value(name);
  if (text.empty()) return fallback;
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (*end != '\0') return fallback;
  return v;
}

std::vector<std::string> Args::unknown(std::initializer_list<std::string_view> known) const {
  std::vector<std::string> out;
  for (const Switch& s : switches_) {
    bool found = false;
    for (std::string_view k : known) found = found || s.name == k;
    if (!found) out.push_back(s.name);
  }
  return out;
}

}  // namespace stub
