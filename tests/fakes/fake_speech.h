// The speech engine for handler tests: there or not, what it was asked to
// say, in order, and for how many reads of Busy it goes on saying it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "speech/speech_control.h"
#include "speech/speech_dispatch.h"

namespace tabiro::testing {

class FakeSpeechDispatch final : public SpeechDispatch {
 public:
  explicit FakeSpeechDispatch(bool installed = true) : installed_(installed) {}

  bool create(const char*) override { return installed_; }
  void release() override {}
  bool connected() const override { return installed_; }
  void setLong(int, std::int32_t) override {}
  void setBool(int, bool) override {}
  std::int32_t getLong(int) override { return 0; }
  bool getBool(int id) override { return id == speech_id::kBusy && busyLeft_ > 0 && busyLeft_--; }
  std::int32_t callWithString(int, const std::string& text) override {
    spoken.push_back(text);
    busyLeft_ = busyReadsAfterSpeak;
    return 0;
  }
  std::int32_t callWithLong(int, std::int32_t) override { return 0; }

  std::vector<std::string> spoken;
  int busyReadsAfterSpeak = 0;  // Busy reads true this often after each Speak

 private:
  bool installed_;
  int busyLeft_ = 0;
};

}  // namespace tabiro::testing
