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

// A TCP peer on 127.0.0.1 that the receiver may dial: it listens and never
// accepts nor sends, so a connection is made (by the system's backlog) and
// stays silent. Closed when it goes out of scope.
class SilentLoopbackListener {
 public:
  SilentLoopbackListener();
  ~SilentLoopbackListener();
  SilentLoopbackListener(const SilentLoopbackListener&) = delete;
  SilentLoopbackListener& operator=(const SilentLoopbackListener&) = delete;
  int port() const { return port_; }  // 0 when it could not listen

 private:
  unsigned long long socket_;
  int port_ = 0;
};

// A loopback port nothing listens on (bound once and released), so a
// connection to it is refused at once; 0 when none could be found.
int unusedLoopbackPort();

// The Unix path of a Windows path, as the rig on the Unix side needs it.
std::string unixPath(const std::string& windowsPath);

}  // namespace e2e
