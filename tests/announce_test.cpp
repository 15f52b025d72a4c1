#include "guidance/announce.h"

#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/timer_dispatcher.h"
#include "app/toolbar_handlers.h"
#include "core/timer_ids.h"
#include "fakes/fake_sapi_voice.h"
#include "fakes/fake_speech.h"
#include "fakes/sequences.h"
#include "fakes/test_context.h"
#include "guidance/guidance_control.h"
#include "guidance/music_players.h"
#include "guidance/pictures.h"
#include "platform/winmsg.h"
#include "resource.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ActionKind;
using testing::PictureClosed;
using testing::PictureShown;
using testing::Posted;
using testing::PostedCommand;
using testing::Sent;
using testing::SentCommand;
using testing::Sleep;
using testing::SoundFile;
using testing::SoundResource;
using testing::TestContext;
using testing::TimerStart;
using testing::WorkerStarted;

constexpr unsigned kWmUser = win::kWmUser;

// A Winamp that answers its state and position requests, and the jump with
// `jumpAnswer`.
WindowHandle addWinamp(TestContext& t, std::intptr_t state, std::intptr_t positionMs,
                       std::intptr_t jumpAnswer = 0) {
  const WindowHandle winamp = t.desktop.add(kWinampClass, "Winamp");
  t.desktop.answer(winamp, kWmUser, [=](std::uintptr_t, std::intptr_t request) {
    switch (request) {
      case kWinampGetState: return state;
      case kWinampGetPosition: return positionMs;
      case kWinampJumpTo: return jumpAnswer;
      default: return std::intptr_t{0};
    }
  });
  return winamp;
}

// A Layer III Player whose kLayer3TrackInfo opens "Track information" showing `track`.
WindowHandle addLayer3(TestContext& t, const std::string& track) {
  const WindowHandle player = t.desktop.add(kLayer3Class, "Layer III Player");
  t.desktop.answer(player, win::kWmCommand, kLayer3TrackInfo, [&t, track](std::uintptr_t, std::intptr_t) {
    const WindowHandle info = t.desktop.add("#32770", kTrackInfoTitle);
    t.desktop.add("Static", track, info, kTrackNumberControl);
    t.desktop.answer(info, win::kWmCommand, win::kIdCancel, [&t, info](std::uintptr_t, std::intptr_t) {
      t.desktop.destroy(info);
      return std::intptr_t{0};
    });
    return std::intptr_t{0};
  });
  return player;
}

TEST(Announce, SpeechIsPostedToTheToolbarWhenNothingSpeaksAgainstIt) {
  TestContext t;
  const WindowHandle toolbar = t.desktop.add("#32770", kToolbarTitle);
  store(t.state.speechReady, 1);
  announce(t.ctx, "この先、オービスレーダです。", AnnouncedPicture::camera("レーダ"), "ovis1_l.wav");
  EXPECT_THAT(t.log.actions(),
              ElementsAre(SoundResource("DING"), PostedCommand(toolbar, IDC_SPEAK),
                          PictureShown("ovis1_l.bmp", "レーダ"), WorkerStarted("pictureWorker")));
  EXPECT_EQ(t.state.speechText.pop().value().text, "この先、オービスレーダです。");
}

