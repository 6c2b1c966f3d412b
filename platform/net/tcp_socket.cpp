#include "platform/net/tcp_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/win/last_error.h"

namespace vyn {
namespace {

// A connect interrupted by a signal goes on in the background; wait for
// its outcome.
bool FinishInterruptedConnect(int fd) {
  pollfd entry{fd, POLLOUT, 0};
  int ready;
  do {
    ready = poll(&entry, 1, -1);
  } while (ready < 0 && errno == EINTR);
  int error = 0;
  socklen_t length = sizeof error;
  if (ready < 0 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
    return false;
  errno = error;
  return error == 0;
}

}  // namespace

Result<TcpSocket> TcpSocket::Connect(Ipv4Address address, std::uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    return Error{E_FAIL, "socket creation failed"};
  }
  TcpSocket owned(fd);
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  target.sin_addr.s_addr = htonl(address.value);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0 &&
      !(errno == EINTR && FinishInterruptedConnect(fd))) {
    SetLastErrorFromErrno(errno);
    return Error{E_FAIL, "connect failed"};
  }
  return owned;
}

TcpSocket::TcpSocket(TcpSocket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

TcpSocket::~TcpSocket() {
  Close();
}

Result<std::size_t> TcpSocket::Send(std::span<const char> bytes) {
  for (;;) {
    const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent > 0 || (sent == 0 && bytes.empty()))
      return static_cast<std::size_t>(sent);
    if (sent < 0 && errno == EINTR)
      continue;
    SetLastErrorFromErrno(sent < 0 ? errno : EPIPE);
    return Error{E_FAIL, "send failed"};
  }
}

Received TcpSocket::Receive(std::span<char> buffer, ReceiveMode mode) {
  const int flags = mode == ReceiveMode::kPeek ? MSG_PEEK : 0;
  for (;;) {
    const ssize_t got = recv(fd_, buffer.data(), buffer.size(), flags);
    if (got > 0)
      return {ReceiveStatus::kData, static_cast<std::size_t>(got)};
    if (got == 0)
      return {ReceiveStatus::kClosed, 0};
    const int error = errno;
    if (error == EINTR)
      continue;
    SetLastErrorFromErrno(error);
    if (error == EAGAIN || error == EWOULDBLOCK)
      return {ReceiveStatus::kTimedOut, 0};
    return {ReceiveStatus::kFailed, 0};
  }
}

void TcpSocket::SetReceiveTimeout(std::chrono::nanoseconds limit) {
  using std::chrono::duration_cast;
  using std::chrono::microseconds;
  using std::chrono::seconds;
  // A positive limit shorter than the option's resolution must not read as
  // "wait forever".
  auto micros = duration_cast<microseconds>(limit);
  if (limit.count() > 0 && micros.count() == 0)
    micros = microseconds(1);
  timeval value{};
  value.tv_sec = static_cast<time_t>(duration_cast<seconds>(micros).count());
  value.tv_usec = static_cast<suseconds_t>((micros - duration_cast<seconds>(micros)).count());
  // Cannot fail on a valid socket with a valid value.
  setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &value, sizeof value);
}

void TcpSocket::Close() {
  if (fd_ >= 0)
    close(std::exchange(fd_, -1));
}

}  // namespace vyn
