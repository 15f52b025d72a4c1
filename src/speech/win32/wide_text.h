// Shift-JIS text to and from the UTF-16 that COM interfaces take.
#pragma once

#include <windows.h>

#include <string>

namespace tabiro {

inline std::wstring widen(const std::string& sjis) {
  const int length = MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()),
                                         nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()), wide.data(), length);
  return wide;
}

inline std::string narrow(const wchar_t* wide) {
  if (!wide) return {};
  const int length = WideCharToMultiByte(932, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
  WideCharToMultiByte(932, 0, wide, -1, text.data(), length, nullptr, nullptr);
  text.resize(text.size() - 1);
  return text;
}

}  // namespace tabiro