// Every phrase waits for its own IDC_SPEAK: two announcements before the
// toolbar gets to the first, or the end of guidance said on the toolbar's
// thread meanwhile, lose nothing and say nothing twice.
TEST(Announce, EachPhraseIsSpokenOnceInTheOrderItWasAnnounced) {
  struct Case {
    const char* label;
    std::vector<std::string> engine;  // announced before the toolbar takes a command
    bool guidanceEnds;                // then the end, on the toolbar's thread
    std::vector<std::string> spoken;
  };
  const Case cases[] = {
      {"camera and turn in one pass", {"オービス", "右方向"}, false, {"オービス", "右方向"}},
      {"turn, then the end at once", {"目的地"}, true, {"目的地", kGuidanceEndPhrase}},
      {"camera, turn, end", {"オービス", "左方向"}, true, {"オービス", "左方向", kGuidanceEndPhrase}},
  };
  for (const Case& c : cases) {
    TestContext t;
    const WindowHandle toolbar = t.desktop.add("#32770", kToolbarTitle);
    store(t.state.speechReady, 1);
    testing::FakeSpeechDispatch dispatch;
    SpeechControl legacy{dispatch};
    testing::FakeSapiVoice sapi;
    ToolbarSpeech speech{t.ctx, legacy, sapi};
    speech.choose();
    for (const std::string& phrase : c.engine) announce(t.ctx, phrase, AnnouncedPicture::turn(), "");
    if (c.guidanceEnds) guidanceStopped(t.ctx);
    for (std::size_t i = 0; i < t.log.messagesTo(toolbar).size(); ++i) speech.speakNext();
    while (t.timers.isRunning(timer::kSpeechWatch)) speech.watch();
    EXPECT_EQ(dispatch.spoken, c.spoken) << c.label;
  }
}

// Speech or the WAV file, never both and never neither.
TEST(Announce, SpeechOrWavFileByControlPlayerWindowAndAntiTos) {
  struct Case {
    int speechReady;
    bool stoppedWinamp;
    int antiTos;
    bool speaks;
  };
  for (const Case c : {Case{1, false, 0, true}, Case{0, false, 0, false},
                       Case{1, true, 0, false}, Case{1, false, 1, false},
                       Case{0, true, 1, false}}) {
    TestContext t;
    const WindowHandle toolbar = t.desktop.add("#32770", kToolbarTitle);
    if (c.stoppedWinamp) addWinamp(t, 0, 0);
    store(t.state.speechReady, c.speechReady);
    t.settings.writeInt(key::kAntiTos, c.antiTos);
    announce(t.ctx, "", AnnouncedPicture::turn(), "右方向.wav");
    const auto spoken = t.log.messagesTo(toolbar);
    const auto played = t.log.of(ActionKind::SoundFile);
    const std::string label = "speechReady " + std::to_string(c.speechReady) + " winamp " +
                              std::to_string(c.stoppedWinamp) + " AntiTos " +
                              std::to_string(c.antiTos);
    if (c.speaks) {
      EXPECT_THAT(spoken, ElementsAre(PostedCommand(toolbar, IDC_SPEAK))) << label;
      EXPECT_THAT(played, IsEmpty()) << label;
    } else {
      EXPECT_THAT(spoken, IsEmpty()) << label;
      EXPECT_THAT(played, ElementsAre(SoundFile("右方向.wav"))) << label;
    }
    EXPECT_EQ(load(t.state.musicPlayerSeen), 0) << label;
  }
}

TEST(Announce, ChaimOneIsTheChimeAndThePictureOnly) {
  TestContext t;
  const WindowHandle toolbar = t.desktop.add("#32770", kToolbarTitle);
  store(t.state.speechReady, 1);
  t.settings.writeInt(key::kChaim, 1);
  t.state.waypoints.row(1).text.set("x直\n");
  announce(t.ctx, "", AnnouncedPicture::turn(), "直進.wav");
  EXPECT_THAT(t.log.actions(), ElementsAre(SoundResource("DING"), PictureShown("X直進.bmp", ""),
                                           WorkerStarted("pictureWorker")));
  EXPECT_THAT(t.log.messagesTo(toolbar), IsEmpty());

  TestContext other;
  other.settings.writeInt(key::kChaim, 2);  // neither voice nor chime-only: the chime alone
  announce(other.ctx, "", AnnouncedPicture::turn(), "直進.wav");
  EXPECT_THAT(other.log.actions(), ElementsAre(SoundResource("DING")));
}

