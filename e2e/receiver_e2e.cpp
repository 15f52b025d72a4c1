// Positions from a GPS receiver end to end, with no map program: the rig
// (e2e/receiver_test.sh) plugs a pty pair in as COM9 and feeds the sample
// drive in WGS84, as a receiver speaks it, cut into random pieces; or serves
// it over loopback TCP. The user presses GPS with the key "1"; the speech
// stand-in logs what is said.
#include <algorithm>
#include <fstream>

#include "harness.h"
#include "receiver_rig.h"
#include "track_logs.h"

namespace e2e {
namespace {

constexpr int kDriveTimeoutMs = 120000;
// The 190-second drive at this speed takes about 24 seconds.
constexpr const char* kFeedSpeed = "8";
constexpr const char* kComPort = "COM9";

const std::string kStartPhrase = "音声ナビゲーションを開始します";
const std::string kEndPhrase = "音声ナビゲーションを終了します";
const std::string kCameraPhrase = "この先、オービスHシステム 国道17号です。スピード注意！";
const std::string kLostPhrase = "GPSの信号が途絶えました。";
const std::string kBackPhrase = "GPSの信号が戻りました。";

// Two cameras far off the route, each with a position beside it that only
// a sentence to be thrown away carries: three "V" fixes heading north at
// 60 km/h 100 m short of the first, and one fix with a broken checksum
// heading east 100 m short of the second.
const char kDecoyCameras[] =
    "ORD=POI/tex=テスト 無効な測位/kei=139'45'40'0/ido=35'42'30'0/deg=0\r\n"
    "ORD=POI/tex=テスト 壊れた文/kei=139'47'30'0/ido=35'40'40'0/deg=90\r\n";
constexpr int kVoidSeconds[] = {20, 21, 22};
constexpr int kBrokenSecond = 40;

unsigned char checksum(const std::string& body) {
  unsigned char sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  return sum;
}

std::string sentence(const std::string& body, bool broken = false) {
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X", checksum(body) ^ (broken ? 0x5a : 0));
  return "$" + body + tail;
}

// The second of the drive an RMC sentence stands for, counted from 01:15:00.
int driveSecond(const std::string& line) {
  int h = 0, m = 0, s = 0;
  if (line.rfind("$GPRMC,", 0) != 0 || std::sscanf(line.c_str() + 7, "%2d%2d%2d", &h, &m, &s) != 3) return -1;
  return (h * 60 + m) * 60 + s - (1 * 60 + 15) * 60;
}

// The sample drive (Tokyo datum; the rig moves it to WGS84) with the
// sentences of the decoys put in place of some of its RMC sentences.
std::string testDrive() {
  std::string out;
  for (const std::string& line : lines(readFile(sourcePath("data/sample-drive.nmea")))) {
    const int second = driveSecond(line);
    const std::string time = line.substr(7, 9);
    if (std::find(std::begin(kVoidSeconds), std::end(kVoidSeconds), second) != std::end(kVoidSeconds)) {
      out += sentence("GPRMC," + time + ",V,3542.4450,N,13945.6667,E,32.4,0.0,070326,7.3,W,N") + "\r\n";
    } else if (second == kBrokenSecond) {
      out += sentence("GPRMC," + time + ",A,3540.6667,N,13947.4333,E,32.4,90.0,070326,7.3,W,A", true) + "\r\n";
    } else {
      out += line + "\r\n";
    }
  }
  return out;
}

class ReceiverTest : public E2eTest {
 protected:
  void SetUp() override {
    E2eTest::SetUp();
    rig_ = ReceiverRig::fromEnvironment();
    if (!rig_) GTEST_SKIP() << "no receiver rig: run e2e/receiver_test.sh";
    removeTrackLogs();
    SetEnvironmentVariableA("SPEECHSTUB_LOG", log("speech").path().c_str());
    std::ofstream(testFile("drive.nmea"), std::ios::binary) << testDrive();
    std::ofstream(testFile("cameras.pot"), std::ios::binary)
        << readFile(sourcePath("data/sample-drive.pot")) << kDecoyCameras;
  }
  void TearDown() override {
    if (rig_) rig_->command("unplug");
    SetEnvironmentVariableA("SPEECHSTUB_LOG", nullptr);
    processes_.killAll();
    removeTrackLogs();
    E2eTest::TearDown();
  }

