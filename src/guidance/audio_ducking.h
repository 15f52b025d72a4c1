// Lowering every other program's audio session while an announcement is
// made, so that music the toolbar cannot stop (a browser, a streaming app)
// does not drown it. The volumes are kept in a file beside the profile
// while they are lowered: a crash or a power cut mid-announcement is mended
// at the next start.
#pragma once

#include <string>

#include "core/app_context.h"

namespace tabiro {

// "DuckLevel" is a percent of each session's own volume.
constexpr int kDuckLevelMin = 0;
constexpr int kDuckLevelMax = 100;

// Lowers the sessions of the other programs, except the music players that
// pauseMusic stops; one call per announcement, each ended by
// restoreOtherSessions. Overlapping announcements keep the first one's
// remembered volumes.
void lowerOtherSessions(AppContext& ctx);

// The end of one announcement: after the last one under way every lowered
// session gets back the volume it had, and the restore file goes.
void restoreOtherSessions(AppContext& ctx);

// Start-up: what a previous run left lowered gets its volume back.
void restoreSessionsLeftLowered(AppContext& ctx);

// Lowers the other sessions for as long as it lives.
class OtherSessionsLowered {
 public:
  explicit OtherSessionsLowered(AppContext& ctx) : ctx_(ctx) { lowerOtherSessions(ctx_); }
  ~OtherSessionsLowered() { restoreOtherSessions(ctx_); }
  OtherSessionsLowered(const OtherSessionsLowered&) = delete;
  OtherSessionsLowered& operator=(const OtherSessionsLowered&) = delete;

 private:
  AppContext& ctx_;
};

// The restore file beside the profile: "Tabiro2.ini" keeps "Tabiro2.vol".
std::string restoreFilePath(const std::string& profilePath);

}  // namespace tabiro
