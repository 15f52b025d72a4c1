// The GPS receiver's side of a run (scripts/lib/receiver_rig.py), reached
// over loopback TCP at the port in TABIRO_RIG_PORT: it plugs a pty pair in
// as a COM port, feeds or serves an NMEA drive and pulls the plug.
#pragma once

#include <optional>
#include <string>

namespace e2e {

class ReceiverRig {
 public:
  // nullopt when no rig runs (the suite was started without e2e/receiver_test.sh).
  static std::optional<ReceiverRig> fromEnvironment();

  // One command line; the rig's answer, or "error no rig" when it cannot be reached.
  std::string command(const std::string& line) const;
  bool ok(const std::string& line) const { return command(line).rfind("ok", 0) == 0; }

 private:
  explicit ReceiverRig(int port) : port_(port) {}
  int port_;
};

// The Unix path of a Windows path, as the rig on the Unix side needs it.
std::string unixPath(const std::string& windowsPath);

}  // namespace e2e
