#include "platform/win32/receiver_links_win32.h"

// winsock2 before windows.h, which would bring the old winsock.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <atomic>

namespace tabiro {

namespace {

constexpr DWORD kIntervalMs = 50;
constexpr DWORD kReadMs = 1000;
constexpr int kConnectMs = 1000;
constexpr int kSelectSliceMs = 100;
// An empty read much shorter than its timeout is a port that is gone (a
// vanished pty under Wine reads so): pausing keeps it from spinning.
constexpr DWORD kEmptyReadFloorMs = 100;

// Reads on the reader's thread with the timeouts {interval 50, constant
// 1000}: neither WaitCommEvent nor a return on the first byte is used, as
// Wine's serial ports on a pty honour neither. A read asks for what the
// port holds already, or for one byte when it holds nothing, so that it
// ends with the bytes that came instead of waiting for a pause in a
// receiver's stream (at 4800 baud a second's sentences flow without one,
// and the fix would wait for the last of them).
class SerialLink final : public ReceiverLink {
 public:
  explicit SerialLink(HANDLE handle) : handle_(handle) {}
  ~SerialLink() override { CloseHandle(handle_); }

  bool read(std::string& bytes) override {
    if (closed_) return false;
    const DWORD began = GetTickCount();
    char buffer[512];
    DWORD errors = 0;
    COMSTAT status{};
    DWORD wanted = 1;
    if (ClearCommError(handle_, &errors, &status) && status.cbInQue > 0) {
      wanted = std::min<DWORD>(status.cbInQue, sizeof buffer);
    }
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, wanted, &got, nullptr)) return false;
    bytes.append(buffer, got);
    if (got == 0 && GetTickCount() - began < kEmptyReadFloorMs) Sleep(kEmptyReadFloorMs);
    return !closed_;
  }

  // The handle stays for the reader to close: the pending read ends by its
  // timeout or by the cancel, whichever comes first.
  void close() override {
    closed_ = true;
    CancelIoEx(handle_, nullptr);
  }

 private:
  HANDLE handle_;
  std::atomic<bool> closed_{false};
};

class TcpLink final : public ReceiverLink {
 public:
  explicit TcpLink(SOCKET socket) : socket_(socket) {}
  ~TcpLink() override { closesocket(socket_); }

  // Returns with the first bytes that come, so a fix goes on at once.
  bool read(std::string& bytes) override {
    for (int waited = 0; waited < static_cast<int>(kReadMs) && !closed_; waited += kSelectSliceMs) {
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(socket_, &readable);
      timeval slice{0, kSelectSliceMs * 1000};
      const int ready = select(0, &readable, nullptr, nullptr, &slice);
      if (ready == SOCKET_ERROR) return false;
      if (ready == 0) continue;
      char buffer[1024];
      const int got = recv(socket_, buffer, sizeof buffer, 0);
      if (got > 0) {
        bytes.append(buffer, static_cast<std::size_t>(got));
        return !closed_;
      }
      if (got == 0 || WSAGetLastError() != WSAEWOULDBLOCK) return false;
    }
    return !closed_;
  }

  void close() override {
    closed_ = true;
    shutdown(socket_, SD_BOTH);
  }

 private:
  SOCKET socket_;
  std::atomic<bool> closed_{false};
};

bool winsockReady() {
  static const bool ready = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return ready;
}

LinkFailure connectWithin(SOCKET s, const sockaddr* address, int length) {
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  if (connect(s, address, length) == 0) return LinkFailure::None;
  if (WSAGetLastError() != WSAEWOULDBLOCK) return LinkFailure::Unreachable;
  fd_set writable, failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval bound{kConnectMs / 1000, (kConnectMs % 1000) * 1000};
  if (select(0, nullptr, &writable, &failed, &bound) <= 0) return LinkFailure::Unreachable;
  int error = 0;
  int size = sizeof error;
  getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
  if (error == 0 && FD_ISSET(s, &writable)) return LinkFailure::None;
  return error == WSAECONNREFUSED || FD_ISSET(s, &failed) ? LinkFailure::Refused : LinkFailure::Unreachable;
}

}  // namespace

LinkOpening Win32ReceiverLinks::openSerial(const std::string& port, int baud) {
  const std::string path = "\\\\.\\" + port;
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    const bool inUse = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
    return {nullptr, inUse ? LinkFailure::InUse : LinkFailure::Absent};
  }
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  GetCommState(handle, &dcb);
  dcb.BaudRate = static_cast<DWORD>(baud);
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fNull = FALSE;
  dcb.fAbortOnError = FALSE;
  // Some USB receivers are powered or woken through DTR and RTS.
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  // A pty takes no line settings under every Wine; its bytes come all the same.
  SetCommState(handle, &dcb);
  COMMTIMEOUTS timeouts{kIntervalMs, 0, kReadMs, 0, 0};
  SetCommTimeouts(handle, &timeouts);
  PurgeComm(handle, PURGE_RXCLEAR);
  return {std::make_unique<SerialLink>(handle), LinkFailure::None};
}

LinkOpening Win32ReceiverLinks::openTcp(const std::string& host, int port) {
  if (!winsockReady()) return {nullptr, LinkFailure::Unreachable};
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found) {
    return {nullptr, LinkFailure::Unreachable};
  }
  LinkFailure failure = LinkFailure::Unreachable;
  SOCKET s = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
  if (s != INVALID_SOCKET) failure = connectWithin(s, found->ai_addr, static_cast<int>(found->ai_addrlen));
  freeaddrinfo(found);
  if (failure != LinkFailure::None) {
    if (s != INVALID_SOCKET) closesocket(s);
    return {nullptr, failure};
  }
  return {std::make_unique<TcpLink>(s), LinkFailure::None};
}

std::vector<std::string> Win32ReceiverLinks::serialPorts() {
  std::vector<std::string> ports;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return ports;
  }
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD nameSize = sizeof name;
    char value[256];
    DWORD valueSize = sizeof value - 1;
    DWORD type = 0;
    const LONG result = RegEnumValueA(key, i, name, &nameSize, nullptr, &type,
                                      reinterpret_cast<BYTE*>(value), &valueSize);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    value[valueSize] = '\0';
    ports.emplace_back(value);
  }
  RegCloseKey(key);
  // COM2 before COM10.
  std::sort(ports.begin(), ports.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  return ports;
}

}  // namespace tabiro
