// IDC_VOICE_PROPERTIES: the stored voice settings to the engine, the engine's own
// dialog when it asks for it, the twelve properties read back, Busy awaited.
#include "speech/voice_properties.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_sapi_voice.h"
#include "fakes/fake_speech.h"
#include "fakes/recording_speech.h"
#include "fakes/test_context.h"
#include "core/toolbar_title.h"
#include "resource.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::ActionKind;
using testing::RecordingSpeech;
using testing::TestContext;

// The twelve properties in their order: Bidaku, Character, Chouon, DateMode,
// Eibun, Exch, Exkigo, Kutou, Novoice, Numr, Speed, Volume.
const std::vector<int> kOrder = {6, 1, 7, 11, 10, 9, 8, 3, 5, 4, 12, 2};

std::vector<std::string> calls(const std::string& verb) {
  std::vector<std::string> out;
  for (int id : kOrder) out.push_back(verb + " " + std::to_string(id));
  return out;
}

class VoiceProperties : public ::testing::Test {
 protected:
  void SetUp() override {
    speech.choose();  // the legacy control, "System" 1
    engine.calls.clear();
  }

  // The calls after applySpeechSettings's twelve sets.
  std::vector<std::string> afterApply() const {
    return {engine.calls.begin() + std::min<std::size_t>(12, engine.calls.size()), engine.calls.end()};
  }

  TestContext t;
  RecordingSpeech engine;
  SpeechControl legacy{engine};
  testing::FakeSapiVoice sapi;
  ToolbarSpeech speech{t.ctx, legacy, sapi};
};

TEST_F(VoiceProperties, WithoutASpeechEngineNothingHappensAndNothingIsWritten) {
  speech.release();
  t.log.clear();
  openVoiceProperties(t.ctx, speech);
  EXPECT_THAT(engine.calls, IsEmpty());
  EXPECT_THAT(t.log.actions(), IsEmpty());
  EXPECT_EQ(t.settings.storedInt(key::kSpeed).value_or(-1), -1);
}

TEST_F(VoiceProperties, OkSetsCharacterSpeedVolumeThenReadsAllTwelveBackThenAwaitsBusy) {
  engine.busyReads = 2;
  VoiceChoice seeded;
  t.popups.onVoiceProperties = [&](VoiceChoice& v) {
    seeded = v;
    v = {4, 30000, 5};
    return true;
  };
  openVoiceProperties(t.ctx, speech);

  EXPECT_EQ(seeded.character, 1);
  EXPECT_EQ(seeded.volume, 65535);
  EXPECT_EQ(seeded.speed, 13);
  ASSERT_GE(engine.calls.size(), 12u);
  EXPECT_EQ(engine.calls[0], "set 6 1") << "applySpeechSettings comes first";
  std::vector<std::string> expected = {"call 21 0", "set 1 4", "set 12 5", "set 2 30000"};
  for (const std::string& get : calls("get")) expected.push_back(get);
  for (int i = 0; i < 3; ++i) expected.push_back("get 14");
  EXPECT_THAT(afterApply(), ElementsAreArray(expected));

  EXPECT_EQ(t.settings.storedInt(key::kCharacter).value_or(-1), 4);
  EXPECT_EQ(t.settings.storedInt(key::kSpeed).value_or(-1), 5);
  EXPECT_EQ(t.settings.storedInt(key::kVolume).value_or(-1), 30000);
  EXPECT_EQ(t.settings.storedInt(key::kNumr).value_or(-1), 1);
  EXPECT_EQ(t.settings.storedInt(key::kKutou).value_or(-1), 0);
  EXPECT_EQ(t.log.totalSleptMs(), 2 * kBusyPollMs);
}

TEST_F(VoiceProperties, CancelLeavesTheEngineButStillStoresWhatItHolds) {
  t.settings.writeInt(key::kSpeed, 20);
  t.popups.onVoiceProperties = [](VoiceChoice& v) {
    v.speed = 3;
    return false;
  };
  openVoiceProperties(t.ctx, speech);
  std::vector<std::string> expected = {"call 21 0"};
  for (const std::string& get : calls("get")) expected.push_back(get);
  expected.push_back("get 14");
  EXPECT_THAT(afterApply(), ElementsAreArray(expected));
  EXPECT_EQ(t.settings.storedInt(key::kSpeed).value_or(-1), 20);
}

