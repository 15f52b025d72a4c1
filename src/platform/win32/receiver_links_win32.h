// GPS receivers on serial ports (8N1, bounded reads) and over TCP (bounded
// connect and reads).
#pragma once

#include "platform/ports.h"

namespace tabiro {

class Win32ReceiverLinks : public ReceiverLinks {
 public:
  LinkOpening openSerial(const std::string& port, int baud) override;
  LinkOpening openTcp(const std::string& host, int port) override;
  // The values of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, sorted.
  std::vector<std::string> serialPorts() override;
};

}  // namespace tabiro
