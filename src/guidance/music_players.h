// Keeping a music player quiet while an announcement is made: Winamp and the
// Windows Layer III Player, driven only through their window messages.
#pragma once

#include <cstdint>

#include "core/app_context.h"

namespace tabiro {

inline constexpr const char* kWinampClass = "Winamp v1.x";
inline constexpr const char* kLayer3Class = "Windows Layer III Player";

// The highest track number taken from the Layer III Player's "Track
// information" window. Anything above is not a track it can hold: the player
// then starts from its first track, and an announcing thread never posts
// more than this many track steps.
constexpr std::int32_t kLayer3MaxTrack = 999;

// Stops a playing player and remembers where it was.
void pauseMusic(AppContext& ctx);

// Starts a player stopped by pauseMusic again where it was.
void resumeMusic(AppContext& ctx);

// Worker: a stop and an immediate restart of a playing Winamp, so that the
// guidance voice is heard again.
void musicPlayerCheck(AppContext& ctx);

// After an audio error box: press Winamp's play and jump back to where
// pauseMusic stopped it.
void restartWinampAfterError(AppContext& ctx);

}  // namespace tabiro