TEST(Announce, PlayingWinampIsStoppedThenPlaysFromWhereItWas) {
  TestContext t;
  t.desktop.add("#32770", kToolbarTitle);
  const WindowHandle winamp = addWinamp(t, kWinampPlaying, 95000);
  store(t.state.speechReady, 1);
  t.state.waypoints.row(1).text.set("t左\n");
  announce(t.ctx, "", AnnouncedPicture::turn(), "左方向.wav");
  EXPECT_THAT(t.log.actions(),
              ElementsAre(Sent(winamp, kWmUser, 0, kWinampGetState),
                          Sent(winamp, kWmUser, 0, kWinampGetPosition),
                          SentCommand(winamp, kWinampStop), SoundResource("DING"),
                          PictureShown("T左.bmp", ""), WorkerStarted("pictureWorker"),
                          SoundFile("左方向.wav"),
                          SentCommand(winamp, kWinampPlay),
                          Sent(winamp, kWmUser, 95000, kWinampJumpTo)));
  EXPECT_EQ(load(t.state.winampStopped), 0);
}

TEST(Announce, WinampRefusingTheJumpStaysMarkedStopped) {
  TestContext t;
  const WindowHandle winamp = addWinamp(t, kWinampPaused, 95000, kWinampRefused);
  announce(t.ctx, "", AnnouncedPicture::turn(), "左方向.wav");
  EXPECT_THAT(t.log.messagesTo(winamp).back(), Sent(winamp, kWmUser, 95000, kWinampJumpTo));
  EXPECT_EQ(load(t.state.winampStopped), 1);
  EXPECT_EQ(load(t.state.winampResumePosition), 95000);
}

TEST(Announce, Layer3PlayerOnTrackThreeIsSteppedBackAfterTheWavFile) {
  TestContext t;
  const WindowHandle player = addLayer3(t, "3");
  announce(t.ctx, "", AnnouncedPicture::turn(), "目的地.wav");
  const auto toPlayerAndSounds = t.log.filter([player](const testing::Action& a) {
    return a.kind == ActionKind::Sound || a.kind == ActionKind::SoundFile || a.window == player;
  });
  EXPECT_THAT(toPlayerAndSounds,
              ::testing::ElementsAreArray(testing::then(
                  SentCommand(player, kLayer3TrackInfo), SentCommand(player, kLayer3Silence),
                  SoundResource("DING"), SoundFile("目的地.wav"),
                  testing::layer3BackToTrack(player, 3))));
  EXPECT_FALSE(t.desktop.findWindow(nullptr, kTrackInfoTitle));  // cancelled
}

// A track number the player cannot have must not make the announcing thread
// post millions of messages.
TEST(MusicPlayers, Layer3TrackNumberIsBounded) {
  struct Case {
    const char* text;
    std::size_t steps;
  };
  for (const Case c : {Case{"999", 998}, Case{"1000", 0}, Case{"99999999999", 0},
                       Case{"-4", 0}, Case{"", 0}, Case{"7曲目", 6}}) {
    TestContext t;
    const WindowHandle player = addLayer3(t, c.text);
    pauseMusic(t.ctx);
    resumeMusic(t.ctx);
    const auto posted = t.log.of(ActionKind::Posted);
    ASSERT_EQ(posted.size(), c.steps + 1) << c.text;
    EXPECT_EQ(posted.back(), PostedCommand(player, kLayer3Play)) << c.text;
  }
  // A garbage number written to the shared value by anyone is bounded too.
  TestContext t;
  const WindowHandle player = t.desktop.add(kLayer3Class, "");
  store(t.state.l3TrackNumber, 2000000000);
  resumeMusic(t.ctx);
  EXPECT_EQ(t.log.messagesTo(player).size(), static_cast<std::size_t>(kLayer3MaxTrack));
}

TEST(GuideCheckTimer, CheckTimeIsKeptWithinBounds) {
  struct Case {
    int checkTime;
    int periodMs;
  };
  for (const Case c : {Case{90, 90000}, Case{0, 1000}, Case{-5, 1000}, Case{1, 1000},
                       Case{86400, 86400000}, Case{2147483, 86400000},
                       Case{2147483647, 86400000}}) {
    TestContext t;
    t.settings.writeInt(key::kCheckTime, c.checkTime);
    startGuideCheckTimer(t.ctx);
    EXPECT_THAT(t.log.actions(), ElementsAre(TimerStart(timer::kGuideCheck, c.periodMs)))
        << c.checkTime;
  }
}

