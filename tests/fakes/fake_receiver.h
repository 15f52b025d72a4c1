// GPS receivers a test scripts: each open takes the next opening of the
// script (an absent port once the script is used up), and each read of an
// open link gives the next chunk of its bytes after the chunk's share of
// virtual time. A reader that reads a link a thousand times without virtual
// time passing spins: the test fails and the link breaks.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "fakes/action_log.h"
#include "platform/ports.h"

namespace tabiro::testing {

// "$" + body + "*HH" with its checksum right, as a receiver sends it.
std::string nmeaSentence(const std::string& body);

struct FakeRead {
  std::string bytes;
  int ms = 100;         // virtual time the read waits
  bool broken = false;  // the read finds the link broken (after its bytes)
};

struct FakeOpening {
  LinkFailure failure = LinkFailure::None;
  std::vector<FakeRead> reads;  // then silence: empty reads of silenceMs each
  int silenceMs = 1000;         // 0: a vanished port, whose reads return at once
};

class FakeReceiverLinks final : public ReceiverLinks {
 public:
  explicit FakeReceiverLinks(ActionLog& log) : log_(log) {}

  void script(std::vector<FakeOpening> openings) { openings_ = std::move(openings); }
  // Runs after every read, as if another thread acted meanwhile.
  void afterRead(std::function<void()> hook) { afterRead_ = std::move(hook); }

  LinkOpening openSerial(const std::string& port, int baud) override;
  LinkOpening openTcp(const std::string& host, int port) override;
  std::vector<std::string> serialPorts() override { return ports; }

  std::vector<std::string> ports{"COM1", "COM5"};
  // "COM5 4800" or "127.0.0.1:10110", one per open, failed ones too.
  std::vector<std::string> opened;
  int closed = 0;  // links closed, by their reader or a stop
  int alive = 0;   // links not yet destroyed

 private:
  class Link;
  LinkOpening open(std::string name);

  ActionLog& log_;
  std::function<void()> afterRead_;
  std::vector<FakeOpening> openings_;
  std::size_t next_ = 0;
};

}  // namespace tabiro::testing
