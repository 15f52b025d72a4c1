#include "app/startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/toolbar_dialog.h"
#include "fakes/fake_ports.h"
#include "mapctl/map_commands.h"
#include "resource.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
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
  EXPECT_EQ(t.view.sets[IDC_ZOOM_OUT], "SS");
  EXPECT_EQ(t.view.sets[IDC_ZOOM_IN], "SK5");
  EXPECT_EQ(t.view.sets[IDC_MAP_SWITCH], "M0");
  EXPECT_EQ(t.view.sets[IDC_SCALE_10K], "SK4");
  EXPECT_EQ(t.log.only({"focus"}).back(), "focus " + std::to_string(IDC_ZOOM_IN));
  EXPECT_EQ(t.view.disabled, (std::set<int>{IDC_LINKED_GPS, IDC_ROUTE_LIST, IDC_ROUTE_CLEAR}));

  TestContext other;
  applyStartupLayout(other.view, planStartup(3, 0));
  EXPECT_TRUE(other.view.sets.empty());
}

// Navin' You that opens its document area after a while, with the guide
// window first, and asks about the route.
struct LaunchFixture {
  TestContext t;
  WindowHandle main = 0;
  LaunchFixture() {
    t.settings.writeString(key::kExeFilePath0, "C:\\navin\\navin.exe");
    t.view.onLaunch = [this](const std::string&) {
      main = t.desktop.add(kNavinYouClass, "Navin' You");
    };
    t.clock.onSleep = [this] {
      if (main && t.log.now == 200) {
        const WindowHandle area = t.desktop.add(kMdiClientClass, "", main);
        t.desktop.add("D", "ガイダンス", area);
        t.desktop.add("D", "地図", area);
        const WindowHandle confirm = t.desktop.add("#32770", kRouteConfirmTitle);
        t.desktop.add("Button", "いいえ", confirm, kRouteConfirmNo);
        t.desktop.add("#32770", kRouteSelectTitle);
      }
    };
  }
};

TEST(StartupLaunch, NavinYouIsAwaitedAndItsRouteDialogsAnswered) {
  LaunchFixture f;
  EXPECT_TRUE(launchAsNavinYou(f.t.ctx, "C:\\navin\\navin.exe"));
  const auto actions = f.t.log.only({"launch", "send"});
  ASSERT_EQ(actions.size(), 3u);
  EXPECT_EQ(actions[0], "launch C:\\navin\\navin.exe 9");
  EXPECT_THAT(actions[1], ::testing::StartsWith("send "));
  EXPECT_THAT(actions[1], ::testing::HasSubstr(" 273 7 "));
  EXPECT_THAT(actions[2], ::testing::HasSubstr(" 273 9314 "));
}

TEST(StartupLaunch, AMapProgramThatNeverComesIsGivenUpInTime) {
  TestContext t;
  EXPECT_FALSE(launchAsNavinYou(t.ctx, "C:\\missing.exe"));
  EXPECT_GE(t.log.now, kMapProgramWaitMs);
  EXPECT_LT(t.log.now, kMapProgramWaitMs + 1000);
  EXPECT_FALSE(launchAsAtlas(t.ctx, "C:\\missing.exe"));
}

TEST(StartupLaunch, EmptyPathsLaunchNothing) {
  TestContext t;
  launchMapPrograms(t.ctx, planStartup(1, 1));
  EXPECT_TRUE(t.log.only({"launch"}).empty());
  EXPECT_EQ(t.log.now, 0);
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
  EXPECT_TRUE(t.log.only({"post"}).empty());
  dialog.onCancel();
  EXPECT_THAT(t.log.only({"post", "popup"}),
              ElementsAre("popup 150", "post " + std::to_string(navin) + " 273 57665 0",
                          "post " + std::to_string(atlas) + " 273 57665 0", "popup-close 1"));
  EXPECT_EQ(dispatch.releases, 0);  // no speech control, nothing to release
}

TEST(ToolbarQuit, InvalidWaypointKeepsTheToolbarOpen) {
  TestContext t;
  SilentSpeech dispatch;
  SpeechControl speech(dispatch);
  ToolbarDialog dialog(t.ctx, speech);
  for (const std::optional<int> value : {std::optional<int>(0), std::optional<int>(51),
                                         std::optional<int>()}) {
    t.view.field = value;
    EXPECT_FALSE(dialog.onOk());
  }
  EXPECT_EQ(t.log.only({"error"}).size(), 3u);
  t.view.field = 50;
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
  EXPECT_EQ(t.timers.running, (std::map<int, int>{{4, 1000}, {100, 500}, {110, 30000}}));
  EXPECT_THAT(t.log.only({"popup"}), ElementsAre("popup 165", "popup-close 1"));
  EXPECT_TRUE(t.view.disabled.count(IDC_SVIEW));
  EXPECT_TRUE(t.view.disabled.count(IDC_CENTERING));
}

}  // namespace
}  // namespace tabiro
