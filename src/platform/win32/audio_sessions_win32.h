// The audio sessions of the default output device through the system's
// session manager.
#pragma once

#include <atomic>

#include "platform/ports.h"

namespace tabiro {

class Win32AudioSessions : public AudioSessions {
 public:
  std::optional<std::vector<AudioSession>> list() override;
  bool setVolume(std::uint32_t processId, const std::string& id, float volume) override;
  std::uint32_t ownProcessId() override;

 private:
  // Told to the debug output once: without a session list every announcement
  // would repeat it.
  std::atomic<bool> reasonTold_{false};
};

}  // namespace tabiro
