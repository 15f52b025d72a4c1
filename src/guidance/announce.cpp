#include "guidance/announce.h"

#include <memory>

#include "guidance/audio_ducking.h"
#include "guidance/music_players.h"
#include "guidance/pictures.h"
#include "platform/stage_marks.h"
#include "speech/toolbar_speech.h"

namespace tabiro {

namespace {

constexpr const char* kChime = "DING";

// "Chaim": 0 speaks or plays the WAV file after the chime, 1 is the chime alone.
constexpr int kChaimVoice = 0;
constexpr int kChaimOnly = 1;

}  // namespace

bool speechChosen(AppContext& ctx) {
  return load(ctx.state.speechReady) == 1 && load(ctx.state.musicPlayerSeen) != 1 &&
         ctx.settings.readInt(key::kAntiTos) == 0;
}

void announce(AppContext& ctx, const std::string& phrase, const AnnouncedPicture& picture,
              const std::string& wavFile) {
  markStage("announce");
  const auto quiet = std::make_shared<OtherSessionsLowered>(ctx);
  markStage("ducked");
  pauseMusic(ctx);
  markStage("chime");
  ctx.sound.playResource(kChime);
  markStage("chimed");
  switch (ctx.settings.readInt(key::kChaim)) {
    case kChaimVoice: {
      const bool speak = speechChosen(ctx);
      // The phrase takes the quiet along, so that the others stay lowered
      // until it has been said (or its WAV file played in its place).
      if (speak) queueForSpeech(ctx, {phrase, {wavFile, false}, quiet});
      markStage("queued");
      showAnnouncedPicture(ctx, picture);
      markStage("picture");
      if (!speak) ctx.sound.playFile(wavFile);
      break;
    }
    case kChaimOnly:
      showAnnouncedPicture(ctx, picture);
      break;
    default:
      break;
  }
  store(ctx.state.musicPlayerSeen, 0);
  resumeMusic(ctx);
}

void showAnnouncedPicture(AppContext& ctx, const AnnouncedPicture& picture) {
  switch (picture.kind) {
    case AnnouncedPicture::Kind::Turn:
      showTurnPicture(ctx, ctx.settings.readInt(key::kWayPoint));
      break;
    case AnnouncedPicture::Kind::Camera:
      showCameraPicture(ctx, picture.cameraText);
      break;
    case AnnouncedPicture::Kind::Notice:
      showCaptionedPicture(ctx, picture.noticePicture, picture.noticeCaption);
      break;
  }
}

}  // namespace tabiro
