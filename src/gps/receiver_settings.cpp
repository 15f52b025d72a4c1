#include "gps/receiver_settings.h"

#include <algorithm>

#include "core/profile_keys.h"

namespace tabiro {
namespace {

bool knownBaud(int baud) {
  return std::find(kReceiverBauds.begin(), kReceiverBauds.end(), baud) != kReceiverBauds.end();
}

bool validTcpPort(int port) { return port >= 1 && port <= 65535; }

// Names and hosts go into a device path or a resolver: printable ASCII only.
bool plainAscii(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return c > ' ' && c < 0x7f;
  });
}

}  // namespace

ReceiverSettings readReceiverSettings(const SettingsStore& settings) {
  const ReceiverSettings defaults;
  ReceiverSettings values;
  const int source = settings.readInt(key::kReceiverSource);
  values.source = source >= 0 && source <= 2 ? static_cast<PositionSource>(source) : defaults.source;
  values.port = settings.readString(key::kReceiverPort);
  if (!plainAscii(values.port)) values.port = defaults.port;
  values.baud = settings.readInt(key::kReceiverBaud);
  if (!knownBaud(values.baud)) values.baud = defaults.baud;
  values.host = settings.readString(key::kReceiverHost);
  if (!plainAscii(values.host)) values.host = defaults.host;
  values.tcpPort = settings.readInt(key::kReceiverTcpPort);
  if (!validTcpPort(values.tcpPort)) values.tcpPort = defaults.tcpPort;
  values.datum = settings.readInt(key::kReceiverDatum) == 1 ? FileDatum::Wgs84 : FileDatum::Tokyo;
  return values;
}

void writeReceiverSettings(SettingsStore& settings, const ReceiverSettings& values) {
  settings.writeInt(key::kReceiverSource, static_cast<int>(values.source));
  settings.writeString(key::kReceiverPort, values.port);
  settings.writeInt(key::kReceiverBaud, values.baud);
  settings.writeString(key::kReceiverHost, values.host);
  settings.writeInt(key::kReceiverTcpPort, values.tcpPort);
  settings.writeInt(key::kReceiverDatum, static_cast<int>(values.datum));
}

std::optional<std::string> receiverSettingsProblem(const ReceiverSettings& values) {
  if (!plainAscii(values.port)) return "ポート名を入力してください（例: COM3）。";
  if (!knownBaud(values.baud))
    return "通信速度は 4800, 9600, 19200, 38400, 57600, 115200 のいずれかです。";
  if (!plainAscii(values.host)) return "ホスト名を入力してください（例: 127.0.0.1）。";
  if (!validTcpPort(values.tcpPort)) return "TCPポート番号は 1～65535 の範囲で入力してください。";
  return std::nullopt;
}

}  // namespace tabiro
