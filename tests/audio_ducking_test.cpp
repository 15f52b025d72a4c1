// Other programs' audio sessions lowered around each announcement and put
// back exactly, also after a crash.
#include "guidance/audio_ducking.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/timer_ids.h"
#include "core/toolbar_title.h"
#include "fakes/fake_sapi_voice.h"
#include "fakes/fake_speech.h"
#include "fakes/test_context.h"
#include "guidance/announce.h"
#include "guidance/guidance_control.h"
#include "guidance/music_players.h"
#include "platform/winmsg.h"
#include "speech/toolbar_speech.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ActionKind;
using testing::FakeAudioSessions;
using testing::SessionVolume;
using testing::SoundFile;
using testing::SoundResource;
using testing::TestContext;

constexpr std::uint32_t kBrowser = 31;
constexpr std::uint32_t kPlayer = 32;

AudioSession session(std::uint32_t process, std::string id, float volume) {
  AudioSession s;
  s.processId = process;
  s.id = std::move(id);
  s.volume = volume;
  return s;
}

std::optional<std::string> fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string restoreFile(const TestContext& t) { return restoreFilePath(t.settings.path()); }

TEST(AudioDucking, WhichSessionsAreLoweredAndHowFar) {
  struct Case {
    const char* what;
    AudioSession session;
    std::optional<int> duck, level;  // nullopt: not in the profile
    const char* playerClass;         // a player window owned by kPlayer, or none
    float during;
  };
  AudioSession muted = session(kBrowser, "b", 0.8f);
  muted.muted = true;
  AudioSession expired = session(kBrowser, "b", 0.8f);
  expired.expired = true;
  const Case cases[] = {
      {"by default to a fifth", session(kBrowser, "b", 0.8f), {}, {}, nullptr, 0.16f},
      {"to DuckLevel percent", session(kBrowser, "b", 0.8f), 1, 50, nullptr, 0.4f},
      {"to silence", session(kBrowser, "b", 0.8f), 1, 0, nullptr, 0.0f},
      {"no higher than its own", session(kBrowser, "b", 0.8f), 1, 150, nullptr, 0.8f},
      {"no lower than silence", session(kBrowser, "b", 0.8f), 1, -5, nullptr, 0.0f},
      {"not with Duck 0", session(kBrowser, "b", 0.8f), 0, 20, nullptr, 0.8f},
      {"not our own", session(FakeAudioSessions::kOwnProcess, "b", 0.8f), {}, {}, nullptr, 0.8f},
      {"not Winamp", session(kPlayer, "b", 0.8f), {}, {}, kWinampClass, 0.8f},
      {"not the Layer III Player", session(kPlayer, "b", 0.8f), {}, {}, kLayer3Class, 0.8f},
      {"another beside Winamp", session(kBrowser, "b", 0.8f), {}, {}, kWinampClass, 0.16f},
      {"not a muted one", muted, {}, {}, nullptr, 0.8f},
      {"not an expired one", expired, {}, {}, nullptr, 0.8f},
      {"not a silent one", session(kBrowser, "b", 0.0f), {}, {}, nullptr, 0.0f},
      {"not one the file cannot hold", session(kBrowser, "b\nc", 0.8f), {}, {}, nullptr, 0.8f},
  };
  for (const Case& c : cases) {
    TestContext t;
    if (c.duck) t.settings.writeInt(key::kDuck, *c.duck);
    if (c.level) t.settings.writeInt(key::kDuckLevel, *c.level);
    if (c.playerClass) t.desktop.setProcessId(t.desktop.add(c.playerClass), kPlayer);
    t.audio.add(c.session);
    lowerOtherSessions(t.ctx);
    EXPECT_FLOAT_EQ(*t.audio.volume(c.session.processId, c.session.id), c.during) << c.what;
    restoreOtherSessions(t.ctx);
    EXPECT_EQ(*t.audio.volume(c.session.processId, c.session.id), c.session.volume) << c.what;
    const bool untouched = c.during == c.session.volume;
    EXPECT_EQ(t.log.of(ActionKind::SessionVolume).empty(), untouched) << c.what;
  }
}

