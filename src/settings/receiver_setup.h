// The GPS receiver dialog's rules (IDD_RECEIVER_SETTINGS, system menu item
// IDM_RECEIVER_SETTINGS): which fields the chosen source uses, and what opening the dialog loads and saves.
#pragma once

#include <vector>

#include "core/app_context.h"
#include "gps/receiver_settings.h"
#include "settings/profile_exchange.h"

namespace tabiro {

// The serial fields only for the serial port, the TCP fields only for TCP,
// and the test only when there is a receiver to test.
std::vector<ControlEnable> receiverSettingsEnables(const ReceiverSettings& s);

// The dialog over the system's serial ports; "受信テスト" runs on a worker.
// Saved only on "設定保存".
void openReceiverSettings(AppContext& ctx);

}  // namespace tabiro
