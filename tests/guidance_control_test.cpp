// Guidance start and stop and the waypoint buttons, with and without files.
#include "guidance/guidance_control.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "core/toolbar_title.h"
#include "core/timer_ids.h"
#include "fakes/route_builder.h"
#include "fakes/sequences.h"
#include "fakes/test_context.h"
#include "guidance/text_file.h"
#include "resource.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::ActionKind;
using testing::BitmapSet;
using testing::Enabled;
using testing::ErrorShown;
using testing::Focus;
using testing::PostedCommand;
using testing::SoundResource;
using testing::TestContext;
using testing::WaypointField;
using testing::WorkerStarted;
using testing::betweenRaises;

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class Guidance : public ::testing::Test {
 protected:
  Guidance() {
    t.settings.writeInt(key::kWavNavi, 0);
    t.settings.writeInt(key::kGps, 1);
    route = t.dir.file("drive.nyp");
    cameras = t.dir.file("drive.pot");
    writeFile(route, testing::routeFileText({{{32873600, 128801408}, "右"},
                                             {{32874600, 128801408}, "目"}}));
    writeFile(cameras, "ORD=POI/tex=レーダ/kei=139'45'30'5/ido=35'40'12'5/deg=\r\n");
  }

  TestContext t;
  std::string route, cameras;
};

TEST_F(Guidance, StartLoadsBothFilesAnnouncesAndStartsTheReaderAndTheEngine) {
  t.settings.writeString(key::kFileName, route);
  t.settings.writeString(key::kPot, cameras);
  startGuidance(t.ctx);
  EXPECT_THAT(t.log.actions(),
              ElementsAreArray(betweenRaises(
                  BitmapSet(IDC_NAVIGATION, "OTON", false), Focus(IDC_GPS), Focus(IDC_NAVIGATION),
                  Enabled(IDC_ADD_CAMERA, true), SoundResource("DING"), SoundResource("START"),
                  WorkerStarted("positionReader"), WorkerStarted("guidanceEngine"))));
  EXPECT_EQ(t.settings.storedInt(key::kWayPointMax).value_or(0), 2);
  EXPECT_EQ(load(t.state.cameras.row(1).direction), 999);
  EXPECT_EQ(load(t.state.guidanceRun), 1);
  EXPECT_EQ(load(t.state.positionReaderRun), 1);
  EXPECT_EQ(t.settings.storedInt(key::kWavNavi).value_or(0), 1);
}

TEST_F(Guidance, WithSpeechThePhraseIsSpokenUnlessAntiTosOrAPlayerAsksForTheSound) {
  store(t.state.speechReady, 1);
  t.settings.writeString(key::kPot, cameras);
  t.settings.writeInt(key::kSaveTrk, 1);
  const WindowHandle toolbar = t.desktop.add("#32770", kToolbarTitle);
  startGuidance(t.ctx);
  EXPECT_THAT(t.log.of(ActionKind::Posted), ElementsAre(PostedCommand(toolbar, IDC_SPEAK)));
  const std::optional<QueuedPhrase> queued = t.state.speechText.pop();
  ASSERT_TRUE(queued);
  EXPECT_EQ(queued->text, kGuidanceStartPhrase);
  EXPECT_EQ(queued->fallback, (FallbackSound{"START", true}));
  EXPECT_THAT(t.log.of(ActionKind::Sound), ElementsAre(SoundResource("DING")));
  EXPECT_THAT(t.log.of(ActionKind::WorkerStarted), ElementsAre(WorkerStarted("guidanceEngine")))
      << "with the track log the reader runs already";

  t.settings.writeInt(key::kAntiTos, 1);
  t.log.clear();
  guidanceStopped(t.ctx);
  EXPECT_THAT(t.log.of(ActionKind::Sound),
              ElementsAre(SoundResource("DING"), SoundResource("END")));
  EXPECT_FALSE(t.state.speechText.pop());
}

// A waypoint number the loaded route does not reach (a longer route before,
// or the end of this one) starts again at waypoint 1.
TEST_F(Guidance, StartGuidesOnlyToAWaypointTheRouteLoaded) {
  const std::pair<int, int> cases[] = {{2, 2}, {3, 1}, {9, 1}};  // "WayPoint" before, after
  for (const auto& [before, after] : cases) {
    TestContext s;
    s.settings.writeInt(key::kWavNavi, 0);
    s.settings.writeString(key::kFileName, route);  // two waypoints
    s.settings.writeInt(key::kWayPoint, before);
    startGuidance(s.ctx);
    EXPECT_EQ(s.settings.storedInt(key::kWayPoint).value_or(0), after) << before;
    if (before == after) {
      EXPECT_THAT(s.log.of(ActionKind::WaypointField), IsEmpty());
    } else {
      EXPECT_THAT(s.log.of(ActionKind::WaypointField), ElementsAre(WaypointField(1))) << before;
    }
    EXPECT_EQ(load(s.state.guidanceRun), 1);
  }
}

