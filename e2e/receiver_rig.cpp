#include "receiver_rig.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdlib>

namespace e2e {

namespace {

bool winsockStarted() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

sockaddr_in loopbackAddress(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// A TCP socket bound to 127.0.0.1 at a port the system chooses, and that port.
SOCKET boundLoopbackSocket(int& port) {
  port = 0;
  if (!winsockStarted()) return INVALID_SOCKET;
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return s;
  sockaddr_in address = loopbackAddress(0);
  int length = sizeof address;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  port = ntohs(address.sin_port);
  return s;
}

}  // namespace

std::optional<ReceiverRig> ReceiverRig::fromEnvironment() {
  const char* port = std::getenv("TABIRO_RIG_PORT");
  if (!port || !*port || !winsockStarted()) return std::nullopt;
  return ReceiverRig(std::atoi(port));
}

SilentLoopbackListener::SilentLoopbackListener() {
  SOCKET s = boundLoopbackSocket(port_);
  if (s != INVALID_SOCKET && listen(s, SOMAXCONN) != 0) {
    closesocket(s);
    s = INVALID_SOCKET;
    port_ = 0;
  }
  socket_ = s;
}

SilentLoopbackListener::~SilentLoopbackListener() {
  if (socket_ != INVALID_SOCKET) closesocket(static_cast<SOCKET>(socket_));
}

int unusedLoopbackPort() {
  int port = 0;
  SOCKET s = boundLoopbackSocket(port);
  if (s != INVALID_SOCKET) closesocket(s);
  return port;
}

std::string ReceiverRig::command(const std::string& line) const {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return "error no rig";
  sockaddr_in address = loopbackAddress(port_);
  std::string answer = "error no rig";
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    const std::string request = line + "\n";
    send(s, request.data(), static_cast<int>(request.size()), 0);
    shutdown(s, SD_SEND);
    answer.clear();
    char buffer[512];
    for (int got; (got = recv(s, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, got);
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) answer.pop_back();
  }
  closesocket(s);
  return answer;
}

std::string unixPath(const std::string& windowsPath) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  static const auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return {};
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
  char* unix = toUnix(wide);
  if (!unix) return {};
  std::string result = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

}  // namespace e2e
