#include "app/startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/toolbar_handlers.h"
#include "core/timer_ids.h"
#include "fakes/fake_sapi_voice.h"
#include "fakes/sequences.h"
#include "fakes/test_context.h"
#include "mapctl/map_commands.h"
#include "mapctl/map_launch.h"
#include "platform/winmsg.h"
#include "resource.h"

namespace tabiro {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ActionKind;
using testing::BitmapSet;
using testing::Enabled;
using testing::ErrorShown;
using testing::Focus;
using testing::PopupClosed;
using testing::PopupShown;
using testing::PostedCommand;
using testing::Sent;
using testing::SentCommand;
using testing::Sleep;
using testing::TestContext;

TEST(StartupProfile, FirstRunDefaultsAndStoredSentinelsAreReplaced) {
  TestContext t;
  applyFirstRunDefaults(t.settings);
  EXPECT_EQ(t.settings.storedInt(key::kWayPointMax).value_or(-1), 50);
  EXPECT_EQ(t.settings.storedString(key::kFileName).value_or("missing"), "");
  EXPECT_EQ(t.settings.storedInt(key::kWaveUp).value_or(-1), 30);
  EXPECT_EQ(t.settings.storedInt(key::kNaviMode).value_or(-1), 0);

  t.settings.writeInt(key::kWayPointMax, 999);
  t.settings.writeString(key::kFileName, "999");
  t.settings.writeInt(key::kWaveUp, 45);
  applyFirstRunDefaults(t.settings);
  EXPECT_EQ(t.settings.storedInt(key::kWayPointMax).value_or(-1), 50);
  EXPECT_EQ(t.settings.storedString(key::kFileName).value_or("missing"), "");
  EXPECT_EQ(t.settings.storedInt(key::kWaveUp).value_or(-1), 45);
}

TEST(StartupProfile, EveryRunTimeKeyGoesBackToIdle) {
  struct RunTimeKey {
    ProfileKey key;
    std::int32_t busy, idle;
  };
  const RunTimeKey keys[] = {{key::kGps, 2, 0},     {key::kCenter, 0, 1},   {key::kMatch, 1, 0},
                             {key::kWavNavi, 1, 0}, {key::kWayPoint, 9, 1}, {key::kPointLevel, 3, 0}};
  TestContext t;
  for (const RunTimeKey& k : keys) t.settings.writeInt(k.key, k.busy);
  resetRuntimeKeys(t.settings);
  for (const RunTimeKey& k : keys) EXPECT_EQ(t.settings.storedInt(k.key).value_or(-1), k.idle) << k.key.name;
}

TEST(StartupProfile, VersionTwoAloneForcesNavinYouAlone) {
  TestContext t;
  t.settings.writeInt(key::kVer, 1);
  t.settings.writeInt(key::kMapMode, 1);
  t.settings.writeInt(key::kMap, 1);
  applyVersionOverride(t.settings);
  EXPECT_EQ(t.settings.storedInt(key::kMapMode).value_or(-1), 0);
  EXPECT_EQ(t.settings.storedInt(key::kMap).value_or(-1), 0);
}

TEST(StartupPlan, EachMapModeRowLaunchesInItsOrder) {
  const auto order = [](MapMode mapMode, MapInFront front) {
    std::vector<std::string> out;
    for (const Launch& l : planStartup(mapMode, front).launches) {
      out.push_back(std::string(l.path.name) + (l.kind == LaunchKind::WithoutWaiting ? "!" : ""));
    }
    return out;
  };
  constexpr MapMode kOne = MapMode::Alternating;
  constexpr MapMode kBoth = MapMode::Simultaneous;
  constexpr MapInFront kNavin = MapInFront::NavinYou;
  constexpr MapInFront kAtlas = MapInFront::Atlas;
  EXPECT_THAT(order(kOne, kNavin), ElementsAre("ExeFilePath0"));
  EXPECT_THAT(order(kOne, kAtlas), ElementsAre("ExeFilePath1"));
  EXPECT_THAT(order(kBoth, kNavin), ElementsAre("ExeFilePath1!", "ExeFilePath0"));
  EXPECT_THAT(order(kBoth, kAtlas), ElementsAre("ExeFilePath0", "ExeFilePath1"));
  EXPECT_TRUE(order(MapMode::Unknown, kNavin).empty());
  EXPECT_EQ(planStartup(kOne, kNavin).foregroundTimerMs, 1000);
  EXPECT_EQ(planStartup(kBoth, kNavin).foregroundTimerMs, 2000);
  EXPECT_EQ(planStartup(kOne, kAtlas).foregroundTimerMs, 4000);
  EXPECT_EQ(planStartup(MapMode::Unknown, MapInFront::Unknown).foregroundTimerMs, 4000);
}

// Each row's sets in order, every one but the map switch focused as it is
// loaded, and where the focus ends.
TEST(StartupPlan, EachRowLoadsItsSetsFocusesThemAndEndsOnItsButton) {
  const auto layout = [](const char* zoomOut, const char* zoomIn, const char* mapSwitch) {
    return testing::Steps{
        BitmapSet(IDC_ZOOM_OUT, zoomOut, true),   Focus(IDC_ZOOM_OUT),
        BitmapSet(IDC_ZOOM_IN, zoomIn, true),     Focus(IDC_ZOOM_IN),
        BitmapSet(IDC_MAP_SWITCH, mapSwitch, true), BitmapSet(IDC_SCALE_200K, "SK1", true),
        Focus(IDC_SCALE_200K),                    BitmapSet(IDC_SCALE_70K, "SK2", true),
        Focus(IDC_SCALE_70K),                     BitmapSet(IDC_SCALE_20K, "SK3", true),
        Focus(IDC_SCALE_20K),                     BitmapSet(IDC_SCALE_10K, "SK4", true),
        Focus(IDC_SCALE_10K)};
  };
  const testing::Steps navin = layout("W", "U", "M1"), atlas = layout("SS", "SK5", "M0");
  struct Row {
    MapMode mapMode;
    MapInFront front;
    testing::Steps expected;
  };
  using testing::routeButtonsEnabled;
  using testing::then;
  const Row rows[] = {
      {MapMode::Alternating, MapInFront::NavinYou, then(navin, Enabled(IDC_LINKED_GPS, false))},
      {MapMode::Simultaneous, MapInFront::NavinYou, navin},
      {MapMode::Alternating, MapInFront::Atlas,
       then(atlas, Focus(IDC_ZOOM_IN), Enabled(IDC_LINKED_GPS, false), routeButtonsEnabled(false))},
      {MapMode::Simultaneous, MapInFront::Atlas,
       then(atlas, Focus(IDC_ZOOM_IN), routeButtonsEnabled(false))}};
  for (const Row& row : rows) {
    TestContext t;
    applyStartupLayout(t.view, planStartup(row.mapMode, row.front));
    EXPECT_EQ(t.log.actions(), row.expected)
        << "MapMode " << static_cast<int>(row.mapMode) << " Map " << static_cast<int>(row.front);
    EXPECT_EQ(t.view.focused(), row.front == MapInFront::NavinYou ? IDC_SCALE_10K : IDC_ZOOM_IN);
  }
}

TEST(StartupPlan, AtlasRowsLoadAtlasSetsAndEndFocusOnZoomIn) {
  TestContext t;
  applyStartupLayout(t.view, planStartup(MapMode::Alternating, MapInFront::Atlas));
  EXPECT_EQ(t.view.bitmapSet(IDC_ZOOM_OUT), "SS");
  EXPECT_EQ(t.view.bitmapSet(IDC_ZOOM_IN), "SK5");
  EXPECT_EQ(t.view.bitmapSet(IDC_MAP_SWITCH), "M0");
  EXPECT_EQ(t.view.bitmapSet(IDC_SCALE_10K), "SK4");
  EXPECT_EQ(t.view.focused(), IDC_ZOOM_IN);
  EXPECT_EQ(t.view.disabled(), (std::set<int>{IDC_LINKED_GPS, IDC_ROUTE_LIST, IDC_ROUTE_CLEAR}));

  TestContext other;
  applyStartupLayout(other.view, planStartup(MapMode::Unknown, MapInFront::NavinYou));
  EXPECT_THAT(other.log.of(ActionKind::BitmapSet), IsEmpty());
}

// Navin' You that opens its document area after a while, with the guide
// window first, and asks about the route.
struct LaunchFixture {
  TestContext t;
  WindowHandle main = 0;
  WindowHandle confirm = 0;
  WindowHandle no = 0;
  WindowHandle select = 0;
  LaunchFixture() {
    t.settings.writeString(key::kExeFilePath0, "C:\\navin\\navin.exe");
    t.launcher.onLaunch([this](const std::string&, int) {
      main = t.desktop.add(kNavinYouClass, "Navin' You");
      return true;
    });
    t.desktop.atTime(200, [this] {
      if (!main) return;
      const WindowHandle area = t.desktop.add(kMdiClientClass, "", main);
      t.desktop.add("D", "ガイダンス", area);
      t.desktop.add("D", "地図", area);
      confirm = t.desktop.add("#32770", kRouteConfirmTitle);
      no = t.desktop.add("Button", "いいえ", confirm, kRouteConfirmNo);
      select = t.desktop.add("#32770", kRouteSelectTitle);
    });
  }
};

TEST(StartupLaunch, NavinYouIsAwaitedAndItsRouteDialogsAnswered) {
  LaunchFixture f;
  EXPECT_TRUE(launchAsNavinYou(f.t.ctx, "C:\\navin\\navin.exe"));
  EXPECT_THAT(f.t.log.of({ActionKind::Launch, ActionKind::Sent}),
              ElementsAre(testing::Launched("C:\\navin\\navin.exe", 9),
                          Sent(f.confirm, win::kWmCommand, kRouteConfirmNo, static_cast<std::intptr_t>(f.no)),
                          Sent(f.select, win::kWmCommand, kRouteSelectCancel, 0)));
}

// Navin' You 2.0 alone: the own map is the first document unless item kWindowMenuDocumentItem of
// the window menu names ProAtlas; the pick is sent.
TEST(StartupLaunch, VersionTwoAlonePicksTheOwnMapFromTheWindowMenu) {
  for (const bool proAtlasFirst : {false, true}) {
    LaunchFixture f;
    f.t.settings.writeInt(key::kVer, 1);
    f.t.desktop.atTime(100, [&f, proAtlasFirst] {
      std::vector<std::string> items(14, "");
      items[13] = proAtlasFirst ? "&1 ProAtlas - 関東" : "&1 地図 - 東京";
      f.t.desktop.setMenu(f.main,
                          {{"ﾌｧｲﾙ(&F)", {"開く"}}, {"表示(&V)", {}}, {"ｳｨﾝﾄﾞｳ(&W)", items}});
    });
    launchMapPrograms(f.t.ctx, planStartup(MapMode::Alternating, MapInFront::NavinYou));
    EXPECT_EQ(f.t.log.of(ActionKind::Sent).back(),
              SentCommand(f.main, proAtlasFirst ? kNavinSecondDocument : kNavinFirstDocument));
  }

  // "Ver" 0 picks nothing.
  LaunchFixture f;
  launchMapPrograms(f.t.ctx, planStartup(MapMode::Alternating, MapInFront::NavinYou));
  EXPECT_EQ(f.t.log.of(ActionKind::Sent).back(), Sent(f.select, win::kWmCommand, kRouteSelectCancel, 0));
}

// The map view counts as open only when a document that is neither the
// ProAtlas document nor the guide window is reached; the walk goes round
// from the first document until then.
TEST(StartupLaunch, TheDocumentWalkStartsAgainFromTheFirstDocument) {
  TestContext t;
  WindowHandle proAtlas = 0;
  t.launcher.onLaunch([&](const std::string&, int) {
    const WindowHandle area = t.desktop.add(kMdiClientClass, "", t.desktop.add(kNavinYouClass, ""));
    proAtlas = t.desktop.add("D", "ProAtlas - 関東", area);
    t.desktop.add("D", "ガイダンス", area);
    t.desktop.add("#32770", kRouteSelectTitle);
    return true;
  });
  // The first document turns into the map while the walk is at the second.
  t.desktop.atTime(180, [&] { t.desktop.setTitle(proAtlas, "地図 - 東京"); });
  EXPECT_TRUE(launchAsNavinYou(t.ctx, "navin.exe"));
  EXPECT_THAT(t.log.of({ActionKind::Sleep, ActionKind::Sent}),
              ElementsAre(Sleep(50), Sleep(50), Sleep(50), Sleep(50), ::testing::_));
}

// A program that cannot be started, or whose window goes away before it is
// ready, is not waited for.
TEST(StartupLaunch, AFailedLaunchOrAProgramThatDiesCostsNoWait) {
  TestContext t;
  t.settings.writeString(key::kExeFilePath0, "C:\\missing\\navin.exe");
  t.settings.writeString(key::kExeFilePath1, "C:\\missing\\atlas.exe");
  t.launcher.onLaunch([](const std::string&, int) { return false; });
  EXPECT_FALSE(launchAsNavinYou(t.ctx, "C:\\missing\\navin.exe"));
  EXPECT_FALSE(launchAsAtlas(t.ctx, "C:\\missing\\atlas.exe"));
  launchMapPrograms(t.ctx, planStartup(MapMode::Simultaneous, MapInFront::Atlas));
  EXPECT_EQ(t.log.of(ActionKind::Launch).size(), 4u);
  EXPECT_EQ(t.clock.nowMs(), 0);

  TestContext navin;
  navin.launcher.onLaunch([&](const std::string&, int) {
    const WindowHandle main = navin.desktop.add(kNavinYouClass, "");
    navin.desktop.atTime(1000, [&navin, main] { navin.desktop.destroy(main); });
    return true;
  });
  EXPECT_FALSE(launchAsNavinYou(navin.ctx, "navin.exe"));
  EXPECT_LT(navin.clock.nowMs(), 1100);

  TestContext atlas;
  atlas.launcher.onLaunch([&](const std::string&, int) {
    const WindowHandle frame = atlas.desktop.add(kAtlas98FrameClass, "");
    atlas.desktop.add("Child", "", frame);
    atlas.desktop.atTime(1000, [&atlas, frame] { atlas.desktop.destroy(frame); });
    return true;
  });
  EXPECT_FALSE(launchAsAtlas(atlas.ctx, "atlas.exe"));
  EXPECT_LT(atlas.clock.nowMs(), 2100) << "at most one poll after the window went";
  EXPECT_EQ(load(atlas.state.atlasWindowReady), 0);
}

TEST(StartupLaunch, AMapProgramThatNeverComesIsGivenUpInTime) {
  TestContext t;
  EXPECT_FALSE(launchAsNavinYou(t.ctx, "C:\\missing.exe"));
  EXPECT_GE(t.clock.nowMs(), kMapProgramWaitMs);
  EXPECT_LT(t.clock.nowMs(), kMapProgramWaitMs + 1000);
  EXPECT_FALSE(launchAsAtlas(t.ctx, "C:\\missing.exe"));
}

TEST(StartupLaunch, EmptyPathsLaunchNothing) {
  TestContext t;
  launchMapPrograms(t.ctx, planStartup(MapMode::Simultaneous, MapInFront::Atlas));
  EXPECT_THAT(t.log.of(ActionKind::Launch), IsEmpty());
  EXPECT_EQ(t.clock.nowMs(), 0);
}

class SilentSpeech : public SpeechDispatch {
 public:
  bool create(const char*) override { return false; }
  void release() override { ++releases; }
  bool connected() const override { return false; }
  void setLong(int, std::int32_t) override {}
  void setBool(int, bool) override {}
  std::int32_t getLong(int) override { return 0; }
  bool getBool(int) override { return false; }
  std::int32_t callWithString(int, const std::string&) override { return 0; }
  std::int32_t callWithLong(int, std::int32_t) override { return 0; }
  int releases = 0;
};

// The toolbar's handlers over a test context and a speech dispatch.
struct Toolbar {
  Toolbar(TestContext& t, SpeechDispatch& dispatch)
      : legacy(dispatch), speech(t.ctx, legacy, sapi), dialog(t.ctx, speech) {}
  void start() {
    dialog.initialiseBeforeSystemMenu();
    dialog.initialiseAfterSystemMenu();
  }
  SpeechControl legacy;
  testing::FakeSapiVoice sapi;
  ToolbarSpeech speech;
  ToolbarDialog dialog;
};

// A speech control that is there, and records what it is told.
class PresentSpeech : public SilentSpeech {
 public:
  bool create(const char* progId) override {
    calls.push_back(std::string("create ") + progId);
    return true;
  }
  bool connected() const override { return true; }
  void setLong(int id, std::int32_t v) override { calls.push_back("long " + std::to_string(id) + "=" + std::to_string(v)); }
  void setBool(int id, bool v) override { calls.push_back("bool " + std::to_string(id) + "=" + std::to_string(v)); }
  std::vector<std::string> calls;
};

TEST(ToolbarStartup, WithTheSpeechControlItIsConfiguredAndReleasedOnBothQuitPaths) {
  for (const bool esc : {false, true}) {
    TestContext t;
    t.settings.writeInt(key::kSpeed, 7);
    PresentSpeech dispatch;
    Toolbar toolbar(t, dispatch);
    toolbar.start();
    EXPECT_EQ(load(t.state.speechReady), 1);
    EXPECT_EQ(t.settings.storedInt(key::kSystem).value_or(-1), 1);
    ASSERT_EQ(dispatch.calls.size(), 13u) << "creation and the twelve stored voice properties";
    EXPECT_EQ(dispatch.calls.front(), "create TOSTTSX.TOSTTSXCtrl.1");
    EXPECT_EQ(dispatch.calls[1], "bool 6=1");
    EXPECT_EQ(dispatch.calls[11], "long 12=7");
    EXPECT_EQ(dispatch.releases, 0);
    EXPECT_FALSE(toolbar.dialog.onCommandMessage(esc ? win::kIdCancel : win::kIdOk, win::kBnClicked));
    EXPECT_EQ(dispatch.releases, 1) << (esc ? "Esc" : "Enter");
  }
}

TEST(ToolbarQuit, EscPostsExitToTheMapProgramsEnterDoesNot) {
  TestContext t;
  SilentSpeech dispatch;
  Toolbar toolbar(t, dispatch);
  ToolbarDialog& dialog = toolbar.dialog;
  const WindowHandle navin = t.desktop.add(kNavinYouClass, "");
  const WindowHandle atlas = t.desktop.add(kAtlas98FrameClass, "");
  EXPECT_TRUE(dialog.onOk());
  EXPECT_THAT(t.log.of(ActionKind::Posted), IsEmpty());
  dialog.onCancel();
  EXPECT_THAT(t.log.of({ActionKind::Posted, ActionKind::PopupShown, ActionKind::PopupClosed}),
              ElementsAre(PopupShown(IDD_POPUP_EXIT), PostedCommand(navin, win::kCmdAppExit),
                          PostedCommand(atlas, win::kCmdAppExit), PopupClosed(IDD_POPUP_EXIT)));
  EXPECT_EQ(dispatch.releases, 0);  // no speech control, nothing to release
}

TEST(ToolbarQuit, InvalidWaypointKeepsTheToolbarOpen) {
  TestContext t;
  SilentSpeech dispatch;
  Toolbar toolbar(t, dispatch);
  ToolbarDialog& dialog = toolbar.dialog;
  for (const std::optional<int> value : {std::optional<int>(0), std::optional<int>(502),
                                         std::optional<int>()}) {
    t.view.typeWaypointField(value);
    EXPECT_FALSE(dialog.onOk());
  }
  EXPECT_THAT(t.log.of(ActionKind::Error),
              Each(ErrorShown("ﾅﾋﾞﾎﾟｲﾝﾄには 1 から 501 までの整数を入力してください。")));
  EXPECT_EQ(t.log.of(ActionKind::Error).size(), 3u);
  // One past the 500th row, where a finished route leaves the field.
  t.view.typeWaypointField(501);
  EXPECT_TRUE(dialog.onOk());
}

TEST(ToolbarStartup, ResetsRuntimeKeysAndStartsTheTimers) {
  TestContext t;
  t.settings.writeInt(key::kGps, 2);
  t.settings.writeInt(key::kWayPoint, 7);
  t.settings.writeInt(key::kCheckTime, 30);
  // "Ver" 1 with "MapMode" and "Map" left from an earlier side-by-side run:
  // the start plans for Navin' You alone.
  t.settings.writeInt(key::kVer, 1);
  t.settings.writeInt(key::kMapMode, 1);
  t.settings.writeInt(key::kMap, 1);
  SilentSpeech dispatch;
  Toolbar(t, dispatch).start();
  EXPECT_EQ(t.settings.storedInt(key::kGps).value_or(-1), 0);
  EXPECT_EQ(t.settings.storedInt(key::kWayPoint).value_or(-1), 1);
  EXPECT_EQ(t.settings.storedInt(key::kCenter).value_or(-1), 1);
  EXPECT_EQ(t.settings.storedInt(key::kSystem).value_or(-1), 0);
  EXPECT_EQ(t.timers.running(), (std::map<int, int>{{timer::kBringMapToFront, 1000},
                                                 {timer::kAudioErrorWatch, 500},
                                                 {timer::kGuideCheck, 30000}}));
  EXPECT_THAT(t.log.of({ActionKind::PopupShown, ActionKind::PopupClosed}),
              ElementsAre(PopupShown(IDD_POPUP_STARTUP), PopupClosed(IDD_POPUP_STARTUP)));
  EXPECT_FALSE(t.view.isEnabled(IDC_SVIEW));
  EXPECT_FALSE(t.view.isEnabled(IDC_CENTERING));
  EXPECT_FALSE(t.view.isEnabled(IDC_LINKED_GPS)) << "Navin' You alone has no linked GPS";
  EXPECT_TRUE(t.view.isEnabled(IDC_ROUTE_LIST));
}

// Clicks and commands without a notification run their handler once; a
// double click's second notification and the field's notifications do not.
TEST(ToolbarCommands, OnlyClicksAndPlainCommandsRunHandlers) {
  TestContext t;
  SilentSpeech dispatch;
  Toolbar toolbar(t, dispatch);
  ToolbarDialog& dialog = toolbar.dialog;
  t.desktop.add(kNavinYouClass, "");
  EXPECT_TRUE(dialog.onCommandMessage(IDC_HELP_BUTTON, win::kBnDoubleClicked));
  EXPECT_TRUE(dialog.onCommandMessage(win::kIdCancel, win::kBnDoubleClicked));  // Esc's button
  EXPECT_TRUE(dialog.onCommandMessage(IDC_EXIT, win::kBnDoubleClicked));
  EXPECT_TRUE(dialog.onCommandMessage(IDC_WAYPOINT_FIELD, 0x300));  // EN_CHANGE
  EXPECT_THAT(t.log.actions(), IsEmpty());

  EXPECT_TRUE(dialog.onCommandMessage(IDC_HELP_BUTTON, win::kBnClicked));
  EXPECT_THAT(t.log.of(ActionKind::Help), ElementsAre(testing::Help()));
  EXPECT_FALSE(dialog.onCommandMessage(IDC_EXIT, win::kBnClicked)) << "× quits like Enter";
  EXPECT_THAT(t.log.of(ActionKind::Posted), IsEmpty());
}

// Help: the raise timers stop, the help opens, and the raise timer of the
// running GPS is armed again.
TEST(ToolbarCommands, HelpStopsTheRaiseTimersAndArmsThemAgain) {
  TestContext t;
  SilentSpeech dispatch;
  Toolbar toolbar(t, dispatch);
  ToolbarDialog& dialog = toolbar.dialog;
  t.settings.writeInt(key::kGps, 2);
  dialog.onCommand(IDC_HELP_BUTTON);
  EXPECT_THAT(t.log.actions(),
              ::testing::ElementsAreArray(testing::then(
                  testing::raiseTimersStopped(), testing::Help(),
                  testing::TimerStart(timer::kRaiseAfterLinked, 2000))));
}

}  // namespace
}  // namespace tabiro
