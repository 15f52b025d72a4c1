#include "sjis_from_utf8.h"

#include <cctype>
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

struct Encoding {
  std::string_view name;  // as XML declarations write it, lower case
  unsigned codePage;      // Windows
  const char* iconvName;  // elsewhere
};

// Shift_JIS is read as code page 932, its superset that Windows writes.
constexpr Encoding kEncodings[] = {
    {"shift_jis", 932, "CP932"},     {"shift-jis", 932, "CP932"},      {"sjis", 932, "CP932"},
    {"x-sjis", 932, "CP932"},        {"windows-31j", 932, "CP932"},    {"cp932", 932, "CP932"},
    {"euc-jp", 20932, "EUC-JP"},     {"iso-2022-jp", 50220, "ISO-2022-JP"},
    {"iso-8859-1", 28591, "ISO-8859-1"}, {"latin1", 28591, "ISO-8859-1"},
    {"iso-8859-2", 28592, "ISO-8859-2"}, {"iso-8859-15", 28605, "ISO-8859-15"},
    {"windows-1250", 1250, "CP1250"}, {"windows-1251", 1251, "CP1251"}, {"windows-1252", 1252, "CP1252"},
};

const Encoding* encodingNamed(std::string_view name) {
  std::string lower;
  for (const char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const Encoding& e : kEncodings) {
    if (e.name == lower) return &e;
  }
  return nullptr;
}

}  // namespace

std::optional<std::string> utf8FromEncoding(std::string_view text, std::string_view encoding) {
  const Encoding* e = encodingNamed(encoding);
  if (e == nullptr) return std::nullopt;
  if (text.empty()) return std::string();
#ifdef _WIN32
  const int wideLength = MultiByteToWideChar(e->codePage, MB_ERR_INVALID_CHARS, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
  if (wideLength <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(e->codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, out.data(), length, nullptr, nullptr);
  return out;
#else
  const iconv_t cd = iconv_open("UTF-8", e->iconvName);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(text.size() * 4, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* dst = out.data();
  std::size_t dstLeft = out.size();
  const bool converted = iconv(cd, &in, &inLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
  iconv_close(cd);
  if (!converted) return std::nullopt;
  out.resize(out.size() - dstLeft);
  return out;
#endif
}

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