TEST_F(Guidance, WithoutARouteOnlyCamerasAreGuided) {
  t.settings.writeString(key::kPot, cameras);
  startGuidance(t.ctx);
  EXPECT_EQ(load(t.state.waypoints.row(1).latitude), 165888000);
  EXPECT_EQ(t.settings.storedInt(key::kWayPointMax).value_or(0), 1);
  EXPECT_EQ(t.view.waypointField(), 1);
  EXPECT_EQ(load(t.state.guidanceRun), 1);
}

TEST_F(Guidance, WithNeitherFileNothingStartsAndNothingIsSaid) {
  startGuidance(t.ctx);
  EXPECT_THAT(t.log.actions(), ElementsAreArray(betweenRaises(WaypointField(1))));
  EXPECT_EQ(t.settings.storedInt(key::kWavNavi).value_or(1), 0);
  EXPECT_EQ(load(t.state.guidanceRun), 0);
}

TEST_F(Guidance, AFileThatCannotBeOpenedIsReportedAndNothingStarts) {
  for (const bool badRoute : {true, false}) {
    TestContext s;
    s.settings.writeInt(key::kWavNavi, 0);
    const std::string missing = s.dir.file("missing");
    s.settings.writeString(key::kFileName, badRoute ? missing : route);
    s.settings.writeString(key::kPot, badRoute ? cameras : missing);
    startGuidance(s.ctx);
    EXPECT_THAT(s.log.of(ActionKind::Error), ElementsAre(ErrorShown(fileOpenErrorText(missing))));
    EXPECT_THAT(s.log.of({ActionKind::WorkerStarted, ActionKind::Sound, ActionKind::BitmapSet}),
                IsEmpty());
    EXPECT_EQ(load(s.state.guidanceRun), 0);
    EXPECT_EQ(s.settings.storedInt(key::kWavNavi).value_or(1), 0);
  }
}

// A file that loads but hides something from guidance is named to the
// driver in one box per start, with the reasons; guidance runs regardless.
TEST_F(Guidance, FilesThatLoadBadlyAreToldOnceAndGuidanceStartsAnyway) {
  const auto crLf = [](std::string text) {
    for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) {
      text.insert(at, "\r");
    }
    return text;
  };
  const std::string camera = "ORD=POI/tex=レーダ/kei=139'45'30'5/ido=35'40'12'5/deg=\r\n";
  const std::string twoWaypoints = testing::routeFileText({{{32873600, 128801408}, "右"},
                                                           {{32874600, 128801408}, "目"}});
  const std::string fiveWaypoints = testing::routeFileText(
      {{{1, 1}, "右"}, {{2, 2}, "右"}, {{3, 3}, "右"}, {{4, 4}, "右"}, {{5, 5}, "目"}});
  struct Case {
    const char* name;
    std::string route, cameras;             // file contents
    std::vector<std::string> said;          // in the box, in this order; none: no box
  };
  const Case cases[] = {
      {"clean", twoWaypoints, camera, {}},
      {"empty point file", twoWaypoints, "", {}},
      {"route saved with CR LF",
       crLf(twoWaypoints),
       camera,
       {"ルートファイル ROUTE に地点が見つかりません。", "1行目: 目印の行", "CR LF",
        "8行目: 目印の行", "案内は読み込めた分で始めます。"}},
      {"many warnings are cut short",
       crLf(fiveWaypoints),
       camera,
       {"に地点が見つかりません。", "1行目:", "8行目:", "15行目:", "ほか2件", "tabiro-inspect route"}},
      {"not a route file", camera, camera,
       {"ルートファイル ROUTE に地点が見つかりません。", "ルートファイルではないようです。"}},
      {"camera list ends early",
       twoWaypoints,
       camera + "ORD=POI/tex=見出し\r\n" + camera + camera,
       {"オービスファイル CAMERAS:", "2行目: 緯度か経度が0の行", "後の2件のオービスは警報されません。"}},
      {"not a point file", twoWaypoints, twoWaypoints,
       {"オービスファイル CAMERAS にオービスが見つかりません。", "オービスファイルではないようです。"}},
      {"both in one box",
       crLf(twoWaypoints),
       "\r\n" + camera,
       {"ルートファイル ROUTE に地点が見つかりません。", "オービスファイル CAMERAS にオービスが見つかりません。",
        "1行目: 緯度か経度が0の行",
        "案内は読み込めた分で始めます。"}},
  };
  for (const Case& c : cases) {
    TestContext s;
    s.settings.writeInt(key::kWavNavi, 0);
    const std::string routePath = s.dir.file("drive.nyp");
    const std::string cameraPath = s.dir.file("drive.pot");
    writeFile(routePath, c.route);
    writeFile(cameraPath, c.cameras);
    s.settings.writeString(key::kFileName, routePath);
    s.settings.writeString(key::kPot, cameraPath);
    startGuidance(s.ctx);
    EXPECT_EQ(load(s.state.guidanceRun), 1) << c.name;
    EXPECT_THAT(s.log.of(ActionKind::WorkerStarted), ::testing::Contains(WorkerStarted("guidanceEngine")))
        << c.name;
    const auto boxes = s.log.of(ActionKind::Error);
    if (c.said.empty()) {
      EXPECT_THAT(boxes, IsEmpty()) << c.name;
      continue;
    }
    ASSERT_EQ(boxes.size(), 1U) << c.name;
    std::size_t at = 0;
    for (std::string words : c.said) {
      for (const auto& [name, path] : {std::pair{"ROUTE", routePath}, {"CAMERAS", cameraPath}}) {
        if (const auto p = words.find(name); p != std::string::npos) words.replace(p, std::strlen(name), path);
      }
      const std::size_t found = boxes[0].text.find(words, at);
      EXPECT_NE(found, std::string::npos) << c.name << ": \"" << words << "\" in\n" << boxes[0].text;
      if (found != std::string::npos) at = found + words.size();
    }
  }
}

