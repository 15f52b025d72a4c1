#include "fakes/fake_receiver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>

namespace tabiro::testing {

std::string nmeaSentence(const std::string& body) {
  unsigned sum = 0;
  for (const char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X", sum);
  return "$" + body + tail;
}

class FakeReceiverLinks::Link final : public ReceiverLink {
 public:
  Link(FakeReceiverLinks& owner, FakeOpening opening)
      : owner_(owner), reads_(std::move(opening.reads)), silenceMs_(opening.silenceMs) {
    ++owner_.alive;
  }
  ~Link() override { --owner_.alive; }

  bool read(std::string& bytes) override {
    if (closed_) return false;
    if (owner_.log_.nowMs() != lastReadAtMs_) {
      lastReadAtMs_ = owner_.log_.nowMs();
      readsWithoutTime_ = 0;
    } else if (++readsWithoutTime_ == kSpinningReads) {
      ADD_FAILURE() << "the reader reads again and again without pausing";
      return false;
    }
    FakeRead next{"", silenceMs_, false};
    if (at_ < reads_.size()) next = reads_[at_++];
    owner_.log_.advance(next.ms);
    bytes += next.bytes;
    if (owner_.afterRead_) owner_.afterRead_();
    return !next.broken && !closed_;
  }
  void close() override {
    if (!closed_) ++owner_.closed;
    closed_ = true;
  }

 private:
  FakeReceiverLinks& owner_;
  static constexpr int kSpinningReads = 1000;
  std::vector<FakeRead> reads_;
  const int silenceMs_;
  std::size_t at_ = 0;
  bool closed_ = false;
  std::int64_t lastReadAtMs_ = -1;
  int readsWithoutTime_ = 0;
};

LinkOpening FakeReceiverLinks::openSerial(const std::string& port, int baud) {
  return open(port + " " + std::to_string(baud));
}

LinkOpening FakeReceiverLinks::openTcp(const std::string& host, int port) {
  return open(host + ":" + std::to_string(port));
}

LinkOpening FakeReceiverLinks::open(std::string name) {
  opened.push_back(std::move(name));
  if (next_ >= openings_.size()) return {nullptr, LinkFailure::Absent};
  FakeOpening& opening = openings_[next_++];
  if (opening.failure != LinkFailure::None) return {nullptr, opening.failure};
  return {std::make_unique<Link>(*this, std::move(opening)), LinkFailure::None};
}

}  // namespace tabiro::testing
