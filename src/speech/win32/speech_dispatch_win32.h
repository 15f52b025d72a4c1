// The speech control's automation interface through IDispatch.
#pragma once

#include <oaidl.h>

#include "speech/speech_dispatch.h"

namespace tabiro {

class Win32SpeechDispatch : public SpeechDispatch {
 public:
  Win32SpeechDispatch() = default;
  ~Win32SpeechDispatch() override { release(); }

  bool create(const char* progId) override;
  void release() override;
  bool connected() const override { return dispatch_ != nullptr; }
  void setLong(int dispId, std::int32_t value) override;
  void setBool(int dispId, bool value) override;
  std::int32_t getLong(int dispId) override;
  bool getBool(int dispId) override;
  std::int32_t callWithString(int dispId, const std::string& argument) override;
  std::int32_t callWithLong(int dispId, std::int32_t argument) override;

 private:
  VARIANT invoke(int dispId, WORD flags, DISPPARAMS& params);
  void put(int dispId, VARIANT& value);
  VARIANT get(int dispId);
  VARIANT call(int dispId, VARIANT& argument);
  // Shows the control's own error report, as an automation error would be.
  void report(HRESULT hr, const EXCEPINFO& info);

  IDispatch* dispatch_ = nullptr;
};

}  // namespace tabiro
