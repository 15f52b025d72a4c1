#include "guidance/signal_announcement.h"

#include <string>
#include <utility>

#include "guidance/announce.h"

namespace tabiro {

namespace {

// Pictures and WAV files of the two announcements, beside the exe.
constexpr const char* kLostPicture = "GPS途絶.bmp";
constexpr const char* kBackPicture = "GPS復帰.bmp";
constexpr const char* kLostWav = "GPS途絶.wav";
constexpr const char* kBackWav = "GPS復帰.wav";

}  // namespace

void announceSignalChange(AppContext& ctx, bool lost) {
  std::string phrase = lost ? ctx.settings.readString(key::kGpsLost)
                            : ctx.settings.readString(key::kGpsBack);
  const char* picture = lost ? kLostPicture : kBackPicture;
  const char* wav = lost ? kLostWav : kBackWav;
  ctx.workers.start("signalAnnouncer", [&ctx, phrase = std::move(phrase), picture, wav] {
    announce(ctx, phrase, AnnouncedPicture::notice(picture, phrase), wav);
  });
}

}  // namespace tabiro
