#include "platform/net/tcp_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/win/last_error.h"

namespace vyn {

Result<TcpListener> TcpListener::ListenOnLoopback() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    return Error{E_FAIL, "socket creation failed"};
  }
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(kLoopbackAddress.value);
  local.sin_port = 0;
  socklen_t length = sizeof local;
  if (bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
      listen(fd, 16) != 0 || getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
    SetLastErrorFromErrno(errno);
    close(fd);
    return Error{E_FAIL, "cannot listen on the loopback address"};
  }
  return TcpListener(fd, ntohs(local.sin_port));
}

TcpListener::TcpListener(TcpListener&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), port_(other.port_) {}

TcpListener::~TcpListener() {
  if (fd_ >= 0)
    close(fd_);
}

std::optional<TcpSocket> TcpListener::Accept(std::chrono::milliseconds wait) {
  pollfd entry{fd_, POLLIN, 0};
  const int ready = poll(&entry, 1, static_cast<int>(wait.count()));
  if (ready <= 0)
    return std::nullopt;
  const int fd = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0)
    return std::nullopt;
  return TcpSocket(fd);
}

}  // namespace vyn
