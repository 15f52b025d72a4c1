// UTF-8, the text of XML files, as the Shift-JIS of every file Tabiro reads.
#pragma once

#include <string>
#include <string_view>

namespace tabiro::inspect {

struct SjisText {
  std::string text;
  int replaced = 0;  // characters Shift-JIS lacks, and bytes that are not UTF-8
};

// Each character Shift-JIS (code page 932) lacks becomes "？".
SjisText sjisFromUtf8(std::string_view utf8);

}  // namespace tabiro::inspect
