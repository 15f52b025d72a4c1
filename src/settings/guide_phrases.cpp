#include "settings/guide_phrases.h"

#include "core/toolbar_door.h"
#include "platform/winmsg.h"
#include "resource.h"

namespace tabiro {

void openGuidePhrases(AppContext& ctx) {
  GuidePhrases p;
  ProfileLoader loader{ctx.settings};
  exchangeGuidePhrases(loader, p);
  if (!ctx.popups.runGuidePhrases(p, [&ctx] { askForVoiceProperties(ctx); })) return;
  ProfileSaver saver{ctx.settings};
  exchangeGuidePhrases(saver, p);
}

void askForVoiceProperties(AppContext& ctx) {
  sendToToolbar(ctx, IDC_VOICE_PROPERTIES);
}

}  // namespace tabiro
