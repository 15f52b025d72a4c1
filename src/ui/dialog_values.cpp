#include "ui/dialog_values.h"

#include <cstdint>

#include "platform/sjis.h"

namespace tabiro::ui {

std::optional<int> parseDialogInteger(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int>(value);
}

std::string integerRangeMessage(int min, int max) {
  return std::to_string(min) + " から " + std::to_string(max) + " までの整数を入力してください。";
}

std::string fileDialogFilter(std::string_view framework) {
  std::string out;
  for (std::size_t i = 0; i < framework.size(); ++i) {
    const char c = framework[i];
    if (sjis::isLeadByte(static_cast<unsigned char>(c)) && i + 1 < framework.size()) {
      out += c;
      out += framework[++i];
    } else {
      out += c == '|' ? '\0' : c;
    }
  }
  out += '\0';
  return out;
}

}  // namespace tabiro::ui
