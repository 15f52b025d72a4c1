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

// A program's session as Windows names it: the session identifier holds the
// device and the program, the instance identifier also the process.
AudioSession session(const std::string& program, float volume, std::uint32_t process = kBrowser,
                     int device = 0) {
  AudioSession s;
  s.processId = process;
  s.sessionId = "{0.0.0.0000000" + std::to_string(device) + "}.{guid}|\\Device\\" + program +
                ".exe%b{00000000-0000-0000-0000-000000000000}";
  s.instanceId = s.sessionId + "|" + std::to_string(process);
  s.executable = "C:\\Programs\\" + program + ".exe";
  s.volume = volume;
  return s;
}

// A line of the restore file for the session.
std::string restoreLine(const AudioSession& s, const char* volume, const char* lowered,
                        int unmatchedStarts = 0) {
  return std::string(volume) + "\t" + lowered + "\t" + std::to_string(unmatchedStarts) + "\t" +
         s.executable + "\t" + s.sessionId + "\n";
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
  AudioSession muted = session("b", 0.8f);
  muted.muted = true;
  AudioSession expired = session("b", 0.8f);
  expired.expired = true;
  AudioSession systemSounds = session("b", 0.8f, 0);
  systemSounds.systemSounds = true;
  AudioSession brokenId = session("b", 0.8f);
  brokenId.sessionId += "\nc";
  AudioSession brokenPath = session("b", 0.8f);
  brokenPath.executable += "\tc";
  const Case cases[] = {
      {"by default to a fifth", session("b", 0.8f), {}, {}, nullptr, 0.16f},
      {"to DuckLevel percent", session("b", 0.8f), 1, 50, nullptr, 0.4f},
      {"to silence", session("b", 0.8f), 1, 0, nullptr, 0.0f},
      {"on another device", session("b", 0.8f, kBrowser, 1), {}, {}, nullptr, 0.16f},
      {"no higher than its own", session("b", 0.8f), 1, 150, nullptr, 0.8f},
      {"no lower than silence", session("b", 0.8f), 1, -5, nullptr, 0.0f},
      {"not with Duck 0", session("b", 0.8f), 0, 20, nullptr, 0.8f},
      {"not our own", session("b", 0.8f, FakeAudioSessions::kOwnProcess), {}, {}, nullptr, 0.8f},
      {"not Winamp", session("b", 0.8f, kPlayer), {}, {}, kWinampClass, 0.8f},
      {"not the Layer III Player", session("b", 0.8f, kPlayer), {}, {}, kLayer3Class, 0.8f},
      {"another beside Winamp", session("b", 0.8f), {}, {}, kWinampClass, 0.16f},
      {"not Windows' own sounds", systemSounds, {}, {}, nullptr, 0.8f},
      {"not a muted one", muted, {}, {}, nullptr, 0.8f},
      {"not an expired one", expired, {}, {}, nullptr, 0.8f},
      {"not a silent one", session("b", 0.0f), {}, {}, nullptr, 0.0f},
      {"not one whose identifier the file cannot hold", brokenId, {}, {}, nullptr, 0.8f},
      {"not one whose program the file cannot hold", brokenPath, {}, {}, nullptr, 0.8f},
  };
  for (const Case& c : cases) {
    TestContext t;
    if (c.duck) t.settings.writeInt(key::kDuck, *c.duck);
    if (c.level) t.settings.writeInt(key::kDuckLevel, *c.level);
    if (c.playerClass) t.desktop.setProcessId(t.desktop.add(c.playerClass), kPlayer);
    t.audio.add(c.session);
    lowerOtherSessions(t.ctx);
    EXPECT_FLOAT_EQ(*t.audio.volume(c.session.instanceId), c.during) << c.what;
    restoreOtherSessions(t.ctx);
    EXPECT_EQ(*t.audio.volume(c.session.instanceId), c.session.volume) << c.what;
    const bool untouched = c.during == c.session.volume;
    EXPECT_EQ(t.log.of(ActionKind::SessionVolume).empty(), untouched) << c.what;
  }
}

