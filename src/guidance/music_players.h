// Keeping a music player quiet while an announcement is made: Winamp and the
// Windows Layer III Player, driven only through their window messages.
#pragma once

#include <cstdint>

#include "core/app_context.h"

namespace tabiro {

inline constexpr const char* kWinampClass = "Winamp v1.x";
inline constexpr const char* kLayer3Class = "Windows Layer III Player";

// Winamp's own commands and WM_USER requests (in lParam).
constexpr unsigned kWinampPlay = 40045;
constexpr unsigned kWinampStop = 40047;
constexpr std::intptr_t kWinampGetState = 104;
constexpr std::intptr_t kWinampGetPosition = 105;
constexpr std::intptr_t kWinampJumpTo = 106;
constexpr std::intptr_t kWinampPlaying = 1;
constexpr std::intptr_t kWinampPaused = 3;
constexpr std::intptr_t kWinampRefused = -1;

// The Layer III Player's commands.
constexpr unsigned kLayer3TrackInfo = 40016;
constexpr unsigned kLayer3Silence = 40011;
constexpr unsigned kLayer3NextTrack = 40014;
constexpr unsigned kLayer3Play = 40010;
inline constexpr const char* kTrackInfoTitle = "Track information";
constexpr int kTrackNumberControl = 1034;
constexpr int kTrackNumberChars = 40;  // at most 39 characters

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
