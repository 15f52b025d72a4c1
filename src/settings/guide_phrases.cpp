#include "settings/guide_phrases.h"

#include "core/toolbar_title.h"
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
  const WindowHandle toolbar = ctx.desktop.findWindow(nullptr, kToolbarTitle);
  if (!toolbar) return;
  ctx.desktop.send(toolbar, win::kWmCommand, IDC_VOICE_PROPERTIES, 0);
}

}  // namespace tabiro
