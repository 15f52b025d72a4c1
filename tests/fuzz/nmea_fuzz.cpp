// Any bytes from a receiver, cut at every length the first byte names: the
// assembler gives the same checked sentences however the reads cut them,
// none longer than its cap, and the sentence reader takes each without harm,
// making at most one fix of a time of day in a row.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "gps/nmea.h"

namespace {

using namespace tabiro;
using fuzz::check;

std::vector<std::string> assemble(const std::string& bytes, std::size_t cut) {
  NmeaLineAssembler assembler;
  std::vector<std::string> sentences;
  for (std::size_t at = 0; at < bytes.size(); at += cut) {
    for (std::string& s : assembler.feed(bytes.substr(at, cut))) sentences.push_back(std::move(s));
  }
  return sentences;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t cut = data[0] % 64 + 1;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::vector<std::string> whole = assemble(bytes, bytes.size() + 1);
  check(assemble(bytes, cut) == whole, "the reads' cuts do not change the sentences");
  NmeaFixReader fixes;
  std::optional<std::int64_t> lastTimeOfDayMs;
  for (const std::string& sentence : whole) {
    check(sentence.size() <= kNmeaLineMaxBytes, "no sentence beyond the cap");
    check(nmeaChecksumOk(sentence), "every sentence has its checksum right");
    const auto parsed = parseNmeaSentence(sentence);
    if (!parsed) continue;
    if (const auto fix = fixes.take(*parsed)) {
      check(std::fabs(fix->position.latitude) <= 90 && std::fabs(fix->position.longitude) <= 180,
            "a fix lies on the earth");
      check(fix->speedKmh >= 0 && fix->speedKmh < 2000, "a speed a receiver can report");
      check(!fix->course || (*fix->course >= 0 && *fix->course <= 360), "a course of the compass");
      check(!fix->timeOfDayMs || fix->timeOfDayMs != lastTimeOfDayMs, "one fix per epoch");
      lastTimeOfDayMs = fix->timeOfDayMs;
    }
  }
  return 0;
}