TEST(AudioDucking, OverlappingAndFollowingAnnouncementsPutBackTheSessionsOwnVolumes) {
  enum class Op { Lower, Restore, AppearB, VanishA };
  struct Step {
    Op op;
    std::map<std::string, float> volumes;  // after the step; a missing one is gone
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
  const std::map<std::string, AudioSession> sessions = {{"a", session("a", 0.8f)},
                                                        {"b", session("b", 0.5f, kBrowser + 1)}};
  for (const Case& c : cases) {
    TestContext t;
    t.audio.add(sessions.at("a"));
    int stepNumber = 0;
    for (const Step& step : c.steps) {
      ++stepNumber;
      switch (step.op) {
        case Op::Lower: lowerOtherSessions(t.ctx); break;
        case Op::Restore: restoreOtherSessions(t.ctx); break;
        case Op::AppearB: t.audio.add(sessions.at("b")); break;
        case Op::VanishA: t.audio.remove(sessions.at("a").instanceId); break;
      }
      for (const auto& [name, s] : sessions) {
        const std::optional<float> now = t.audio.volume(s.instanceId);
        const auto expected = step.volumes.find(name);
        ASSERT_EQ(now.has_value(), expected != step.volumes.end())
            << c.what << ", step " << stepNumber << ", " << name;
        if (now) EXPECT_FLOAT_EQ(*now, expected->second) << c.what << ", step " << stepNumber;
      }
    }
  }
}

TEST(AudioDucking, TheVolumesAreInTheRestoreFileBeforeAnythingIsLowered) {
  TestContext t;
  t.settings.writeInt(key::kDuckLevel, 50);
  AudioSession player = session("音楽\\player", 0.5f);
  AudioSession other = session("b", 1.0f, kBrowser + 1, 1);
  t.audio.add(player);
  t.audio.add(other);
  std::vector<std::optional<std::string>> seen;
  t.audio.beforeSet([&] { seen.push_back(fileText(restoreFile(t))); });
  lowerOtherSessions(t.ctx);
  const std::string held = restoreLine(player, "0.5", "0.25") + restoreLine(other, "1", "0.5");
  EXPECT_THAT(seen, ElementsAre(held, held));
  restoreOtherSessions(t.ctx);
  EXPECT_FALSE(std::filesystem::exists(restoreFile(t)));

  // Where the file cannot be written, nothing is lowered: a crash could not be mended.
  TestContext locked;
  locked.audio.add(session("a", 0.8f));
  std::filesystem::create_directory(restoreFile(locked));
  lowerOtherSessions(locked.ctx);
  restoreOtherSessions(locked.ctx);
  EXPECT_THAT(locked.log.of(ActionKind::SessionVolume), IsEmpty());

  // Without a session list (Wine, no output device) nothing is lowered or written.
  TestContext bare;
  bare.audio.add(session("a", 0.8f));
  bare.audio.setUnavailable();
  lowerOtherSessions(bare.ctx);
  EXPECT_FALSE(std::filesystem::exists(restoreFile(bare)));
  restoreOtherSessions(bare.ctx);
  EXPECT_THAT(bare.log.of(ActionKind::SessionVolume), IsEmpty());
}

TEST(AudioDucking, EveryDeviceIsLoweredAndPutBackInOneWalkEach) {
  TestContext t;
  const std::vector<AudioSession> sessions = {
      session("browser", 0.8f, kBrowser, 0), session("browser", 0.6f, kBrowser, 1),
      session("video", 1.0f, kBrowser + 1, 1), session("game", 0.5f, kBrowser + 2, 2)};
  for (const AudioSession& s : sessions) t.audio.add(s);
  lowerOtherSessions(t.ctx);
  EXPECT_EQ(t.audio.walks(), 2) << "a list, then every level set at once";
  for (const AudioSession& s : sessions) {
    EXPECT_FLOAT_EQ(*t.audio.volume(s.instanceId), s.volume / 5) << s.instanceId;
  }
  restoreOtherSessions(t.ctx);
  EXPECT_EQ(t.audio.walks(), 4);
  for (const AudioSession& s : sessions) {
    EXPECT_EQ(*t.audio.volume(s.instanceId), s.volume) << s.instanceId;
  }
}

TEST(AudioDucking, AtTheEndOfAnAnnouncementOnlyTheLevelsItSetAreTakenBack) {
  const AudioSession a = session("a", 0.8f);
  const AudioSession aAgain = session("a", 0.16f, kBrowser + 7);  // restarted, as Windows left it
  struct Case {
    const char* what;
    std::function<void(TestContext&)> meanwhile;
    const AudioSession& now;  // the program's session after the announcement
    float after;
    bool remembered;  // still in the restore file
    float duringNext, afterNext;  // the next announcement, the program still playing
  };
  const Case cases[] = {
      {"put back", [](TestContext&) {}, a, 0.8f, false, 0.16f, 0.8f},
      {"the user's level stays", [&](TestContext& t) { t.audio.setByUser(a.instanceId, 0.5f); },
       a, 0.5f, false, 0.1f, 0.5f},
      {"a refused level is kept, and not lowered twice",
       [&](TestContext& t) { t.audio.refuseSets(a.instanceId); }, a, 0.16f, true, 0.16f, 0.16f},
      {"a program closed meanwhile is put back when it plays again",
       [&](TestContext& t) { t.audio.remove(a.instanceId); }, aAgain, 0.16f, true, 0.16f, 0.8f},
      {"unless the user has set it since",
       [&](TestContext& t) {
         t.audio.remove(a.instanceId);
         t.audio.add(aAgain);
         t.audio.setByUser(aAgain.instanceId, 0.5f);
       },
       aAgain, 0.5f, false, 0.1f, 0.5f},
  };
  for (const Case& c : cases) {
    TestContext t;
    t.audio.add(a);
    lowerOtherSessions(t.ctx);
    c.meanwhile(t);
    restoreOtherSessions(t.ctx);
    if (!t.audio.volume(c.now.instanceId)) t.audio.add(c.now);
    EXPECT_FLOAT_EQ(*t.audio.volume(c.now.instanceId), c.after) << c.what;
    EXPECT_EQ(std::filesystem::exists(restoreFile(t)), c.remembered) << c.what;
    lowerOtherSessions(t.ctx);
    EXPECT_FLOAT_EQ(*t.audio.volume(c.now.instanceId), c.duringNext) << c.what;
    restoreOtherSessions(t.ctx);
    EXPECT_FLOAT_EQ(*t.audio.volume(c.now.instanceId), c.afterNext) << c.what;
  }
}

TEST(AudioDucking, StartUpPutsBackWhatARunLeftLowered) {
  // After a restart every process, and so every instance, is new.
  const AudioSession a = session("a", 0.16f, 77);
  const AudioSession b = session("b", 0.5f, 78);
  const AudioSession refusing = session("r", 0.2f, 79);
  const AudioSession notPlaying = session("c", 1.0f);
  const AudioSession uninstalled = session("u", 1.0f);
  AudioSession aElsewhere = a;
  aElsewhere.executable = "D:\\a.exe";
  struct Case {
    const char* what;
    std::optional<std::string> file;  // nullopt: none
    std::vector<testing::Action> sets;
    std::optional<std::string> after;  // the file afterwards
  };
  const std::string aLine = restoreLine(a, "0.8", "0.16");
  const std::string cLine = restoreLine(notPlaying, "0.9", "0.18");
  const Case cases[] = {
      {"a program at the level it was given", aLine, {SessionVolume(a.instanceId, 0.8f)}, {}},
      {"one the user has set since keeps it", restoreLine(b, "0.8", "0.16"), {}, {}},
      {"one not playing is kept and counted", cLine, {}, restoreLine(notPlaying, "0.9", "0.18", 1)},
      {"until its third start-up", restoreLine(notPlaying, "0.9", "0.18", 2), {}, {}},
      {"one uninstalled is forgotten", restoreLine(uninstalled, "0.9", "0.18"), {}, {}},
      {"the same session of another program is not it", restoreLine(aElsewhere, "0.8", "0.16"),
       {}, restoreLine(aElsewhere, "0.8", "0.16", 1)},
      {"a refused level is kept", restoreLine(refusing, "1", "0.2"),
       {SessionVolume(refusing.instanceId, 1.0f)}, restoreLine(refusing, "1", "0.2")},
      {"only what was put back goes", cLine + aLine, {SessionVolume(a.instanceId, 0.8f)},
       restoreLine(notPlaying, "0.9", "0.18", 1)},
      {"broken lines skipped, CR LF read",
       "x\t0.16\t0\tC:\\a.exe\ta\n1.5\t0.16\t0\tC:\\a.exe\ta\n0.8\t0.16\t-1\tC:\\a.exe\ta\n"
       "0.8\t0.16\t0\tC:\\a.exe\t\n0.8\t0.16\tC:\\a.exe\ta\n" +
           aLine.substr(0, aLine.size() - 1) + "\r\n",
       {SessionVolume(a.instanceId, 0.8f)},
       {}},
      {"no file, nothing", std::nullopt, {}, {}},
  };
  for (const Case& c : cases) {
    TestContext t;
    for (const AudioSession& s : {a, b, refusing}) t.audio.add(s);
    t.audio.refuseSets(refusing.instanceId);
    t.audio.uninstall(uninstalled.executable);
    if (c.file) std::ofstream(restoreFile(t), std::ios::binary) << *c.file;
    restoreSessionsLeftLowered(t.ctx);
    EXPECT_EQ(t.log.of(ActionKind::SessionVolume), c.sets) << c.what;
    EXPECT_EQ(fileText(restoreFile(t)), c.after) << c.what;
  }

  // Without a session list the file waits for a start-up that has one.
  TestContext bare;
  bare.audio.setUnavailable();
  std::ofstream(restoreFile(bare), std::ios::binary) << aLine;
  restoreSessionsLeftLowered(bare.ctx);
  EXPECT_EQ(fileText(restoreFile(bare)), aLine);
}

TEST(AudioDucking, ACrashMidAnnouncementIsMendedAtTheNextStartOrWhenTheProgramPlays) {
  // The browser plays again after the restart, the player only later.
  const AudioSession browser = session("browser", 0.7f);
  const AudioSession player = session("player", 0.5f, kBrowser + 1);
  TestContext t;
  t.audio.add(browser);
  t.audio.add(player);
  lowerOtherSessions(t.ctx);

  TestContext restarted;
  std::filesystem::copy_file(restoreFile(t), restoreFile(restarted));
  const AudioSession browserNow = session("browser", 0.14f, 501);
  restarted.audio.add(browserNow);
  restoreSessionsLeftLowered(restarted.ctx);
  EXPECT_FLOAT_EQ(*restarted.audio.volume(browserNow.instanceId), 0.7f);

  const AudioSession playerNow = session("player", 0.1f, 502);
  restarted.audio.add(playerNow);
  lowerOtherSessions(restarted.ctx);
  EXPECT_FLOAT_EQ(*restarted.audio.volume(playerNow.instanceId), 0.1f);
  restoreOtherSessions(restarted.ctx);
  EXPECT_FLOAT_EQ(*restarted.audio.volume(playerNow.instanceId), 0.5f);
  EXPECT_FALSE(std::filesystem::exists(restoreFile(restarted)));
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
        return request == kWinampGetState ? kWinampPlaying : std::intptr_t{0};
      });
      t.audio.add(session("winamp", 1.0f, kPlayer));
    }
    const std::string browser = session("browser", 0.8f).instanceId;
    t.audio.add(session("browser", 0.8f));
    c.announce(t);
    if (c.spoken) {
      // The phrase is said on the toolbar's thread after the announcer has
      // returned; the others stay low until the engine has finished it.
      EXPECT_FLOAT_EQ(*t.audio.volume(browser), 0.16f) << "before IDC_SPEAK";
      speech.speakNext();
      speech.watch();
      EXPECT_FLOAT_EQ(*t.audio.volume(browser), 0.16f) << "while said";
      while (t.timers.isRunning(timer::kSpeechWatch)) speech.watch();
    }
    std::vector<testing::Action> expected = {SessionVolume(browser, 0.16f),
                                             SoundResource("DING")};
    expected.insert(expected.end(), c.heard.begin(), c.heard.end());
    expected.push_back(SessionVolume(browser, 0.8f));
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
    EXPECT_LT(at(testing::SentCommand(winamp, kWinampStop)), at(SoundResource("DING"))) << c.what;
    EXPECT_LT(at(testing::SentCommand(winamp, kWinampPlay)),
              at(SessionVolume(browser, 0.8f)))
        << c.what;
  }
}

}  // namespace
}  // namespace tabiro
