// Lowering every other program's audio session while an announcement is
// made, so that music the toolbar cannot stop (a browser, a streaming app)
// does not drown it. The volumes are kept in a file beside the profile
// while they are lowered: Windows remembers each program's level, so a crash
// or a power cut mid-announcement is mended at the next start, or when the
// program next plays. A level the user sets meanwhile is never undone.
#pragma once

#include <string>

#include "core/app_context.h"

namespace tabiro {

// "DuckLevel" is a percent of each session's own volume.
constexpr int kDuckLevelMin = 0;
constexpr int kDuckLevelMax = 100;

// Lowers the sessions of the other programs on every output device, except
// the music players that pauseMusic stops and Windows' own sounds; one call
// per announcement, each ended by
// restoreOtherSessions. Overlapping announcements keep the first one's
// remembered volumes.
void lowerOtherSessions(AppContext& ctx);

// The end of one announcement: after the last one under way every lowered
// session still at the level it was given gets back the volume it had; the
// restore file keeps only what could not be put back.
void restoreOtherSessions(AppContext& ctx);

// Start-up: what a previous run left lowered gets its volume back; what
// cannot be matched yet is kept for a few start-ups while its program is
// installed.
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
