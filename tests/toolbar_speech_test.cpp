// The toolbar's speech: which engine start-up chooses, and what is heard of
// each queued phrase however the voice behaves.
#include "speech/toolbar_speech.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/timer_ids.h"
#include "core/toolbar_title.h"
#include "fakes/fake_sapi_voice.h"
#include "fakes/fake_speech.h"
#include "fakes/test_context.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::ActionKind;
using testing::SoundFile;
using testing::SoundResource;
using testing::TestContext;

const SapiVoiceToken kHaruka{"TTS_MS_JA-JP_HARUKA_11.0", "Microsoft Haruka Desktop", "411"};
const SapiVoiceToken kAyumi{"TTS_MS_JA-JP_AYUMI_11.0", "Microsoft Ayumi", "409;411"};
const SapiVoiceToken kZira{"TTS_MS_EN-US_ZIRA_11.0", "Microsoft Zira Desktop", "409"};
const SapiVoiceToken kChinese{"TTS_MS_ZH-CN_HUIHUI_11.0", "Microsoft Huihui", "804;4110"};

TEST(ToolbarSpeech, StartUpChoosesTheLegacyControlThenAJapaneseVoiceThatSpeaksThenNone) {
  struct Case {
    const char* what;
    bool legacy;
    std::vector<SapiVoiceToken> voices;
    std::vector<std::string> speaking;  // voices that prove they can speak
    std::string stored;                 // "SapiVoice"
    SpeechEngine engine;
    std::string opened;
  };
  const Case cases[] = {
      {"the legacy control first", true, {kHaruka}, {kHaruka.key}, "", SpeechEngine::Legacy, ""},
      {"the Japanese voice, not the English one", false, {kZira, kHaruka}, {kZira.key, kHaruka.key}, "",
       SpeechEngine::Sapi, kHaruka.key},
      {"Japanese among several languages", false, {kAyumi}, {kAyumi.key}, "", SpeechEngine::Sapi, kAyumi.key},
      {"the stored voice before the first", false, {kHaruka, kAyumi}, {kHaruka.key, kAyumi.key}, kAyumi.key,
       SpeechEngine::Sapi, kAyumi.key},
      {"the next when one cannot speak", false, {kHaruka, kAyumi}, {kAyumi.key}, "", SpeechEngine::Sapi,
       kAyumi.key},
      {"only other languages: none", false, {kZira, kChinese}, {kZira.key, kChinese.key}, "",
       SpeechEngine::None, ""},
      {"a voice that cannot speak: none", false, {kHaruka}, {}, "", SpeechEngine::None, ""},
  };
  for (const Case& c : cases) {
    TestContext t;
    testing::FakeSpeechDispatch dispatch{c.legacy};
    SpeechControl legacy{dispatch};
    testing::FakeSapiVoice sapi;
    sapi.voices = c.voices;
    sapi.speaking = {c.speaking.begin(), c.speaking.end()};
    if (!c.stored.empty()) t.settings.writeString(key::kSapiVoice, c.stored);
    ToolbarSpeech speech{t.ctx, legacy, sapi};
    speech.choose();
    EXPECT_EQ(speech.engine(), c.engine) << c.what;
    EXPECT_EQ(sapi.opened, c.opened) << c.what;
    const int ready = c.engine == SpeechEngine::None ? 0 : 1;
    EXPECT_EQ(load(t.state.speechReady), ready) << c.what;
    EXPECT_EQ(t.settings.storedInt(key::kSystem).value_or(-1), ready) << c.what;
    for (const std::string& call : sapi.calls)
      EXPECT_TRUE(call.find("ZIRA") == std::string::npos && call.find("HUIHUI") == std::string::npos)
          << c.what << ": " << call;
  }
}

// A voice that speaks whatever it is given, as the case says.
struct Spoken {
  TestContext t;
  testing::FakeSpeechDispatch none{false};
  SpeechControl legacy{none};
  testing::FakeSapiVoice sapi;
  ToolbarSpeech speech{t.ctx, legacy, sapi};
  WindowHandle toolbar = t.desktop.add("#32770", kToolbarTitle);

