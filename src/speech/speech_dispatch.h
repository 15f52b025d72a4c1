// The automation port of the text-to-speech control: create it by ProgID and
// call its properties and methods by dispatch id. Strings are Shift-JIS.
#pragma once

#include <cstdint>
#include <string>

namespace tabiro {

class SpeechDispatch {
 public:
  virtual ~SpeechDispatch() = default;
  virtual bool create(const char* progId) = 0;
  virtual void release() = 0;
  virtual bool connected() const = 0;
  virtual void setLong(int dispId, std::int32_t value) = 0;
  virtual void setBool(int dispId, bool value) = 0;
  virtual std::int32_t getLong(int dispId) = 0;
  virtual bool getBool(int dispId) = 0;
  virtual std::int32_t callWithString(int dispId, const std::string& argument) = 0;
  virtual std::int32_t callWithLong(int dispId, std::int32_t argument) = 0;
};

}  // namespace tabiro
