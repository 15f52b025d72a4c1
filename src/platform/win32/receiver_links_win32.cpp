#include "platform/win32/receiver_links_win32.h"

// winsock2 before windows.h, which would bring the old winsock.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <atomic>

namespace tabiro {

namespace {

constexpr int kReadMs = 1000;
constexpr int kSliceMs = 50;
constexpr int kConnectMs = 1000;

// A read waits for bytes in slices, up to about a second, and returns with
// the first that come, so a fix goes on at once. close() comes from another
// thread (a stop) and ends the read within a slice; a closed link reads as
// broken.
class SlicedLink : public ReceiverLink {
 public:
  bool read(std::string& bytes) final {
    const std::size_t before = bytes.size();
    for (int waited = 0; waited < kReadMs && !closed_ && bytes.size() == before; waited += kSliceMs) {
      if (!readSlice(bytes)) return false;
    }
    return !closed_;
  }
  void close() final {
    closed_ = true;
    interrupt();
  }

 protected:
  // Appends what comes within kSliceMs; false when the link is broken.
  virtual bool readSlice(std::string& bytes) = 0;
  virtual void interrupt() {}

 private:
  std::atomic<bool> closed_{false};
};

// Reads return at once with what the port holds (timeouts {MAXDWORD, 0,
// 0}), and the link sleeps between them. Wine waits out a read timeout on a
// pty by polling without pause, a core for as long as the receiver is
// silent or unplugged; WaitCommEvent and a return on the first byte it does
// not honour.
class SerialLink final : public SlicedLink {
 public:
  explicit SerialLink(HANDLE handle) : handle_(handle) {}
  ~SerialLink() override { CloseHandle(handle_); }

 private:
  bool readSlice(std::string& bytes) override {
    char buffer[512];
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, sizeof buffer, &got, nullptr)) return false;
    bytes.append(buffer, got);
    if (got == 0) Sleep(kSliceMs);
    return true;
  }

  HANDLE handle_;
};

class TcpLink final : public SlicedLink {
 public:
  explicit TcpLink(SOCKET socket) : socket_(socket) {}
  ~TcpLink() override { closesocket(socket_); }

 private:
  bool readSlice(std::string& bytes) override {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_, &readable);
    timeval slice{0, kSliceMs * 1000};
    const int ready = select(0, &readable, nullptr, nullptr, &slice);
    if (ready == SOCKET_ERROR) return false;
    if (ready == 0) return true;
    char buffer[1024];
    const int got = recv(socket_, buffer, sizeof buffer, 0);
    if (got > 0) {
      bytes.append(buffer, static_cast<std::size_t>(got));
      return true;
    }
    return got != 0 && WSAGetLastError() == WSAEWOULDBLOCK;
  }

  // Ends a select under way at once.
  void interrupt() override { shutdown(socket_, SD_BOTH); }

  SOCKET socket_;
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
  COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, 0, 0};
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