TEST_F(Guidance, ASecondPressAsksTheEngineToStopAndTheReaderToo) {
  for (const int saveTrk : {0, 1}) {
    t.settings.writeInt(key::kWavNavi, 1);
    t.settings.writeInt(key::kSaveTrk, saveTrk);
    store(t.state.guidanceRun, 1);
    store(t.state.positionReaderRun, 1);
    t.log.clear();
    startGuidance(t.ctx);
    EXPECT_THAT(t.log.actions(), ElementsAreArray(betweenRaises()));
    EXPECT_EQ(load(t.state.guidanceRun), 0);
    EXPECT_EQ(load(t.state.positionReaderRun), saveTrk) << "with the track log the reader stays";
    EXPECT_EQ(t.settings.storedInt(key::kWavNavi).value_or(0), 1) 
        << "until the engine sends IDC_GUIDANCE_ENDED";
  }
}

TEST_F(Guidance, TheEndAnnouncesAndPutsTheToolbarBackToGuidanceOff) {
  t.settings.writeInt(key::kWavNavi, 1);
  t.settings.writeInt(key::kPointLevel, 2);
  t.settings.writeInt(key::kWayPoint, 3);
  guidanceStopped(t.ctx);
  EXPECT_THAT(t.log.actions(),
              ElementsAre(SoundResource("DING"), SoundResource("END"), WaypointField(3),
                          BitmapSet(IDC_NAVIGATION, "OT", true), Enabled(IDC_NAVIGATION, false),
                          Enabled(IDC_SVIEW, false), Focus(IDC_GPS), Focus(IDC_NAVIGATION),
                          Enabled(IDC_ADD_CAMERA, false)));
  EXPECT_EQ(t.settings.storedInt(key::kWavNavi).value_or(1), 0);
  EXPECT_EQ(t.settings.storedInt(key::kPointLevel).value_or(2), 0);
}

TEST_F(Guidance, WaypointButtonsStepWithinOneAndWayPointMax) {
  t.settings.writeInt(key::kWayPointMax, 3);
  t.settings.writeInt(key::kPointLevel, 2);
  waypointBack(t.ctx);
  EXPECT_THAT(t.log.actions(), ElementsAreArray(betweenRaises(WaypointField(1))));
  EXPECT_EQ(t.settings.storedInt(key::kPointLevel).value_or(2), 0);
  for (int i = 0; i < 4; ++i) waypointForward(t.ctx);
  EXPECT_THAT(t.log.of(ActionKind::WaypointField),
              ElementsAre(WaypointField(1), WaypointField(2), WaypointField(3), WaypointField(3),
                          WaypointField(3)));
  waypointBack(t.ctx);
  EXPECT_EQ(t.settings.storedInt(key::kWayPoint).value_or(0), 2);
}

}  // namespace
}  // namespace tabiro