  // No map program: both program paths empty.
  HWND startToolbar(const std::string& receiver) {
    writeProfile("[Tabiro Info]\r\nMapMode=2\r\nWavstart=1\r\nSaveTRK=1\r\n"
                 "[Rot]\r\nFileName=" + sourcePath("data/sample-drive.nyp") + "\r\n"
                 "[Ovis]\r\nPOT=" + testFile("cameras.pot") + "\r\nOvisUp2=40\r\n"
                 "[Receiver]\r\n" + receiver);
    startTabiro();
    return waitForShownWindow(nullptr, "Tabiro2", 15000);
  }

  std::string feedCommand(const char* verb, const std::string& tail = "") {
    return std::string(verb) + " " + unixPath(testFile("drive.nmea")) + " " + kFeedSpeed + " " +
           std::to_string(GetTickCount() % 1000) + tail + " tokyo";
  }

  std::optional<ReceiverRig> rig_;
};

TEST_F(ReceiverTest, ASerialReceiverGuidesTheDriveAndItsUnplugAndReturnAreAnnounced) {
  ASSERT_TRUE(rig_->ok("plug"));
  HWND toolbar = startToolbar(std::string("Source=1\r\nPort=") + kComPort + "\r\nBaud=4800\r\n");
  ASSERT_TRUE(toolbar);
  ASSERT_TRUE(pressKey(toolbar, '1'));
  ASSERT_TRUE(waitForSpoken(kStartPhrase, 15000));
  ASSERT_TRUE(rig_->ok(feedCommand("feed")));

  ASSERT_TRUE(waitForSpoken(kEndPhrase, kDriveTimeoutMs)) << "guidance never ended";
  EXPECT_EQ(spoken(), (std::vector<std::string>{kStartPhrase, "まもなく右方向です。", "まもなく左方向です。",
                                                "まもなく左方向です。", kCameraPhrase, "まもなく目的地です。",
                                                kEndPhrase}))
      << "a decoy, a lost fix or an order out of place";

  // The track log holds the drive's own positions (Tokyo datum, within a
  // few metres of the route's box), none of the decoys' 2 km away.
  const std::vector<std::string> logs = trackLogs();
  ASSERT_EQ(logs.size(), 1u);
  const std::vector<std::string> logged = lines(readFile(logs.front()));
  EXPECT_GE(logged.size(), 5u);
  for (const std::string& line : logged) {
    const size_t n = line.find(" N"), e = line.find(" E");
    ASSERT_TRUE(n != std::string::npos && e != std::string::npos) << line;
    const long lat = tenths(line.substr(n + 2, e - n - 2)), lon = tenths(line.substr(e + 2));
    EXPECT_TRUE(lat >= tenths("35:40:36") && lat <= tenths("35:41:16")) << line;
    EXPECT_TRUE(lon >= tenths("139:45:34") && lon <= tenths("139:46:05")) << line;
  }

  // Pulled out: the port vanishes, the silence is announced once; a new
  // port in its place brings the fixes and the return back.
  ASSERT_TRUE(rig_->ok("unplug"));
  EXPECT_TRUE(waitForSpoken(kLostPhrase, 15000)) << "the loss was not announced";
  ASSERT_TRUE(rig_->ok("plug"));
  ASSERT_TRUE(rig_->ok(feedCommand("feed")));
  EXPECT_TRUE(waitForSpoken(kBackPhrase, 30000)) << "the return was not announced";
  const auto said = spoken();
  EXPECT_EQ(std::count(said.begin(), said.end(), kLostPhrase), 1);
  EXPECT_EQ(std::count(said.begin(), said.end(), kBackPhrase), 1);
  ASSERT_TRUE(pressKey(toolbar, '1'));  // GPS stop
}

TEST_F(ReceiverTest, ATcpReceiverAnnouncesTheCamera) {
  const std::string port = std::to_string(20000 + GetTickCount() % 20000);
  ASSERT_TRUE(rig_->ok(feedCommand("serve", " " + port)));
  HWND toolbar = startToolbar("Source=2\r\nHost=127.0.0.1\r\nTcpPort=" + port + "\r\n");
  ASSERT_TRUE(toolbar);
  ASSERT_TRUE(pressKey(toolbar, '1'));
  EXPECT_TRUE(waitForSpoken(kCameraPhrase, kDriveTimeoutMs)) << "the camera was not announced";
  const auto said = spoken();
  EXPECT_EQ(std::count(said.begin(), said.end(), kCameraPhrase), 1);
  ASSERT_TRUE(pressKey(toolbar, '1'));
}

}  // namespace
}  // namespace e2e