TEST(AudioDucking, OverlappingAndFollowingAnnouncementsPutBackTheSessionsOwnVolumes) {
  enum class Op { Lower, Restore, AppearB, VanishA };
  struct Step {
    Op op;
    std::map<std::string, float> volumes;  // after the step; a missing id is gone
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
  };
  using V = std::map<std::string, float>;
  const Case cases[] = {
      {"one after the other",
       {{Op::Lower, V{{"a", 0.16f}}}, {Op::Restore, V{{"a", 0.8f}}},
        {Op::Lower, V{{"a", 0.16f}}}, {Op::Restore, V{{"a", 0.8f}}}}},
      {"one inside the other",
       {{Op::Lower, V{{"a", 0.16f}}}, {Op::Lower, V{{"a", 0.16f}}},
        {Op::Restore, V{{"a", 0.16f}}}, {Op::Restore, V{{"a", 0.8f}}}}},
      {"a session that appears meanwhile is left as it is",
       {{Op::Lower, V{{"a", 0.16f}}}, {Op::AppearB, V{{"a", 0.16f}, {"b", 0.5f}}},
        {Op::Restore, V{{"a", 0.8f}, {"b", 0.5f}}}}},
      {"or lowered by the next announcement, and put back after the last",
       {{Op::Lower, V{{"a", 0.16f}}}, {Op::AppearB, V{{"a", 0.16f}, {"b", 0.5f}}},
        {Op::Lower, V{{"a", 0.16f}, {"b", 0.1f}}}, {Op::Restore, V{{"a", 0.16f}, {"b", 0.1f}}},
        {Op::Restore, V{{"a", 0.8f}, {"b", 0.5f}}}}},
      {"a session that vanishes meanwhile is not missed",
       {{Op::AppearB, V{{"a", 0.8f}, {"b", 0.5f}}}, {Op::Lower, V{{"a", 0.16f}, {"b", 0.1f}}},
        {Op::VanishA, V{{"b", 0.1f}}}, {Op::Restore, V{{"b", 0.5f}}}}},
      {"an end without a start lowers nothing and restores nothing",
       {{Op::Restore, V{{"a", 0.8f}}}, {Op::Lower, V{{"a", 0.16f}}},
        {Op::Restore, V{{"a", 0.8f}}}}},
  };
  for (const Case& c : cases) {
    TestContext t;
    t.audio.add(session(kBrowser, "a", 0.8f));
    int stepNumber = 0;
    for (const Step& step : c.steps) {
      ++stepNumber;
      switch (step.op) {
        case Op::Lower: lowerOtherSessions(t.ctx); break;
        case Op::Restore: restoreOtherSessions(t.ctx); break;
        case Op::AppearB: t.audio.add(session(kBrowser + 1, "b", 0.5f)); break;
        case Op::VanishA: t.audio.remove(kBrowser, "a"); break;
      }
      for (const auto& [id, volume] : step.volumes) {
        const std::uint32_t process = id == "a" ? kBrowser : kBrowser + 1;
        ASSERT_TRUE(t.audio.volume(process, id)) << c.what << ", step " << stepNumber;
        EXPECT_FLOAT_EQ(*t.audio.volume(process, id), volume) << c.what << ", step " << stepNumber;
      }
      if (step.volumes.count("a") == 0) {
        EXPECT_FALSE(t.audio.volume(kBrowser, "a")) << c.what;
      }
    }
    EXPECT_FALSE(std::filesystem::exists(restoreFile(t))) << c.what;
  }
}

TEST(AudioDucking, TheVolumesAreInTheRestoreFileBeforeAnythingIsLowered) {
  TestContext t;
  t.audio.add(session(kBrowser, "{0.0.0}.{guid}|C:\\音楽\\player.exe%b{1}|1%b31", 0.8f));
  t.audio.add(session(kBrowser + 1, "b", 1.0f));
  std::vector<std::optional<std::string>> seen;
  t.audio.beforeSet([&] { seen.push_back(fileText(restoreFile(t))); });
  lowerOtherSessions(t.ctx);
  const std::string held = "31\t0.8\t{0.0.0}.{guid}|C:\\音楽\\player.exe%b{1}|1%b31\n32\t1\tb\n";
  EXPECT_THAT(seen, ElementsAre(held, held));
  restoreOtherSessions(t.ctx);
  EXPECT_FALSE(std::filesystem::exists(restoreFile(t)));

  // Where the file cannot be written, nothing is lowered: a crash could not be mended.
  TestContext locked;
  locked.audio.add(session(kBrowser, "a", 0.8f));
  std::filesystem::create_directory(restoreFile(locked));
  lowerOtherSessions(locked.ctx);
  restoreOtherSessions(locked.ctx);
  EXPECT_THAT(locked.log.of(ActionKind::SessionVolume), IsEmpty());

  // Without a session list (Wine, no output device) nothing is lowered or written.
  TestContext bare;
  bare.audio.add(session(kBrowser, "a", 0.8f));
  bare.audio.setUnavailable();
  lowerOtherSessions(bare.ctx);
  EXPECT_FALSE(std::filesystem::exists(restoreFile(bare)));
  restoreOtherSessions(bare.ctx);
  EXPECT_THAT(bare.log.of(ActionKind::SessionVolume), IsEmpty());
}

