// What the route and speed-camera readers share: a bounded line reader, the
// warnings a scan gives about a file, and the file-error message.
#pragma once

#include <cstddef>
#include <fstream>
#include <istream>
#include <string>
#include <string_view>

namespace tabiro {

// Reads lines of at most `maxBytes` bytes. A line ends after its line feed,
// which it keeps; a longer line comes back in pieces of `maxBytes` bytes and
// every piece counts as a line of its own to the readers.
class LineReader {
 public:
  LineReader(std::istream& in, std::size_t maxBytes);

  // The next line or piece into `line`; false at end of file.
  bool next(std::string& line);
  // Number (from 1) of the line of the file the last piece came from.
  int fileLine() const { return fileLine_; }
  // True when the last piece was cut off before the end of its line.
  bool cut() const { return cut_; }

 private:
  std::streambuf* buf_;
  std::size_t maxBytes_;
  int fileLine_ = 0;
  bool atLineStart_ = true;
  bool cut_ = false;
};

// Something in a file the user may want to fix, found while it is read.
enum class FileIssue {
  LongLine,          // longer than one read: its pieces are read as lines
  CrLfMarker,        // a route marker ended by CR LF is not a marker
  MarkerSkipped,     // a marker right after a non-marker line is never examined
  MarkerInBlock,     // a marker read as a line of the block before it
  BlockCutShort,     // the file ends inside a block
  TooManyEntries,    // `count` blocks or lines beyond the table are not loaded
  ListEnds,          // a row with latitude or longitude 0 ends the camera list,
                     // hiding the `count` rows after it
  DirectionIsNorth,  // "deg=" with nothing after it but not CR LF reads as 0
};

struct FileWarning {
  FileIssue issue;
  int line = 0;   // line of the file, from 1
  int count = 0;  // for TooManyEntries and ListEnds
  bool operator==(const FileWarning&) const = default;
};

// Opens `path` for reading in binary mode, so that line ends reach the
// reader unchanged. False when it cannot be opened or is a folder.
bool openForReading(std::ifstream& file, const std::string& path);

// The message shown when a route or point file cannot be opened.
std::string fileOpenErrorText(std::string_view path);
// The message shown when a line could not be added to a file.
std::string fileWriteErrorText(std::string_view path);

}  // namespace tabiro
