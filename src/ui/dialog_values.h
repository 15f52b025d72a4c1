// What the thin dialog layer decides without Win32: how a typed integer
// reads, how a filter in the framework's syntax becomes the file dialog's,
// and a control's enabled state as a dialog's rules give it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tabiro::ui {

// The message that refuses a field which does not hold a whole number.
inline constexpr const char* kNotAnIntegerMessage = "整数を入力してください。";
// The message that refuses a whole number outside the field's range.
std::string integerRangeMessage(int min, int max);

// A whole number as a user types it: blanks around it, an optional sign,
// digits, within 32 bits. Anything else is refused.
std::optional<int> parseDialogInteger(std::string_view text);

// "description|pattern|...|" to the open-file dialog's NUL-separated list
// ending in two NULs. A bar is a separator only as a whole character, never
// as the trail byte of a two-byte Shift-JIS character.
std::string fileDialogFilter(std::string_view framework);

struct ControlEnable {
  int id;
  bool enabled;
  bool operator==(const ControlEnable&) const = default;
};

}  // namespace tabiro::ui
