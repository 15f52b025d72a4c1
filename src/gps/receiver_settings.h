// Where positions come from, and in which datum the route and point files
// are: the profile's "Receiver" section.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/settings_store.h"

namespace tabiro {

enum class PositionSource { StatusBar = 0, Serial = 1, Tcp = 2 };
enum class FileDatum { Tokyo = 0, Wgs84 = 1 };

inline constexpr std::array<int, 6> kReceiverBauds{4800, 9600, 19200, 38400, 57600, 115200};

struct ReceiverSettings {
  PositionSource source = PositionSource::StatusBar;
  std::string port{key::kReceiverPort.def};
  int baud = key::kReceiverBaud.def;
  std::string host{key::kReceiverHost.def};
  int tcpPort = key::kReceiverTcpPort.def;
  FileDatum datum = FileDatum::Tokyo;
  bool operator==(const ReceiverSettings&) const = default;
};

// A value out of range reads as its default, so a hand-edited profile never
// opens a port at a rate no receiver speaks.
ReceiverSettings readReceiverSettings(const SettingsStore& settings);
void writeReceiverSettings(SettingsStore& settings, const ReceiverSettings& values);

// Why the values cannot be stored, in Japanese for a message box; nullopt
// when they can.
std::optional<std::string> receiverSettingsProblem(const ReceiverSettings& values);

}  // namespace tabiro
