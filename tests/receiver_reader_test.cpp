// Positions from a GPS receiver: the fix a receiver's sentence makes, the
// lost and back watch, the reader on scripted links, the receiver test and
// the GPS button with a receiver source.
#include "gps/receiver_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "app/toolbar_handlers.h"
#include "fakes/test_context.h"
#include "gps/gps_control.h"
#include "gps/position_reader.h"
#include "gps/receiver_test.h"
#include "mapctl/map_commands.h"

namespace tabiro {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ActionKind;
using testing::FakeOpening;
using testing::FakeRead;
using testing::PictureShown;
using testing::Sleep;
using testing::TestContext;
using testing::WorkerStarted;

std::string line(const std::string& body) { return testing::nmeaSentence(body) + "\r\n"; }

// One second of a receiver: RMC (status, knots) and GGA.
std::string second(int n, const char* status = "A", const char* knots = "20.0") {
  char rmc[128];
  std::snprintf(rmc, sizeof rmc, "GPRMC,0115%02d.00,%s,3540.%04d,N,13945.5881,E,%s,13.6,070326,,",
                n % 60, status, 6000 + 10 * n, knots);
  char gga[128];
  std::snprintf(gga, sizeof gga, "GPGGA,0115%02d.00,3540.%04d,N,13945.5881,E,1,08,1.0,3.6,M,39.5,M,,",
                n % 60, 6000 + 10 * n);
  return line(rmc) + line(gga);
}

TEST(ReceiverFix, TakesTheFilesDatumRoundsSpeedAndHoldsTheHeadingWhileCrawling) {
  struct Case {
    const char* what;
    double speedKmh;
    std::optional<double> course;
    std::int32_t heading;
  } cases[] = {
      {"driving", 18.52, 13.6, 14},
      {"north, course 359.6", 40, 359.6, 0},
      {"crawling", 2.9, 200, 77},
      {"course empty", 50, std::nullopt, 77},
  };
  // The datum check vector: WGS84 35.713277 N 139.807461 E is Tokyo datum
  // 35.71004 N 139.81070 E.
  const GeoDegrees wgs84{35.713277, 139.807461};
  for (const Case& c : cases) {
    const GpsFix fix = gpsFixFrom({wgs84, c.speedKmh, c.course}, FileDatum::Tokyo, 77);
    EXPECT_EQ(fix.heading, c.heading) << c.what;
    EXPECT_EQ(fix.speedKmh, static_cast<std::int32_t>(std::lround(c.speedKmh))) << c.what;
    const GeoDegrees tokyo = degreesFromCoordinates({fix.latitude, fix.longitude});
    EXPECT_NEAR(tokyo.latitude, 35.71004, 0.5 / 111000) << c.what;
    EXPECT_NEAR(tokyo.longitude, 139.81070, 0.5 / 90000) << c.what;
  }
  const GpsFix asIs = gpsFixFrom({wgs84, 0, {}}, FileDatum::Wgs84, 0);
  EXPECT_EQ(asIs.latitude, coordinatesFromDegrees(wgs84).latitude);
  EXPECT_EQ(asIs.latitudeText, "35:42:47.8");
  EXPECT_EQ(asIs.longitudeText, "139:48:26.9");
}

TEST(ReceiverFix, WritesPositionsAsTheStatusBarShowsThem) {
  struct Case {
    std::int32_t value;
    int digits;
    const char* text;
  } cases[] = {
      {32891520, 2, "35:41:22.5"},
      {139 * 921600 + 45 * 15360 + 2611, 3, "139:45:10.2"},
      {35 * 921600 + 5 * 15360 + 256 * 3, 2, "35:05:03.0"},
      {-(33 * 921600 + 51 * 15360), 2, "-33:51:00.0"},
  };
  for (const Case& c : cases) EXPECT_EQ(coordinateText(c.value, c.digits), c.text);
}

TEST(SignalWatch, IsLostAfterThreeSilentSecondsAndBackAtTheNextFix) {
  using Change = SignalWatch::Change;
  struct Step {
    bool fix;
    std::int64_t atMs;
    Change change;
  } steps[] = {
      {false, 2999, Change::None}, {true, 2999, Change::None},  {false, 5998, Change::None},
      {false, 5999, Change::Lost}, {false, 9000, Change::None}, {true, 9500, Change::Back},
      {true, 9600, Change::None},  {false, 12599, Change::None}, {false, 12600, Change::Lost},
  };
  SignalWatch watch(0);
  for (const Step& s : steps) {
    EXPECT_EQ(s.fix ? watch.fix(s.atMs) : watch.tick(s.atMs), s.change) << s.atMs;
  }
}

class ReceiverReader : public ::testing::Test {
 protected:
  ReceiverReader() {
    t.settings.writeInt(key::kReceiverSource, 1);
    t.settings.writeString(key::kReceiverPort, "COM5");
    t.settings.writeInt(key::kReceiverDatum, 1);
    t.settings.writeInt(key::kKomaTime, 0);
  }
  // Runs the reader until `stopAtMs` of virtual time, then clears its flag.
  void runUntil(std::int64_t stopAtMs) {
    const auto stopLate = [this, stopAtMs] {
      if (t.log.nowMs() >= stopAtMs) stopGpsWorkers(t.state);
    };
    t.receivers.afterRead(stopLate);
    t.clock.afterSleep(stopLate);
    store(t.state.positionReaderRun, 1);
    receiverReader(t.ctx, load(t.state.positionReaderStart));
  }
  std::vector<std::string> pictures() {
    std::vector<std::string> shown;
    for (const testing::Action& a : t.log.of(ActionKind::PictureShown)) shown.push_back(a.text + " " + a.detail);
    return shown;
  }
  TestContext t;
};

TEST_F(ReceiverReader, PublishesOneFixPerRmcAsItArrivesAndEndsWhenStopped) {
  // Five seconds of sentences, cut anywhere, one "V" second among them.
  std::string bytes;
  for (int n = 0; n < 5; ++n) bytes += second(n, n == 2 ? "V" : "A");
  std::vector<FakeRead> reads;
  for (std::size_t at = 0; at < bytes.size(); at += 37) reads.push_back({bytes.substr(at, 37), 20});
  t.receivers.script({{LinkFailure::None, reads}});
  runUntil(3000);
  EXPECT_THAT(t.receivers.opened, ElementsAre("COM5 4800"));
  EXPECT_EQ(t.state.fixes.published(), 4u);
  const GpsFix last = t.state.gpsFix.get();
  EXPECT_EQ(last.speedKmh, 37);
  EXPECT_EQ(last.heading, 14);
  EXPECT_EQ(last.latitudeText, "35:40:36.2");
  EXPECT_FALSE(t.state.gpsFix.currentFix()) << "a stopped reader leaves no current fix";
  EXPECT_EQ(t.receivers.alive, 0);
  EXPECT_EQ(t.receivers.closed, 1);
}

TEST_F(ReceiverReader, AnnouncesLossAndReturnOnceAndReopensAVanishedPortEveryFiveSeconds) {
  t.workers.setRunAtOnce(true);
  t.settings.writeInt(key::kChaim, 1);
  t.receivers.script({
      {LinkFailure::None, {{second(0), 1000}, {second(1), 1000, true}}},  // unplugged
      {LinkFailure::Absent, {}},
      {LinkFailure::None, {{second(2), 1000}, {second(3), 1000}}},  // plugged in again
  });
  runUntil(16000);
  EXPECT_THAT(t.receivers.opened, ElementsAre("COM5 4800", "COM5 4800", "COM5 4800"));
  EXPECT_THAT(pictures(), ElementsAre("GPS途絶.bmp GPSの信号が途絶えました。",
                                      "GPS復帰.bmp GPSの信号が戻りました。"));
  EXPECT_EQ(t.state.fixes.published(), 4u);
}

TEST_F(ReceiverReader, SilenceOnAnOpenPortIsALossToo) {
  t.workers.setRunAtOnce(true);
  t.settings.writeInt(key::kChaim, 1);
  t.settings.writeString(key::kGpsLost, "電波なし");
  t.receivers.script({{LinkFailure::None, {{second(0), 500}}}});  // then empty reads
  runUntil(8000);
  EXPECT_THAT(pictures(), ElementsAre("GPS途絶.bmp 電波なし"));
  EXPECT_FALSE(t.state.gpsFix.currentFix());
  EXPECT_THAT(t.receivers.opened, ElementsAre("COM5 4800", "COM5 4800"))
      << "a port silent for five seconds is opened afresh at once";
}

TEST_F(ReceiverReader, WaitsOutTheReadSliceWhenAVanishedPortReadsEmptyAtOnce) {
  t.receivers.script({{LinkFailure::None, {{second(0), 100}}, 0}});
  runUntil(6000);
  // The rest of each read's second, until five seconds of silence reopen the
  // port, which is gone; then the pauses between attempts.
  const auto sleeps = t.log.of(ActionKind::Sleep);
  ASSERT_GE(sleeps.size(), 6u);
  EXPECT_THAT(std::vector<testing::Action>(sleeps.begin(), sleeps.begin() + 6),
              ElementsAre(Sleep(1000), Sleep(1000), Sleep(1000), Sleep(1000), Sleep(1000), Sleep(250)));
  EXPECT_THAT(t.receivers.opened, ElementsAre("COM5 4800", "COM5 4800"));
}

TEST(ReceiverTest, ReportsWhatCameOrWhyNothingDid) {
  using Failure = ReceiverTestReport::Failure;
  struct Case {
    const char* what;
    FakeOpening opening;
    Failure failure;
    int sentences, fixes;
  } cases[] = {
      {"absent", {LinkFailure::Absent, {}}, Failure::PortAbsent, 0, 0},
      {"in use", {LinkFailure::InUse, {}}, Failure::PortInUse, 0, 0},
      {"refused", {LinkFailure::Refused, {}}, Failure::Unreachable, 0, 0},
      {"silent", {LinkFailure::None, {}}, Failure::NoData, 0, 0},
      {"vanished, reads return at once", {LinkFailure::None, {}, 0}, Failure::NoData, 0, 0},
      {"noise", {LinkFailure::None, {{"\x7f\x13garbage\r\n", 100}}}, Failure::NoData, 0, 0},
      {"no fix", {LinkFailure::None, {{second(0, "V"), 100}}}, Failure::NoFix, 2, 0},
      {"fixes", {LinkFailure::None, {{second(0), 100}, {second(1, "A", "10.0"), 100}}}, Failure::None, 4, 2},
  };
  for (const Case& c : cases) {
    TestContext t;
    t.receivers.script({c.opening});
    ReceiverSettings values;
    values.source = PositionSource::Tcp;
    const ReceiverTestReport report = testReceiver(t.receivers, t.clock, values, kReceiverTestMs);
    EXPECT_EQ(report.failure, c.failure) << c.what;
    EXPECT_EQ(report.sentences, c.sentences) << c.what;
    EXPECT_EQ(report.validFixes, c.fixes) << c.what;
    EXPECT_LE(t.log.nowMs(), kReceiverTestMs + 1000) << c.what;
    EXPECT_EQ(t.receivers.alive, 0) << c.what;
    if (c.fixes == 0) continue;
    EXPECT_EQ(report.lastSpeedKmh, 19);
    EXPECT_THAT(receiverTestLines(report),
                ElementsAre("受信できています。", "受信した文: 4", "有効な測位: 2",
                            "最後の位置 (WGS84): 北緯 35:40:36.1  東経 139:45:35.3",
                            "速度: 19 km/h"));
  }
}

TEST(ReceiverGps, TheGpsButtonRunsTheReceiverAndLeavesTheMapProgramAlone) {
  TestContext t;
  const WindowHandle navin = t.desktop.add(kNavinYouClass, "Navin' You");
  t.settings.writeInt(key::kReceiverSource, 2);
  t.settings.writeInt(key::kSaveTrk, 1);
  pressGps(t.ctx);
  EXPECT_THAT(t.log.of(ActionKind::WorkerStarted),
              ElementsAre(WorkerStarted("receiverReader"), WorkerStarted("trackLogWriter")));
  EXPECT_EQ(load(t.state.positionReaderRun), 1);
  EXPECT_THAT(t.log.messagesTo(navin), IsEmpty());
  pressGps(t.ctx);
  EXPECT_EQ(load(t.state.positionReaderRun), 0);
  EXPECT_EQ(load(t.state.trackLogRun), 0);
  EXPECT_THAT(t.log.messagesTo(navin), IsEmpty());
}

TEST(ReceiverGps, NoStatusBarIsReadForAPositionWithAReceiverSource) {
  for (const int source : {0, 1}) {
    TestContext t;
    t.settings.writeInt(key::kReceiverSource, source);
    const WindowHandle bar = t.desktop.add(kStatusBarClass, "", t.desktop.add(kNavinYouClass));
    t.desktop.setStatusBarText(bar, 3, "北緯： 35度41分22.5秒");
    t.desktop.setStatusBarText(bar, 4, "東経：139度45分10.3秒");
    EXPECT_EQ(positionNow(t.ctx).has_value(), source == 0) << source;
  }
}

}  // namespace
}  // namespace tabiro
