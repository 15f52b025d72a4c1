#include "guidance/music_players.h"

#include <algorithm>
#include <cstdlib>

#include "platform/winmsg.h"

namespace tabiro {

namespace {

std::int32_t readLayer3Track(AppContext& ctx) {
  const WindowHandle info = ctx.desktop.findWindow(nullptr, kTrackInfoTitle);
  if (!info) return 1;
  const WindowHandle field = ctx.desktop.dialogItem(info, kTrackNumberControl);
  const std::string text = field ? ctx.desktop.windowText(field, kTrackNumberChars) : "";
  const long track = std::strtol(text.c_str(), nullptr, 10);
  ctx.desktop.send(info, win::kWmCommand, win::kIdCancel, 0);
  return track > 0 && track <= kLayer3MaxTrack ? static_cast<std::int32_t>(track) : 1;
}

// Jumps Winamp back to the stopped position; clears winampStopped unless
// Winamp refuses.
void jumpWinampBack(AppContext& ctx, WindowHandle winamp) {
  const std::int32_t position = load(ctx.state.winampResumePosition);
  const std::intptr_t answer = ctx.desktop.send(winamp, win::kWmUser,
                                                static_cast<std::uintptr_t>(position),
                                                kWinampJumpTo);
  if (answer != kWinampRefused) store(ctx.state.winampStopped, 0);
}

}  // namespace

void pauseMusic(AppContext& ctx) {
  if (const WindowHandle layer3 = ctx.desktop.findWindow(kLayer3Class, nullptr)) {
    store(ctx.state.musicPlayerSeen, 1);
    ctx.desktop.send(layer3, win::kWmCommand, kLayer3TrackInfo, 0);
    store(ctx.state.l3TrackNumber, readLayer3Track(ctx));
    ctx.desktop.send(layer3, win::kWmCommand, kLayer3Silence, 0);
  }
  if (const WindowHandle winamp = ctx.desktop.findWindow(kWinampClass, nullptr)) {
    store(ctx.state.musicPlayerSeen, 1);
    const std::intptr_t state = ctx.desktop.send(winamp, win::kWmUser, 0, kWinampGetState);
    if (state == kWinampPlaying || state == kWinampPaused) {
      const std::intptr_t position = ctx.desktop.send(winamp, win::kWmUser, 0, kWinampGetPosition);
      store(ctx.state.winampResumePosition, static_cast<std::int32_t>(position));
      ctx.desktop.send(winamp, win::kWmCommand, kWinampStop, 0);
      store(ctx.state.winampStopped, 1);
    } else {
      store(ctx.state.winampStopped, 0);
    }
  }
}

void resumeMusic(AppContext& ctx) {
  if (const WindowHandle layer3 = ctx.desktop.findWindow(kLayer3Class, nullptr)) {
    // The player starts again from its first track: step to the saved one.
    const std::int32_t track = std::min(load(ctx.state.l3TrackNumber), kLayer3MaxTrack);
    for (std::int32_t steps = track - 1; steps > 0; --steps) {
      ctx.desktop.post(layer3, win::kWmCommand, kLayer3NextTrack, 0);
    }
    store(ctx.state.l3TrackNumber, 0);
    ctx.desktop.post(layer3, win::kWmCommand, kLayer3Play, 0);
    store(ctx.state.winampStopped, 0);
  }
  const WindowHandle winamp = ctx.desktop.findWindow(kWinampClass, nullptr);
  if (winamp && load(ctx.state.winampStopped) == 1) {
    ctx.desktop.send(winamp, win::kWmCommand, kWinampPlay, 0);
    if (load(ctx.state.winampResumePosition) != kWinampRefused) jumpWinampBack(ctx, winamp);
  }
}

void musicPlayerCheck(AppContext& ctx) {
  pauseMusic(ctx);
  ctx.clock.sleep(50);
  resumeMusic(ctx);
}

void restartWinampAfterError(AppContext& ctx) {
  const WindowHandle winamp = ctx.desktop.findWindow(kWinampClass, nullptr);
  if (!winamp) return;
  ctx.desktop.post(winamp, win::kWmCommand, kWinampPlay, 0);
  ctx.clock.sleep(10);
  if (load(ctx.state.winampStopped) == 1) jumpWinampBack(ctx, winamp);
}

}  // namespace tabiro
