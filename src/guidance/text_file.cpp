#include "guidance/text_file.h"

#include <filesystem>
#include <system_error>

namespace tabiro {

LineReader::LineReader(std::istream& in, std::size_t maxBytes)
    : buf_(in.rdbuf()), maxBytes_(maxBytes) {}

bool LineReader::next(std::string& line) {
  line.clear();
  if (buf_ == nullptr) return false;
  using Traits = std::char_traits<char>;
  while (line.size() < maxBytes_) {
    const Traits::int_type c = buf_->sbumpc();
    if (Traits::eq_int_type(c, Traits::eof())) break;
    line.push_back(Traits::to_char_type(c));
    if (line.back() == '\n') break;
  }
  if (line.empty()) return false;
  if (atLineStart_) ++fileLine_;
  atLineStart_ = line.back() == '\n';
  cut_ = !atLineStart_ && !Traits::eq_int_type(buf_->sgetc(), Traits::eof());
  return true;
}

bool openForReading(std::ifstream& file, const std::string& path) {
  // Some systems open a folder as if it were an empty file.
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return false;
  file.open(path, std::ios::binary);
  return file.is_open();
}

std::string fileOpenErrorText(std::string_view path) {
  return std::string(path) + " が開けません。";
}

std::string fileWriteErrorText(std::string_view path) {
  return std::string(path) + " に書き込めません。";
}

}  // namespace tabiro
