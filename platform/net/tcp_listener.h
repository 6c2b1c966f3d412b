// A listening TCP socket on the loopback address with a port the system
// chooses: what a test needs to stand up a local server.
//
// Move-only; used by one thread at a time.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "platform/com/result.h"
#include "platform/net/tcp_socket.h"

namespace vyn {

class TcpListener {
 public:
  static Result<TcpListener> ListenOnLoopback();

  TcpListener(TcpListener&& other) noexcept;
  TcpListener& operator=(TcpListener&&) = delete;
  ~TcpListener();

  std::uint16_t port() const { return port_; }
  // The next connection, or nothing when none came within `wait` (real time).
  std::optional<TcpSocket> Accept(std::chrono::milliseconds wait);

 private:
  TcpListener(int fd, std::uint16_t port) : fd_(fd), port_(port) {}
  int fd_ = -1;
  std::uint16_t port_ = 0;
};

}  // namespace vyn
