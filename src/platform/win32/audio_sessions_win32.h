// The audio sessions of every active output device through the system's
// session manager.
#pragma once

#include <atomic>

#include "platform/ports.h"

namespace tabiro {

class Win32AudioSessions : public AudioSessions {
 public:
  std::optional<std::vector<AudioSession>> list() override;
  std::vector<bool> setVolumes(const std::vector<VolumeChange>& changes) override;
  bool programExists(const std::string& executable) override;
  std::uint32_t ownProcessId() override;

 private:
  // Told to the debug output once: without a session list every announcement
  // would repeat it.
  std::atomic<bool> reasonTold_{false};
};

}  // namespace tabiro
