#include "app/startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/toolbar_dialog.h"
#include "fakes/test_context.h"
#include "mapctl/map_commands.h"
#include "resource.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ActionKind;
using testing::PopupClosed;
using testing::PopupShown;
using testing::PostedCommand;
using testing::Sent;
using testing::TestContext;

TEST(StartupProfile, FirstRunDefaultsAndStoredSentinelsAreReplaced) {
  TestContext t;
  applyFirstRunDefaults(t.settings);
  EXPECT_EQ(t.settings.readInt(key::kWayPointMax, -1), 50);
  EXPECT_EQ(t.settings.readString(key::kFileName, "missing"), "");
  EXPECT_EQ(t.settings.readInt(key::kWaveUp, -1), 30);
  EXPECT_EQ(t.settings.readInt(key::kNaviMode, -1), 0);

  t.settings.writeInt(key::kWayPointMax, 999);
  t.settings.writeString(key::kFileName, "999");
  t.settings.writeInt(key::kWaveUp, 45);
  applyFirstRunDefaults(t.settings);
  EXPECT_EQ(t.settings.readInt(key::kWayPointMax, -1), 50);
  EXPECT_EQ(t.settings.readString(key::kFileName, "missing"), "");
  EXPECT_EQ(t.settings.readInt(key::kWaveUp, -1), 45);
}

TEST(StartupProfile, VersionTwoAloneForcesNavinYouAlone) {
  TestContext t;
  t.settings.writeInt(key::kVer, 1);
  t.settings.writeInt(key::kMapMode, 1);
  t.settings.writeInt(key::kMap, 1);
  applyVersionOverride(t.settings);
  EXPECT_EQ(t.settings.readInt(key::kMapMode, -1), 0);
  EXPECT_EQ(t.settings.readInt(key::kMap, -1), 0);
}

TEST(StartupPlan, EachMapModeRowLaunchesInItsOrder) {
  const auto order = [](int mapMode, int map) {
    std::vector<std::string> out;
    for (const Launch& l : planStartup(mapMode, map).launches) {
      out.push_back(std::string(l.path.name) + (l.kind == LaunchKind::WithoutWaiting ? "!" : ""));
    }
    return out;
  };
  EXPECT_THAT(order(0, 0), ElementsAre("ExeFilePath0"));
  EXPECT_THAT(order(0, 1), ElementsAre("ExeFilePath1"));
  EXPECT_THAT(order(1, 0), ElementsAre("ExeFilePath1!", "ExeFilePath0"));
  EXPECT_THAT(order(1, 1), ElementsAre("ExeFilePath0", "ExeFilePath1"));
  EXPECT_TRUE(order(2, 0).empty());
  EXPECT_EQ(planStartup(0, 0).foregroundTimerMs, 1000);
  EXPECT_EQ(planStartup(1, 0).foregroundTimerMs, 2000);
  EXPECT_EQ(planStartup(0, 1).foregroundTimerMs, 4000);
  EXPECT_EQ(planStartup(5, 5).foregroundTimerMs, 4000);
}

TEST(StartupPlan, AtlasRowsLoadAtlasSetsAndEndFocusOnZoomIn) {
  TestContext t;
  applyStartupLayout(t.view, planStartup(0, 1));
  EXPECT_EQ(t.view.bitmapSet(IDC_ZOOM_OUT), "SS");
  EXPECT_EQ(t.view.bitmapSet(IDC_ZOOM_IN), "SK5");
  EXPECT_EQ(t.view.bitmapSet(IDC_MAP_SWITCH), "M0");
  EXPECT_EQ(t.view.bitmapSet(IDC_SCALE_10K), "SK4");
  EXPECT_EQ(t.view.focused(), IDC_ZOOM_IN);
  EXPECT_EQ(t.view.disabled(), (std::set<int>{IDC_LINKED_GPS, IDC_ROUTE_LIST, IDC_ROUTE_CLEAR}));

  TestContext other;
  applyStartupLayout(other.view, planStartup(3, 0));
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
                          Sent(f.confirm, 273, kRouteConfirmNo, static_cast<std::intptr_t>(f.no)),
                          Sent(f.select, 273, kRouteSelectCancel, 0)));
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
  launchMapPrograms(t.ctx, planStartup(1, 1));
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

TEST(ToolbarQuit, EscPostsExitToTheMapProgramsEnterDoesNot) {
  TestContext t;
  SilentSpeech dispatch;
  SpeechControl speech(dispatch);
  ToolbarDialog dialog(t.ctx, speech);
  const WindowHandle navin = t.desktop.add(kNavinYouClass, "");
  const WindowHandle atlas = t.desktop.add(kAtlas98FrameClass, "");
  EXPECT_TRUE(dialog.onOk());
  EXPECT_THAT(t.log.of(ActionKind::Posted), IsEmpty());
  dialog.onCancel();
  EXPECT_THAT(t.log.of({ActionKind::Posted, ActionKind::PopupShown, ActionKind::PopupClosed}),
              ElementsAre(PopupShown(150), PostedCommand(navin, 57665),
                          PostedCommand(atlas, 57665), PopupClosed(150)));
  EXPECT_EQ(dispatch.releases, 0);  // no speech control, nothing to release
}

TEST(ToolbarQuit, InvalidWaypointKeepsTheToolbarOpen) {
  TestContext t;
  SilentSpeech dispatch;
  SpeechControl speech(dispatch);
  ToolbarDialog dialog(t.ctx, speech);
  for (const std::optional<int> value : {std::optional<int>(0), std::optional<int>(51),
                                         std::optional<int>()}) {
    t.view.typeWaypointField(value);
    EXPECT_FALSE(dialog.onOk());
  }
  EXPECT_EQ(t.log.of(ActionKind::Error).size(), 3u);
  t.view.typeWaypointField(50);
  EXPECT_TRUE(dialog.onOk());
}

TEST(ToolbarStartup, ResetsRuntimeKeysAndStartsTheTimers) {
  TestContext t;
  t.settings.writeInt(key::kGps, 2);
  t.settings.writeInt(key::kWayPoint, 7);
  t.settings.writeInt(key::kCheckTime, 30);
  SilentSpeech dispatch;
  SpeechControl speech(dispatch);
  ToolbarDialog dialog(t.ctx, speech);
  dialog.initialiseBeforeSystemMenu();
  dialog.initialiseAfterSystemMenu();
  EXPECT_EQ(t.settings.readInt(key::kGps, -1), 0);
  EXPECT_EQ(t.settings.readInt(key::kWayPoint, -1), 1);
  EXPECT_EQ(t.settings.readInt(key::kCenter, -1), 1);
  EXPECT_EQ(t.settings.readInt(key::kSystem, -1), 0);
  EXPECT_EQ(t.timers.running(), (std::map<int, int>{{4, 1000}, {100, 500}, {110, 30000}}));
  EXPECT_THAT(t.log.of({ActionKind::PopupShown, ActionKind::PopupClosed}),
              ElementsAre(PopupShown(165), PopupClosed(165)));
  EXPECT_FALSE(t.view.isEnabled(IDC_SVIEW));
  EXPECT_FALSE(t.view.isEnabled(IDC_CENTERING));
}

}  // namespace
}  // namespace tabiro
