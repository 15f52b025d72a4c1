// UTF-8, the text of XML files, as the Shift-JIS of every file Tabiro reads;
// and a file in another encoding as UTF-8, for the XML parser.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tabiro::inspect {

struct SjisText {
  std::string text;
  int replaced = 0;  // characters Shift-JIS lacks, and bytes that are not UTF-8
};

// Each character Shift-JIS (code page 932) lacks becomes "？".
SjisText sjisFromUtf8(std::string_view utf8);

// `text`, in the encoding an XML declaration names (e.g. "Shift_JIS",
// "EUC-JP", "windows-1252"), as UTF-8; nullopt when the encoding is unknown
// or the text is not in it.
std::optional<std::string> utf8FromEncoding(std::string_view text, std::string_view encoding);

}  // namespace tabiro::inspect