// One table per chooser: a text and the picture it must give.
TEST(Pictures, TagsChooseThePictureInTableOrder) {
  using Chooser = std::string (*)(std::string_view);
  const std::vector<std::tuple<Chooser, const char*, const char*>> cases = {
      {turnPictureFor, "交差点x右折\n", "X右.bmp"},  {turnPictureFor, "x直", "X直進.bmp"},
      {turnPictureFor, "t右 x左", "X左.bmp"},        {turnPictureFor, "y左", "Y左.bmp"},
      {turnPictureFor, "逆ト左", "逆ト左.bmp"},      {turnPictureFor, "逆ト直", "逆ト直進.bmp"},
      {turnPictureFor, "ト直", "ト直進.bmp"},        {turnPictureFor, "ト右", "ト右.bmp"},
      {turnPictureFor, "ト左", ""},                  {turnPictureFor, "X右", ""},
      {turnPictureFor, "", ""},
      {cameraPictureFor, "ループコイル バイパス", "ovis3_h.bmp"},
      {cameraPictureFor, "ループコイル", "ovis3_l.bmp"},
      {cameraPictureFor, "Hシステム 高速", "ovis2_h.bmp"},
      {cameraPictureFor, "Hシステム", "ovis2_l.bmp"},
      {cameraPictureFor, "レーダ 国道", "ovis1_h.bmp"},
      {cameraPictureFor, "レーダ", "ovis1_l.bmp"},
      {cameraPictureFor, "Hシステム レーダ", "ovis2_l.bmp"},  // kind in table order
      {cameraPictureFor, "newオービス", "オービス.bmp"},
      {cameraPictureFor, "高速", "オービス.bmp"},
  };
  for (const auto& [choose, text, picture] : cases) {
    EXPECT_EQ(choose(text), picture) << text;
  }
}

// The picture stands when the announcement returns: the map commands the
// engine sends next cannot hold it back. Its worker only removes it.
TEST(Pictures, TheTurnPictureOfTheCurrentWaypointStandsWhenTheAnnouncementReturns) {
  TestContext t;
  t.state.waypoints.row(2).text.set("x右\n");
  t.state.waypoints.row(3).text.set("ト左\n");
  t.settings.writeInt(key::kWayPoint, 2);
  t.settings.writeInt(key::kChaim, 1);
  announce(t.ctx, "", AnnouncedPicture::turn(), "右方向.wav");
  EXPECT_EQ(t.popups.openPictures().size(), 1u);
  EXPECT_THAT(t.log.of(ActionKind::PictureShown), ElementsAre(PictureShown("X右.bmp", "")));
  t.log.clear();
  t.workers.runPending();
  EXPECT_THAT(t.log.actions(), ElementsAre(Sleep(5000), PictureClosed("X右.bmp")));

  t.settings.writeInt(key::kWayPoint, 3);  // no known tag: no picture
  t.log.clear();
  announce(t.ctx, "", AnnouncedPicture::turn(), "右方向.wav");
  EXPECT_THAT(t.log.of({ActionKind::PictureShown, ActionKind::WorkerStarted}), IsEmpty());
}

TEST(Pictures, TheCameraPictureIsCaptionedWithTheTextForKomatime) {
  struct Case {
    int komaTime;
    int stayMs;
  };
  for (const Case c : {Case{3, 3000}, Case{0, 0}, Case{-2, 0}, Case{2147483647, 3600000}}) {
    TestContext t;
    t.settings.writeInt(key::kKomaTime, c.komaTime);
    t.settings.writeInt(key::kChaim, 1);
    announce(t.ctx, "", AnnouncedPicture::camera("newオービス"), "オービス.wav");
    EXPECT_THAT(t.log.of(ActionKind::PictureShown), ElementsAre(PictureShown("オービス.bmp", "newオービス")));
    t.log.clear();
    t.workers.runPending();
    EXPECT_THAT(t.log.actions(), ElementsAre(Sleep(c.stayMs), PictureClosed("オービス.bmp"))) << c.komaTime;
    EXPECT_THAT(t.popups.openPictures(), IsEmpty());
  }
}

}  // namespace
}  // namespace tabiro
