#include "sjis_from_utf8.h"

#include <cstddef>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace tabiro::inspect {

namespace {

// Bytes of the UTF-8 sequence a lead byte opens; 1 for a stray byte.
std::size_t sequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

// One character converted, or empty when code page 932 has no such character.
class Converter {
 public:
#ifdef _WIN32
  std::string convert(std::string_view character) {
    wchar_t wide[4];
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, character.data(),
                                      static_cast<int>(character.size()), wide, 4);
    if (n <= 0) return {};
    char out[8];
    BOOL usedDefault = FALSE;
    const int m = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, n, out, sizeof out, nullptr,
                                      &usedDefault);
    if (m <= 0 || usedDefault) return {};
    return std::string(out, static_cast<std::size_t>(m));
  }
#else
  Converter() : cd_(iconv_open("CP932", "UTF-8")) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::string convert(std::string_view character) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return {};
    char out[8];
    char* in = const_cast<char*>(character.data());
    std::size_t inLeft = character.size();
    char* dst = out;
    std::size_t dstLeft = sizeof out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd_, &in, &inLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) || inLeft != 0) return {};
    return std::string(out, static_cast<std::size_t>(dst - out));
  }

 private:
  iconv_t cd_;
#endif
};

}  // namespace

SjisText sjisFromUtf8(std::string_view utf8) {
  SjisText result;
  Converter converter;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      result.text += static_cast<char>(lead);
      ++i;
      continue;
    }
    std::size_t length = sequenceLength(lead);
    if (i + length > utf8.size()) length = 1;
    const std::string converted = length == 1 ? std::string() : converter.convert(utf8.substr(i, length));
    if (converted.empty()) {
      result.text += "？";
      ++result.replaced;
    } else {
      result.text += converted;
    }
    i += length;
  }
  return result;
}

}  // namespace tabiro::inspect