  Spoken() {
    sapi.voices = {kHaruka};
    sapi.speaking = {kHaruka.key};
    speech.choose();
    sapi.calls.clear();
  }
  // Queues the phrases as announcers do and lets the toolbar work through
  // its commands and timer until nothing is left to say or play.
  void say(const std::vector<QueuedPhrase>& phrases) {
    for (const QueuedPhrase& p : phrases) queueForSpeech(t.ctx, p);
    for (int round = 0; round < 1000; ++round) {
      speech.speakNext();
      if (t.timers.isRunning(timer::kSpeechWatch)) {
        t.clock.advance(kSpeechWatchMs);
        speech.watch();
      }
      t.workers.runPending();
    }
  }
};

TEST(ToolbarSpeech, APhraseNotSaidIsHeardAsItsSoundAndThreeFailuresSetTheVoiceAside) {
  struct Case {
    const char* what;
    int pollsSpeaking;
    bool refuse;
    bool failLater;
    int phrases;
    std::vector<testing::Action> heard;
    int speaks;  // phrases handed to the voice
    int ready;
  };
  const testing::Action wav = SoundFile("右方向.wav");
  const Case cases[] = {
      {"said", 3, false, false, 3, {}, 3, 1},
      {"refused by Speak", 0, true, false, 1, {wav}, 1, 1},
      {"failed after it was queued", 2, false, true, 1, {wav}, 1, 1},
      {"speaking past the limit", -1, false, false, 1, {wav}, 1, 1},
      {"three failures in a row", 0, true, false, 5, {wav, wav, wav, wav, wav}, 3, 0},
  };
  for (const Case& c : cases) {
    Spoken s;
    s.sapi.pollsSpeaking = c.pollsSpeaking;
    s.sapi.refuse = c.refuse;
    s.sapi.failLater = c.failLater;
    s.say(std::vector<QueuedPhrase>(c.phrases, QueuedPhrase{"まもなく右方向です。", {"右方向.wav", false}, {}}));
    EXPECT_THAT(s.t.log.of({ActionKind::Sound, ActionKind::SoundFile}), ElementsAreArray(c.heard)) << c.what;
    EXPECT_EQ(std::count_if(s.sapi.calls.begin(), s.sapi.calls.end(),
                            [](const std::string& call) { return call.rfind("speak ", 0) == 0; }),
              c.speaks)
        << c.what;
    EXPECT_EQ(load(s.t.state.speechReady), c.ready) << c.what;
  }
}

// The toolbar answers while a phrase is said: the next waits in the queue
// until the first has ended, and a sound played in a phrase's place comes
// before the phrase after it.
TEST(ToolbarSpeech, PhrasesAreSaidOneAfterAnotherInTheOrderQueued) {
  Spoken s;
  s.sapi.pollsSpeaking = 2;
  queueForSpeech(s.t.ctx, {"一", {}, {}});
  queueForSpeech(s.t.ctx, {"二", {}, {}});
  s.speech.speakNext();
  s.speech.speakNext();
  EXPECT_THAT(s.sapi.calls, ElementsAre("speak 一")) << "the second waits";
  s.sapi.refuse = true;
  s.say({{"三", {"END", true}, {}}});
  s.sapi.refuse = false;
  s.say({{"四", {}, {}}});
  EXPECT_THAT(s.sapi.calls, ElementsAre("speak 一", "speak 二", "speak 三", "speak 四"));
  EXPECT_THAT(s.t.log.of(ActionKind::Sound), ElementsAre(SoundResource("END")));
}

TEST(ToolbarSpeech, StoredSpeedAndVolumeMapToSapiRateAndVolume) {
  const std::pair<int, int> speeds[] = {{13, 0}, {0, -10}, {23, 10}, {18, 5}, {30, 10}, {-4, -10}};
  for (const auto& [stored, rate] : speeds) EXPECT_EQ(sapiRate(stored), rate) << stored;
  const std::pair<int, int> volumes[] = {{65535, 100}, {0, 0}, {32768, 50}, {70000, 100}};
  for (const auto& [stored, volume] : volumes) EXPECT_EQ(sapiVolume(stored), volume) << stored;
}

}  // namespace
}  // namespace tabiro
