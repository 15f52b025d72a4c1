// The "Receiver" section: what a hand-edited profile reads as, and which
// values the dialog refuses to store.
#include <gtest/gtest.h>

#include <functional>

#include "core/profile_keys.h"
#include "fakes/test_context.h"
#include "gps/receiver_settings.h"

namespace tabiro {
namespace {

using testing::TestContext;

struct StoredValue {
  const char* key;
  const char* stored;
  std::function<bool(const ReceiverSettings&)> reads;
  const char* what;
};

TEST(ReceiverSettings, AValueOutOfRangeReadsAsItsDefault) {
  const StoredValue rows[] = {
      {"Source", "2", [](auto& s) { return s.source == PositionSource::Tcp; }, "TCP"},
      {"Source", "3", [](auto& s) { return s.source == PositionSource::StatusBar; }, "no fourth source"},
      {"Source", "-1", [](auto& s) { return s.source == PositionSource::StatusBar; }, "negative"},
      {"Baud", "115200", [](auto& s) { return s.baud == 115200; }, "the fastest"},
      {"Baud", "4801", [](auto& s) { return s.baud == 4800; }, "a rate no receiver speaks"},
      {"TcpPort", "65535", [](auto& s) { return s.tcpPort == 65535; }, "the last port"},
      {"TcpPort", "0", [](auto& s) { return s.tcpPort == 10110; }, "port 0"},
      {"TcpPort", "65536", [](auto& s) { return s.tcpPort == 10110; }, "beyond 16 bits"},
      {"Port", "COM12", [](auto& s) { return s.port == "COM12"; }, "two digits"},
      {"Port", "", [](auto& s) { return s.port == "COM3"; }, "empty"},
      {"Port", "COM 4", [](auto& s) { return s.port == "COM3"; }, "a blank inside"},
      {"Host", "ほすと", [](auto& s) { return s.host == "127.0.0.1"; }, "not ASCII"},
      {"Datum", "1", [](auto& s) { return s.datum == FileDatum::Wgs84; }, "WGS84"},
      {"Datum", "2", [](auto& s) { return s.datum == FileDatum::Tokyo; }, "no third datum"},
  };
  for (const StoredValue& row : rows) {
    TestContext t;
    t.settings.writeString(section::kReceiver, row.key, row.stored);
    EXPECT_TRUE(row.reads(readReceiverSettings(t.settings))) << row.key << "=" << row.stored << ": " << row.what;
  }
}

TEST(ReceiverSettings, WrittenValuesReadBackAsTheyWere) {
  TestContext t;
  const ReceiverSettings values{PositionSource::Serial, "COM7", 38400, "gps.local", 2947, FileDatum::Wgs84};
  writeReceiverSettings(t.settings, values);
  EXPECT_EQ(readReceiverSettings(t.settings), values);
}

struct Refusal {
  std::function<void(ReceiverSettings&)> change;
  const char* message;  // nullptr: stored
};

TEST(ReceiverSettings, TheDialogRefusesWhatCouldNotOpenAReceiver) {
  const Refusal rows[] = {
      {[](auto&) {}, nullptr},
      {[](auto& s) { s.port = "\\\\.\\COM10"; }, nullptr},
      {[](auto& s) { s.port = ""; }, "ポート名を入力してください（例: COM3）。"},
      {[](auto& s) { s.port = "COM３"; }, "ポート名を入力してください（例: COM3）。"},
      {[](auto& s) { s.baud = 2400; }, "通信速度は 4800, 9600, 19200, 38400, 57600, 115200 のいずれかです。"},
      {[](auto& s) { s.host = "my host"; }, "ホスト名を入力してください（例: 127.0.0.1）。"},
      {[](auto& s) { s.tcpPort = 0; }, "TCPポート番号は 1～65535 の範囲で入力してください。"},
      {[](auto& s) { s.tcpPort = 70000; }, "TCPポート番号は 1～65535 の範囲で入力してください。"},
      {[](auto& s) { s.tcpPort = 1; }, nullptr},
  };
  int row = 0;
  for (const Refusal& r : rows) {
    ReceiverSettings s;
    r.change(s);
    const std::optional<std::string> problem = receiverSettingsProblem(s);
    if (r.message) {
      EXPECT_EQ(problem, std::string(r.message)) << "row " << row;
    } else {
      EXPECT_EQ(problem, std::nullopt) << "row " << row;
    }
    ++row;
  }
}

}  // namespace
}  // namespace tabiro
