// The port of the system's SAPI 5 voices: the voices installed, and one
// voice opened to speak asynchronously. Strings are Shift-JIS. Only the
// user-interface thread calls it.
#pragma once

#include <string>
#include <vector>

namespace tabiro {

// An installed voice as its token describes it: the token's key name, and
// the "Name" and "Language" values of its "Attributes" key.
struct SapiVoiceToken {
  std::string key;
  std::string name;
  std::string language;  // hexadecimal language ids, ";"-separated ("411;409")
  bool operator==(const SapiVoiceToken&) const = default;
};

// Where the phrase given last to a voice stands.
enum class PhraseProgress { Speaking, Done, Failed };

class SapiVoice {
 public:
  virtual ~SapiVoice() = default;
  virtual std::vector<SapiVoiceToken> installedVoices() = 0;
  // Creates a voice set to the token and proves with a call that says
  // nothing that it can speak; only then does it replace the voice open
  // before. False leaves that one as it was.
  virtual bool open(const std::string& tokenKey) = 0;
  virtual void close() = 0;
  // Queues the text and returns at once; false when the voice refused it.
  virtual bool speak(const std::string& text) = 0;
  virtual PhraseProgress progress() = 0;
  // Silences what is being said and drops what waits.
  virtual void purge() = 0;
  virtual void setRate(int rate) = 0;       // -10 to 10
  virtual void setVolume(int volume) = 0;   // 0 to 100
};

}  // namespace tabiro
