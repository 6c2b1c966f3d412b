#include "platform/net/socket_startup.h"

#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/win/last_error.h"

namespace {

std::mutex g_mutex;
int g_users = 0;  // guarded by g_mutex
std::atomic<int> g_forbidden{0};

constexpr WORD kHighestVersion = 0x0202;

}  // namespace

int WSAStartup(WORD version_requested, WSADATA* data) {
  if (!data)
    return static_cast<int>(WSAEFAULT);
  if (g_forbidden.load() > 0)
    return static_cast<int>(WSASYSNOTREADY);
  const BYTE major = version_requested & 0xFF;
  const BYTE minor = version_requested >> 8;
  if (major < 1 || (major == 1 && minor < 1))
    return static_cast<int>(WSAVERNOTSUPPORTED);
  *data = WSADATA{};
  data->wVersion = version_requested < kHighestVersion ? version_requested : kHighestVersion;
  data->wHighVersion = kHighestVersion;
  std::strcpy(data->szDescription, "POSIX sockets");
  std::strcpy(data->szSystemStatus, "Running");
  std::lock_guard lock(g_mutex);
  ++g_users;
  return 0;
}

int WSACleanup() {
  std::lock_guard lock(g_mutex);
  if (g_users == 0) {
    SetLastError(WSANOTINITIALISED);
    return SOCKET_ERROR;
  }
  --g_users;
  return 0;
}

namespace vyn {

int SocketStartupCount() {
  std::lock_guard lock(g_mutex);
  return g_users;
}

ScopedSocketStartupFailure::ScopedSocketStartupFailure() {
  ++g_forbidden;
}

ScopedSocketStartupFailure::~ScopedSocketStartupFailure() {
  --g_forbidden;
}

Result<SocketSession> SocketSession::Start() {
  constexpr WORD kVersion11 = 0x0101;
  WSADATA data;
  if (int code = WSAStartup(kVersion11, &data); code != 0) {
    SetLastError(static_cast<DWORD>(code));
    return Error{E_FAIL, "the socket library cannot be started"};
  }
  return SocketSession();
}

SocketSession::~SocketSession() {
  if (active_)
    WSACleanup();
}

}  // namespace vyn
