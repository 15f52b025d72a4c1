#include "fakes/recording_speech.h"

#include "speech/speech_control.h"

namespace tabiro::testing {

void RecordingSpeech::setLong(int dispId, std::int32_t value) {
  calls.push_back("set " + std::to_string(dispId) + " " + std::to_string(value));
  properties[dispId] = value;
}

void RecordingSpeech::setBool(int dispId, bool value) { setLong(dispId, value ? 1 : 0); }

std::int32_t RecordingSpeech::getLong(int dispId) {
  calls.push_back("get " + std::to_string(dispId));
  return properties[dispId];
}

bool RecordingSpeech::getBool(int dispId) {
  if (dispId != speech_id::kBusy) return getLong(dispId) != 0;
  calls.push_back("get 14");
  if (busyReads == 0) return false;
  if (busyReads > 0) --busyReads;
  return true;
}

std::int32_t RecordingSpeech::callWithString(int dispId, const std::string& argument) {
  calls.push_back("call " + std::to_string(dispId) + " " + argument);
  return 0;
}

std::int32_t RecordingSpeech::callWithLong(int dispId, std::int32_t argument) {
  calls.push_back("call " + std::to_string(dispId) + " " + std::to_string(argument));
  return dispId == speech_id::kEngineQuery ? engineQueryAnswer : 0;
}

}  // namespace tabiro::testing