TEST_F(VoiceProperties, AStoredSpeedAboveTheSliderComesBackAs23) {
  t.settings.writeInt(key::kSpeed, 30);
  t.settings.writeInt(key::kVolume, 70000);
  t.popups.onVoiceProperties = [](VoiceChoice& v) {
    EXPECT_EQ(v.speed, kSpeedMax) << "shown at the slider's end";
    EXPECT_EQ(v.volume, kVolumeMax);
    return true;  // OK without touching anything
  };
  openVoiceProperties(t.ctx, speech);
  EXPECT_EQ(t.settings.storedInt(key::kSpeed).value_or(-1), 23);
  EXPECT_EQ(t.settings.storedInt(key::kVolume).value_or(-1), 65535);
}

TEST_F(VoiceProperties, AStoredBidakuOfTwoSetsFalseAndReadsBackAsZero) {
  t.settings.writeInt(key::kBidaku, 2);
  openVoiceProperties(t.ctx, speech);
  EXPECT_EQ(engine.calls[0], "set 6 0");
  EXPECT_EQ(t.settings.storedInt(key::kBidaku).value_or(-1), 0);
}

TEST_F(VoiceProperties, AnyOtherEngineAnswerSkipsTheDialogButStillReadsBack) {
  engine.engineQueryAnswer = 0;
  t.popups.onVoiceProperties = [](VoiceChoice&) {
    ADD_FAILURE() << "the dialog must not run";
    return true;
  };
  openVoiceProperties(t.ctx, speech);
  EXPECT_THAT(t.log.of(ActionKind::DialogRun), IsEmpty());
  EXPECT_EQ(t.settings.storedInt(key::kVolume).value_or(-1), 65535);
  EXPECT_EQ(t.settings.storedInt(key::kDateMode).value_or(-1), 0);
}

TEST_F(VoiceProperties, AnEngineStuckBusyIsGivenUpOnAfterTheBound) {
  engine.busyReads = -1;
  openVoiceProperties(t.ctx, speech);
  EXPECT_EQ(t.log.totalSleptMs(), kBusyLimitMs);
  EXPECT_THAT(t.log.of(ActionKind::Sleep).front().value, kBusyPollMs);
}

}  // namespace
}  // namespace tabiro

namespace tabiro {
namespace {

// With a SAPI voice: the Japanese voices by name, the one in use chosen;
// "試聴" speaks the sample through the voice shown; OK keeps and stores
// what was shown, Cancel goes back to the voice before.
TEST(SapiVoiceProperties, TheDialogListsJapaneseVoicesTriesOneAndKeepsItOnlyOnOk) {
  for (const bool ok : {true, false}) {
    TestContext t;
    t.desktop.add("#32770", kToolbarTitle);
    testing::FakeSpeechDispatch none{false};
    SpeechControl legacy{none};
    testing::FakeSapiVoice sapi;
    sapi.voices = {{"JA1", "Haruka", "411"}, {"EN1", "Zira", "409"}, {"JA2", "Ayumi", "411;409"}};
    sapi.speaking = {"JA1", "JA2", "EN1"};
    ToolbarSpeech speech{t.ctx, legacy, sapi};
    speech.choose();
    SapiVoiceChoice shown;
    t.popups.onSapiVoiceProperties = [&](SapiVoiceChoice& v,
                                         const std::function<void(const SapiVoiceChoice&)>& tryVoice) {
      shown = v;
      v.voice = 1;
      v.speed = kSpeedMax;
      tryVoice(v);
      return ok;
    };
    sapi.calls.clear();
    openVoiceProperties(t.ctx, speech);
    EXPECT_THAT(shown.names, ElementsAre("Haruka", "Ayumi"));
    EXPECT_EQ(shown.voice, 0);
    EXPECT_EQ(shown.speed, 13);
    ASSERT_GE(sapi.calls.size(), 3u);
    EXPECT_THAT(std::vector<std::string>(sapi.calls.begin(), sapi.calls.begin() + 3),
                ElementsAre("open JA2", "rate 10", "volume 100"))
        << "試聴 with the voice and speed shown";
    EXPECT_EQ(t.state.speechText.pop().value().text, kVoiceSample);
    EXPECT_EQ(sapi.opened, ok ? "JA2" : "JA1") << ok;
    EXPECT_EQ(t.settings.storedString(key::kSapiVoice).value_or("-"), ok ? "JA2" : "-") << ok;
    EXPECT_EQ(t.settings.storedInt(key::kSpeed).value_or(-1), ok ? kSpeedMax : -1) << ok;
  }
}

}  // namespace
}  // namespace tabiro
