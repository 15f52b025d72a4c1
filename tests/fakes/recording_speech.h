// A speech engine for tests: keeps the properties it is given, answers
// EngineQuery and Busy as scripted, and records every call in order.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "speech/speech_dispatch.h"

namespace tabiro::testing {

class RecordingSpeech final : public SpeechDispatch {
 public:
  bool create(const char*) override { return connected_ = true; }
  void release() override { connected_ = false; }
  bool connected() const override { return connected_; }
  void setLong(int dispId, std::int32_t value) override;
  void setBool(int dispId, bool value) override;
  std::int32_t getLong(int dispId) override;
  bool getBool(int dispId) override;
  std::int32_t callWithString(int dispId, const std::string& argument) override;
  std::int32_t callWithLong(int dispId, std::int32_t argument) override;

  // Calls as "set 6 0", "get 12", "call 21 0", in order.
  std::vector<std::string> calls;
  std::map<int, std::int32_t> properties;  // booleans as 1 and 0
  std::int32_t engineQueryAnswer = 8;
  int busyReads = 0;  // reads of Busy that answer true; negative: always

 private:
  bool connected_ = false;
};

}  // namespace tabiro::testing