TEST(AudioDucking, StartUpPutsBackWhatARunLeftLowered) {
  struct Case {
    const char* what;
    std::optional<std::string> file;  // nullopt: none
    std::vector<testing::Action> sets;
  };
  const Case cases[] = {
      {"every line", "31\t0.8\ta\n32\t0.25\tb\n",
       {SessionVolume(31, "a", 0.8f), SessionVolume(32, "b", 0.25f)}},
      {"a session gone meanwhile is tried and the file still goes", "99\t0.8\tgone\n",
       {SessionVolume(99, "gone", 0.8f)}},
      {"broken lines skipped, CR LF read",
       "x\t0.5\ta\n31\t1.5\ta\n31\t0.5\t\n31\t-1\ta\n31\ta\n31\t0.5\ta\r\n",
       {SessionVolume(31, "a", 0.5f)}},
      {"no file, nothing", std::nullopt, {}},
  };
  for (const Case& c : cases) {
    TestContext t;
    t.audio.add(session(31, "a", 0.16f));
    t.audio.add(session(32, "b", 0.05f));
    if (c.file) std::ofstream(restoreFile(t), std::ios::binary) << *c.file;
    restoreSessionsLeftLowered(t.ctx);
    EXPECT_EQ(t.log.of(ActionKind::SessionVolume), c.sets) << c.what;
    EXPECT_FALSE(std::filesystem::exists(restoreFile(t))) << c.what;
  }

  // A crash mid-announcement: the next run starts with nothing in memory.
  TestContext t;
  t.audio.add(session(kBrowser, "a", 0.7f));
  lowerOtherSessions(t.ctx);
  t.state.lowered.announcements = 0;
  t.state.lowered.sessions.clear();
  restoreSessionsLeftLowered(t.ctx);
  EXPECT_EQ(*t.audio.volume(kBrowser, "a"), 0.7f);
}

TEST(AudioDucking, EveryAnnouncementLowersFromTheChimeUntilThePlayersPlayAgain) {
  struct Case {
    const char* what;
    std::function<void(TestContext&)> announce;
    std::vector<testing::Action> heard;  // between the chime and the restore
    bool spoken = false;  // with speech and no player; else Winamp plays and the WAV is heard
  };
  const auto turn = [](TestContext& t) {
    announce(t.ctx, "まもなく右方向です。", AnnouncedPicture::turn(), "migi.wav");
  };
  const auto end = [](TestContext& t) { guidanceStopped(t.ctx); };
  const Case cases[] = {
      {"a turn",
       [](TestContext& t) {
         announce(t.ctx, "まもなく右方向です。", AnnouncedPicture::turn(), "migi.wav");
       },
       {SoundFile("migi.wav")}},
      {"the end of guidance", end, {SoundResource("END")}},
      {"a spoken turn", turn, {}, true},
      {"the spoken end of guidance", end, {}, true},
  };
  for (const Case& c : cases) {
    TestContext t;
    testing::FakeSpeechDispatch dispatch;
    dispatch.busyReadsAfterSpeak = 2;
    SpeechControl legacy{dispatch};
    testing::FakeSapiVoice sapi;
    ToolbarSpeech speech{t.ctx, legacy, sapi};
    WindowHandle winamp = kNoWindow;
    if (c.spoken) {
      speech.choose();
      t.desktop.add("#32770", kToolbarTitle);
    } else {
      winamp = t.desktop.add(kWinampClass, "Winamp");
      t.desktop.setProcessId(winamp, kPlayer);
      t.desktop.answer(winamp, win::kWmUser, 0, [](std::uintptr_t, std::intptr_t request) {
        return request == 104 ? std::intptr_t{1} : std::intptr_t{0};  // playing
      });
      t.audio.add(session(kPlayer, "winamp", 1.0f));
    }
    t.audio.add(session(kBrowser, "browser", 0.8f));
    c.announce(t);
    if (c.spoken) {
      // The phrase is said on the toolbar's thread after the announcer has
      // returned; the others stay low until the engine has finished it.
      EXPECT_FLOAT_EQ(*t.audio.volume(kBrowser, "browser"), 0.16f) << "before command 1044";
      speech.speakNext();
      speech.watch();
      EXPECT_FLOAT_EQ(*t.audio.volume(kBrowser, "browser"), 0.16f) << "while said";
      while (t.timers.isRunning(timer::kSpeechWatch)) speech.watch();
    }
    std::vector<testing::Action> expected = {SessionVolume(kBrowser, "browser", 0.16f),
                                             SoundResource("DING")};
    expected.insert(expected.end(), c.heard.begin(), c.heard.end());
    expected.push_back(SessionVolume(kBrowser, "browser", 0.8f));
    const auto heard = c.spoken ? t.log.of({ActionKind::SessionVolume, ActionKind::Sound,
                                            ActionKind::SoundFile, ActionKind::Sleep})
                                : t.log.of({ActionKind::SessionVolume, ActionKind::Sound,
                                            ActionKind::SoundFile});
    EXPECT_THAT(heard, ::testing::ElementsAreArray(expected)) << c.what;
    if (c.spoken) {
      EXPECT_EQ(dispatch.spoken.size(), 1U) << c.what;
      continue;
    }
    // Winamp is still stopped and started again, before the others come back.
    const auto actions = t.log.actions();
    const auto at = [&](const testing::Action& a) {
      return std::find(actions.begin(), actions.end(), a) - actions.begin();
    };
    EXPECT_LT(at(testing::SentCommand(winamp, 40047)), at(SoundResource("DING"))) << c.what;
    EXPECT_LT(at(testing::SentCommand(winamp, 40045)),
              at(SessionVolume(kBrowser, "browser", 0.8f)))
        << c.what;
  }
}

}  // namespace
}  // namespace tabiro
