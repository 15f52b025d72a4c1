// The engine as a worker of the running program: its output announces.
#include <cstdint>

#include "core/toolbar_door.h"
#include "guidance/guidance_engine.h"
#include "mapctl/map_window.h"
#include "platform/winmsg.h"
#include "resource.h"

namespace tabiro {

namespace {

// A waypoint's map commands are posted behind the phrase's IDC_SPEAK: sent,
// they would run first (a window handles sent messages before posted ones),
// and a scale walk of several seconds would hold the phrase back past the
// turn. They come after the picture as well, which stands by the time the
// announcement returns (postToToolbar).

class AnnouncingOutput final : public GuidanceOutput {
 public:
  explicit AnnouncingOutput(AppContext& ctx) : ctx_(ctx) {}

  void announce(const std::string& speechText, const AnnouncedPicture& picture,
                const std::string& wavFile) override {
    tabiro::announce(ctx_, speechText, picture, wavFile);
  }
  void showPicture(const AnnouncedPicture& picture) override {
    showAnnouncedPicture(ctx_, picture);
  }
  void toolbarCommand(int id) override { postToToolbar(ctx_, id); }
  void showCurrentWaypoint() override { showWaypointOnToolbar(ctx_); }
  void cancelRaiseTimers() override { tabiro::cancelRaiseTimers(ctx_); }
  void rearmRaiseTimer() override { tabiro::rearmRaiseTimer(ctx_); }

 private:
  AppContext& ctx_;
};

}  // namespace

void guidanceEngine(AppContext& ctx) {
  AnnouncingOutput out(ctx);
  runGuidancePasses(ctx.settings, ctx.state, out);
  sendToToolbar(ctx, IDC_GUIDANCE_ENDED);
}

void startGuidanceEngine(AppContext& ctx) {
  ctx.workers.start("guidanceEngine", [&ctx] { guidanceEngine(ctx); });
}

}  // namespace tabiro
