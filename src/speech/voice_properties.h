// The voice properties: IDC_VOICE_PROPERTIES (openVoiceProperties) and the
// values of VoicePropertiesDialog (IDD_VOICE_PROPERTIES): voice character,
// speed and volume.
#pragma once

#include <string>
#include <vector>

#include "core/app_context.h"
#include "speech/toolbar_speech.h"

namespace tabiro {

// EngineQuery's answer that asks for IDD_VOICE_PROPERTIES.
constexpr int kEngineWantsOwnDialog = 8;
constexpr int kSpeedMax = 23;             // slider IDC_VOICE_SPEED
constexpr int kVolumeMax = 65535;         // slider IDC_VOICE_VOLUME

// The dialog's members: set before it runs, read after OK.
struct VoiceChoice {
  int character = -1;  // no radio button chosen
  int volume = 0;
  int speed = 0;
};

// The SAPI voice dialog's members: the Japanese voices installed (by their
// names), the one chosen, and the legacy control's stored speed and volume.
struct SapiVoiceChoice {
  std::vector<std::string> names;
  int voice = -1;
  int speed = 0;
  int volume = 0;
};

// What "試聴" says.
inline constexpr const char* kVoiceSample = "この先、右方向です。音声ナビゲーションの声です。";

// Engine's Busy: polled this often, given up on after this long, so that an
// engine stuck busy cannot freeze the toolbar.
constexpr int kBusyPollMs = 10;
constexpr int kBusyLimitMs = 3000;

// IDC_VOICE_PROPERTIES: without a speech engine nothing. With the legacy
// control the stored voice settings go to it, its own dialog runs if it asks
// for it, and what the control then holds is stored back.
// With a SAPI voice its own dialog runs: the voice, speed and volume chosen
// there are stored ("SapiVoice", "Speed", "Volume") and used; "試聴" says a
// sample through the voice shown; Cancel goes back to the voice before.
void openVoiceProperties(AppContext& ctx, ToolbarSpeech& speech);

}  // namespace tabiro
