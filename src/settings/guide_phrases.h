// GuidePhraseDialog's values (IDD_GUIDE_PHRASES, button "設定" of the guidance
// settings): the six phrases the speech engine says during guidance.
#pragma once

#include <string>

#include "core/app_context.h"
#include "settings/profile_exchange.h"

namespace tabiro {

struct GuidePhrases {
  std::string ovis1;   // IDC_PHRASE_OVIS1: first half of the speed-camera warning
  std::string ovis2;   // IDC_PHRASE_OVIS2: second half
  std::string choku;   // IDC_PHRASE_CHOKU: straight on
  std::string moku;    // IDC_PHRASE_MOKU: destination
  std::string migi;    // IDC_PHRASE_MIGI: right
  std::string hidari;  // IDC_PHRASE_HIDARI: left
};

// The six phrases in the dialog's order, for ProfileLoader and ProfileSaver.
template <class Io, class Values>
void exchangeGuidePhrases(Io& io, Values& p) {
  io.text(key::kOvis1, p.ovis1);
  io.text(key::kOvis2, p.ovis2);
  io.text(key::kChoku, p.choku);
  io.text(key::kMoku, p.moku);
  io.text(key::kMigi, p.migi);
  io.text(key::kHidari, p.hidari);
}

// IDC_NAVI_PHRASES of the guidance settings: the phrases, stored exactly as typed
// on "設定保存", nothing on cancel.
void openGuidePhrases(AppContext& ctx);

// Button "音声ｼｽﾃﾑﾌﾟﾛﾊﾟﾃｨ": IDC_VOICE_PROPERTIES sent to the toolbar, which shows the
// voice properties; returns once the toolbar has handled it.
void askForVoiceProperties(AppContext& ctx);

}  // namespace tabiro
