#include "settings/receiver_setup.h"

#include <utility>

#include "gps/receiver_test.h"
#include "resource.h"

namespace tabiro {

std::vector<ControlEnable> receiverSettingsEnables(const ReceiverSettings& s) {
  const bool serial = s.source == PositionSource::Serial;
  const bool tcp = s.source == PositionSource::Tcp;
  return {{IDC_RX_PORT, serial},    {IDC_RX_BAUD, serial},
          {IDC_RX_HOST, tcp},       {IDC_RX_TCP_PORT, tcp},
          {IDC_RX_TEST, serial || tcp}};
}

void openReceiverSettings(AppContext& ctx) {
  ReceiverSettings s = readReceiverSettings(ctx.settings);
  // The test holds the port for seconds: on a worker, so the dialog answers.
  const ReceiverTestRun runTest = [&ctx](const ReceiverSettings& values,
                                         std::function<void(std::vector<std::string>)> done) {
    ctx.workers.start("receiverTest", [&ctx, values, done = std::move(done)] {
      done(receiverTestLines(testReceiver(ctx.receivers, ctx.clock, values, kReceiverTestMs)));
    });
  };
  if (!ctx.popups.runReceiverSettings(s, ctx.receivers.serialPorts(), runTest)) return;
  writeReceiverSettings(ctx.settings, s);
}

}  // namespace tabiro
