// The settings dialogs' rules: what they load and save in which order, what
// Cancel leaves, the copies of the "Ver" switch and the enable rules.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/toolbar_handlers.h"
#include "fakes/fake_sapi_voice.h"
#include "fakes/recording_speech.h"
#include "fakes/sequences.h"
#include "core/timer_ids.h"
#include "fakes/test_context.h"
#include "resource.h"
#include "settings/guidance_settings.h"
#include "settings/guide_phrases.h"
#include "gps/receiver_test.h"
#include "guidance/pictures.h"
#include "settings/operation_settings.h"
#include "settings/receiver_setup.h"

namespace tabiro {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::ActionKind;
using testing::DialogRun;
using testing::RecordingSpeech;
using testing::SentCommand;
using testing::TestContext;
using testing::TimerStart;
using testing::TimerStop;

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool enabled(const std::vector<ControlEnable>& rules, int id) {
  for (const ControlEnable& r : rules)
    if (r.id == id) return r.enabled;
  ADD_FAILURE() << "no rule for control " << id;
  return true;
}

// --- paths and files ---------------------------------------------------------

TEST(PathSettings, LoadsTheDefaultsAndSavesInTheDialogsOrder) {
  TestContext t;
  PathSettings s = loadPathSettings(t.settings);
  EXPECT_EQ(s.correction, (std::array<int, 4>{30, 30, 30, 30}));
  EXPECT_EQ(s.checkTime, 90);
  EXPECT_EQ(s.atlasScales, (std::array<int, 5>{}));
  s.navinPath = "C:\\Navin\\NavinYou.exe";
  s.atlasScales = {1, 2, 3, 4, 5};
  savePathSettings(t.settings, s);
  EXPECT_EQ(fileText(t.settings.path()),
            "[Tabiro Info]\r\nExeFilePath0=C:\\Navin\\NavinYou.exe\r\nVer=0\r\nExeFilePath1=\r\n"
            "20=1\r\n7=2\r\n2=3\r\n1=4\r\n05=5\r\nMapMode=0\r\nSaveTRK=0\r\nguidecheck=0\r\n"
            "checktime=90\r\nSviewMode=0\r\n"
            "[MapMatch]\r\nhosei_L=30\r\nhosei_U=30\r\nhosei_D=30\r\nhosei_R=30\r\n");
  EXPECT_EQ(loadPathSettings(t.settings).atlasScales, s.atlasScales);
}

TEST(PathSettings, OkSavesCancelLeavesTheFileByteForByteAndBothRearmTheRaiseTimer) {
  TestContext t;
  t.settings.writeInt(key::kGps, 1);
  t.settings.writeString(key::kExeFilePath0, "C:\\old.exe");
  const std::string before = fileText(t.settings.path());
  t.popups.onPathSettings = [](PathSettings& s) {
    s.navinPath = "C:\\new.exe";
    s.version = 1;
    s.mapMode = 0;
    return false;
  };
  t.log.clear();
  openPathSettings(t.ctx);
  EXPECT_EQ(fileText(t.settings.path()), before);
  EXPECT_THAT(t.log.actions(),
              ElementsAreArray(testing::betweenRaises(DialogRun(IDD_PATH_SETTINGS, false))));

  t.popups.onPathSettings = [](PathSettings& s) {
    s.navinPath = "C:\\new.exe";
    s.correction[3] = 12;
    return true;
  };
  t.log.clear();
  openPathSettings(t.ctx);
  EXPECT_EQ(t.settings.storedString(key::kExeFilePath0).value_or(""), "C:\\new.exe");
  EXPECT_EQ(t.settings.storedInt(key::kHoseiR).value_or(0), 12);
  EXPECT_THAT(t.log.actions(), Contains(TimerStart(timer::kRaiseAfterGps, 2000)));
}

TEST(PathSettings, OpeningInNavinYouAloneShowsTheNumbersInItsGroupAndStartModeAlternate) {
  PathSettings s;
  s.version = 1;
  s.mapMode = 1;
  s.atlasScales = {3, 4, 5, 6, 0};
  showPathSettings(s);
  EXPECT_EQ(s.navinScales, s.atlasScales);
  EXPECT_EQ(s.mapMode, 0);
  const auto rules = pathSettingsEnables(s);
  for (int id : {IDC_PATH_NAVIN_20, IDC_PATH_NAVIN_05}) EXPECT_TRUE(enabled(rules, id)) << id;
  for (int id : {IDC_PATH_ATLAS, IDC_PATH_ATLAS_20, IDC_PATH_ATLAS_05, IDC_PATH_MODE_ALTERNATE,
                 IDC_PATH_MODE_TOGETHER}) {
    EXPECT_FALSE(enabled(rules, id)) << id;
  }

  PathSettings other;
  other.mapMode = 1;
  other.atlasScales = {3, 4, 5, 6, 0};
  showPathSettings(other);
  EXPECT_EQ(other.navinScales, (std::array<int, 5>{}));
  EXPECT_EQ(other.mapMode, 1);
  EXPECT_FALSE(enabled(pathSettingsEnables(other), IDC_PATH_NAVIN_7));
  EXPECT_TRUE(enabled(pathSettingsEnables(other), IDC_PATH_ATLAS_7));
}

struct VersionSwitch {
  int previous, chosen;
  std::array<int, 5> atlasAfter, navinAfter;
  int mapModeAfter;
};

TEST(PathSettings, VersionSwitchMovesTheNumbersOnlyIntoOrOutOfNavinYouAlone) {
  const std::array<int, 5> atlas{1, 2, 3, 4, 5};
  const std::array<int, 5> navin{6, 7, 8, 9, 10};
  const VersionSwitch rows[] = {
      {0, 1, atlas, atlas, 0},  // into "Navin'You Only": ATLAS numbers copied, start mode 交互
      {2, 1, atlas, atlas, 0},
      {1, 0, navin, navin, 1},  // out of it: what was typed in the Navin'You group carried over
      {1, 2, navin, navin, 1},
      {0, 2, atlas, navin, 1},  // between the other two, or the same again: nothing moves
      {2, 0, atlas, navin, 1},
      {0, 0, atlas, navin, 1},
      {1, 1, atlas, navin, 1},
  };
  for (const VersionSwitch& row : rows) {
    PathSettings s;
    s.atlasScales = atlas;
    s.navinScales = navin;
    s.mapMode = 1;
    s.version = row.chosen;
    chooseVersion(s, row.previous);
    EXPECT_EQ(s.atlasScales, row.atlasAfter) << row.previous << " -> " << row.chosen;
    EXPECT_EQ(s.navinScales, row.navinAfter) << row.previous << " -> " << row.chosen;
    EXPECT_EQ(s.mapMode, row.mapModeAfter) << row.previous << " -> " << row.chosen;
  }
}

TEST(PathSettings, OkInNavinYouAloneSavesTheNavinYouGroupUnderTheScaleKeys) {
  TestContext t;
  t.settings.writeInt(key::kVer, 1);
  t.settings.writeInt(key::kScale20, 2);
  t.popups.onPathSettings = [](PathSettings& s) {
    showPathSettings(s);
    s.navinScales = {4, 0, 6, 7, 8};
    confirmPathSettings(s);
    return true;
  };
  openPathSettings(t.ctx);
  EXPECT_EQ(t.settings.storedInt(key::kScale20).value_or(-1), 4);
  EXPECT_EQ(t.settings.storedInt(key::kScale05).value_or(-1), 8);

  PathSettings ver10;
  ver10.atlasScales = {1, 1, 1, 1, 1};
  ver10.navinScales = {9, 9, 9, 9, 9};
  confirmPathSettings(ver10);
  EXPECT_EQ(ver10.atlasScales, (std::array<int, 5>{1, 1, 1, 1, 1}));
}

TEST(PathSettings, CheckIntervalIsEnabledWithTheMusicPlayerCheck) {
  PathSettings s;
  EXPECT_FALSE(enabled(pathSettingsEnables(s), IDC_PATH_CHECKTIME));
  s.guideCheck = 1;
  EXPECT_TRUE(enabled(pathSettingsEnables(s), IDC_PATH_CHECKTIME));
}

// Speech with the legacy control chosen at start-up, its start-up calls
// cleared, so that what follows is the dialog's own.
struct LegacySpeech {
  explicit LegacySpeech(TestContext& t) : speech(t.ctx, legacy, sapi) {
    speech.choose();
    engine.calls.clear();
  }
  RecordingSpeech engine;
  SpeechControl legacy{engine};
  testing::FakeSapiVoice sapi;
  ToolbarSpeech speech;
};

// --- guidance settings ----------------------------------------------------------

TEST(GuidanceSettings, LoadsTheDefaultsAndSavesThemInOrderThenAppliesTheVoice) {
  TestContext t;
  LegacySpeech voice(t);
  t.popups.onGuidanceSettings = [](GuidanceSettings& s, const std::function<void()>&) {
    EXPECT_EQ(s.waveUp, 30);
    EXPECT_EQ(s.komaTime, 5);
    EXPECT_EQ(s.ovisUp, 500);
    EXPECT_EQ(s.ovisUp2, 60);
    EXPECT_EQ(s.duck, 1);
    EXPECT_EQ(s.duckLevel, 20);
    s.duckLevel = 35;
    s.routeFile = "C:\\my.nyp";
    s.komaTime = 0;  // stored as entered
    return true;
  };
  openGuidanceSettings(t.ctx, voice.speech);
  EXPECT_EQ(fileText(t.settings.path()),
            "[TOS]\r\nSystem=1\r\n[Rot]\r\nFileName=C:\\my.nyp\r\nWaveUp=30\r\nKomatime=0\r\nNavimode=0\r\n"
            "[Ovis]\r\nPOT=\r\nOvisUp=500\r\nOvisUp2=60\r\n"
            "[Tabiro Info]\r\nWavstart=0\r\nChaim=0\r\nAntiTos=0\r\nDuck=1\r\nDuckLevel=35\r\n");
  ASSERT_EQ(voice.engine.calls.size(), 12u) << "applySpeechSettings after saving";
  EXPECT_EQ(voice.engine.calls.front(), "set 6 1");
}

// The dialog once showed 10 s where the pictures stay 5 s, and OK without a
// change made that 10.
TEST(GuidanceSettings, OkWithoutAChangeKeepsThePictureTimeInEffect) {
  TestContext t;
  LegacySpeech voice(t);
  const int before = pictureStayMs(t.settings);
  t.popups.onGuidanceSettings = [](GuidanceSettings&, const std::function<void()>&) {
    return true;
  };
  openGuidanceSettings(t.ctx, voice.speech);
  EXPECT_EQ(pictureStayMs(t.settings), before);
}

TEST(GuidanceSettings, CancelWritesNothingAndLeavesTheEngineAlone) {
  TestContext t;
  LegacySpeech voice(t);
  t.settings.writeInt(key::kWaveUp, 20);
  const std::string before = fileText(t.settings.path());
  t.popups.onGuidanceSettings = [](GuidanceSettings& s, const std::function<void()>&) {
    s.waveUp = 45;
    return false;
  };
  openGuidanceSettings(t.ctx, voice.speech);
  EXPECT_EQ(fileText(t.settings.path()), before);
  EXPECT_THAT(voice.engine.calls, IsEmpty());
}

TEST(GuidanceSettings, WithoutASpeechEnginePhrasesAndWavChoiceStayDisabledWhateverIsClicked) {
  GuidanceSettings s;
  s.speechEngine = false;
  for (int antiTos : {0, 1}) {
    for (int naviMode : {0, 1}) {
      s.antiTos = antiTos;
      s.naviMode = naviMode;
      EXPECT_FALSE(enabled(guidanceSettingsEnables(s), IDC_NAVI_PHRASES));
      EXPECT_FALSE(enabled(guidanceSettingsEnables(s), IDC_NAVI_WAV_FILES));
    }
  }
  s.speechEngine = true;
  s.antiTos = 1;
  EXPECT_FALSE(enabled(guidanceSettingsEnables(s), IDC_NAVI_PHRASES));
  EXPECT_TRUE(enabled(guidanceSettingsEnables(s), IDC_NAVI_WAV_FILES));
  s.antiTos = 0;  // "WAVﾌｧｲﾙ使用" cleared
  EXPECT_TRUE(enabled(guidanceSettingsEnables(s), IDC_NAVI_PHRASES));
}

TEST(GuidanceSettings, PictureOnlyDisablesTheVoiceChoiceAndVoiceAndPictureEnablesIt) {
  TestContext t;
  t.settings.writeInt(key::kNaviMode, 1);
  GuidanceSettings s = loadGuidanceSettings(t.settings);
  EXPECT_FALSE(enabled(guidanceSettingsEnables(s), IDC_NAVI_VOICE));
  EXPECT_FALSE(enabled(guidanceSettingsEnables(s), IDC_NAVI_CHIME));
  s.naviMode = 0;  // IDC_NAVI_VOICE_PICTURE chosen
  EXPECT_TRUE(enabled(guidanceSettingsEnables(s), IDC_NAVI_VOICE));
  EXPECT_TRUE(enabled(guidanceSettingsEnables(s), IDC_NAVI_CHIME));
}

TEST(GuidanceSettings, TheOtherProgramsVolumeIsEditableOnlyWhileTheyAreLowered) {
  GuidanceSettings s;
  EXPECT_TRUE(enabled(guidanceSettingsEnables(s), IDC_NAVI_DUCK_LEVEL));
  s.duck = 0;  // IDC_NAVI_DUCK cleared
  EXPECT_FALSE(enabled(guidanceSettingsEnables(s), IDC_NAVI_DUCK_LEVEL));
}

TEST(GuidanceSettings, PhrasesSavedFromWithinStayWhenTheGuidanceSettingsAreCancelled) {
  TestContext t;
  LegacySpeech voice(t);
  t.popups.onGuidePhrases = [](GuidePhrases& p, const std::function<void()>&) {
    p.migi = "右です。";
    return true;
  };
  t.popups.onGuidanceSettings = [](GuidanceSettings& s, const std::function<void()>& openPhrases) {
    s.waveUp = 15;
    openPhrases();
    return false;
  };
  openGuidanceSettings(t.ctx, voice.speech);
  EXPECT_EQ(t.settings.storedString(key::kMigi).value_or(""), "右です。");
  EXPECT_EQ(t.settings.storedInt(key::kWaveUp).value_or(-1), -1);
  EXPECT_THAT(t.log.of(ActionKind::DialogRun),
              ElementsAre(DialogRun(IDD_GUIDE_PHRASES, true), DialogRun(IDD_GUIDANCE_SETTINGS, false)));
}

// --- guide phrases ----------------------------------------------------------------

TEST(GuidePhrases, ShowsTheDefaultsAndSavingUnchangedWritesThemInOrder) {
  TestContext t;
  t.popups.onGuidePhrases = [](GuidePhrases& p, const std::function<void()>&) {
    EXPECT_EQ(p.ovis1, "この先、オービス");
    EXPECT_EQ(p.hidari, "まもなく左方向です。");
    return true;
  };
  openGuidePhrases(t.ctx);
  EXPECT_EQ(fileText(t.settings.path()),
            "[TOS]\r\novis1=この先、オービス\r\novis2=です。スピード注意！\r\n"
            "choku=この先、直進です。\r\nmoku=まもなく目的地です。\r\n"
            "migi=まもなく右方向です。\r\nhidari=まもなく左方向です。\r\n");
}

TEST(GuidePhrases, AClearedPhraseIsStoredEmptyAndStaysEmpty) {
  TestContext t;
  t.popups.onGuidePhrases = [](GuidePhrases& p, const std::function<void()>&) {
    p.choku.clear();
    return true;
  };
  openGuidePhrases(t.ctx);
  t.popups.onGuidePhrases = [](GuidePhrases& p, const std::function<void()>&) {
    EXPECT_EQ(p.choku, "") << "the default applies only to a missing key";
    return false;
  };
  openGuidePhrases(t.ctx);
  EXPECT_EQ(t.settings.storedString(key::kChoku).value_or("default"), "");
}

TEST(GuidePhrases, VoiceButtonSendsTheVoicePropertiesCommandToTheToolbarOrNothingWithoutIt) {
  TestContext t;
  askForVoiceProperties(t.ctx);
  EXPECT_THAT(t.log.messages(), IsEmpty());
  const WindowHandle toolbar = t.desktop.add("#32770", kToolbarTitle);
  askForVoiceProperties(t.ctx);
  EXPECT_THAT(t.log.messages(), ElementsAre(SentCommand(toolbar, IDC_VOICE_PROPERTIES)));
}

// --- GPS receiver --------------------------------------------------------------------

struct SourceFields {
  PositionSource source;
  bool serial, tcp, test;
};

TEST(ReceiverSettings, EachSourceEnablesItsOwnFieldsAndTheTestOnlyForAReceiver) {
  const SourceFields rows[] = {
      {PositionSource::StatusBar, false, false, false},
      {PositionSource::Serial, true, false, true},
      {PositionSource::Tcp, false, true, true},
  };
  for (const SourceFields& row : rows) {
    ReceiverSettings s;
    s.source = row.source;
    const auto rules = receiverSettingsEnables(s);
    const int source = static_cast<int>(row.source);
    EXPECT_EQ(enabled(rules, IDC_RX_PORT), row.serial) << source;
    EXPECT_EQ(enabled(rules, IDC_RX_BAUD), row.serial) << source;
    EXPECT_EQ(enabled(rules, IDC_RX_HOST), row.tcp) << source;
    EXPECT_EQ(enabled(rules, IDC_RX_TCP_PORT), row.tcp) << source;
    EXPECT_EQ(enabled(rules, IDC_RX_TEST), row.test) << source;
  }
}

TEST(ReceiverSettings, TheDialogListsThePortsTestsWhatIsTypedOnAWorkerAndSavesOnlyOnOk) {
  TestContext t;
  t.receivers.ports = {"COM4", "COM7"};
  t.receivers.script({{LinkFailure::Absent, {}}});
  std::vector<std::string> shown;
  t.popups.onReceiverSettings = [&](ReceiverSettings& s, const std::vector<std::string>& ports,
                                    const ReceiverTestRun& runTest) {
    EXPECT_EQ(s, ReceiverSettings{}) << "the defaults";
    EXPECT_EQ(ports, (std::vector<std::string>{"COM4", "COM7"}));
    s.source = PositionSource::Serial;
    s.port = "COM7";
    s.baud = 9600;
    runTest(s, [&](std::vector<std::string> lines) { shown = std::move(lines); });
    EXPECT_TRUE(shown.empty()) << "the test runs off the dialog's thread";
    return false;
  };
  openReceiverSettings(t.ctx);
  EXPECT_EQ(t.workers.pending(), (std::vector<std::string>{"receiverTest"}));
  t.workers.runPending();
  EXPECT_EQ(t.receivers.opened, (std::vector<std::string>{"COM7 9600"})) << "the values as typed";
  ReceiverTestReport absent;
  absent.failure = ReceiverTestReport::Failure::PortAbsent;
  EXPECT_EQ(shown, receiverTestLines(absent));
  EXPECT_EQ(fileText(t.settings.path()), "") << "cancelled: nothing stored";

  t.popups.onReceiverSettings = [](ReceiverSettings& s, const std::vector<std::string>&,
                                   const ReceiverTestRun&) {
    s.source = PositionSource::Tcp;
    s.host = "192.168.1.20";
    s.tcpPort = 2947;
    s.datum = FileDatum::Wgs84;
    return true;
  };
  openReceiverSettings(t.ctx);
  EXPECT_EQ(fileText(t.settings.path()),
            "[Receiver]\r\nSource=2\r\nPort=COM3\r\nBaud=4800\r\nHost=192.168.1.20\r\n"
            "TcpPort=2947\r\nDatum=1\r\n");
}

// --- the toolbar's entries ---------------------------------------------------------

TEST(SettingsEntries, SystemMenuItemsAndTheVoicePropertiesCommandOpenTheirDialogs) {
  TestContext t;
  LegacySpeech voice(t);
  ToolbarDialog dialog(t.ctx, voice.speech);
  t.settings.writeInt(key::kSystem, 1);
  EXPECT_TRUE(dialog.onSystemCommand(IDM_PATH_SETTINGS));
  EXPECT_TRUE(dialog.onSystemCommand(IDM_GUIDANCE_SETTINGS));
  EXPECT_TRUE(dialog.onSystemCommand(IDM_RECEIVER_SETTINGS));
  dialog.onCommand(IDC_VOICE_PROPERTIES);
  EXPECT_THAT(t.log.of(ActionKind::DialogRun),
              ElementsAre(DialogRun(IDD_PATH_SETTINGS, false), DialogRun(IDD_GUIDANCE_SETTINGS, false),
                          DialogRun(IDD_RECEIVER_SETTINGS, false), DialogRun(IDD_VOICE_PROPERTIES, false)));
  EXPECT_THAT(t.log.of(ActionKind::Error), IsEmpty());
}

}  // namespace
}  // namespace tabiro
