// A connected, blocking IPv4 TCP socket: the only socket operations the
// system needs. Interrupted calls are retried here, and sending never
// raises a signal, so callers see plain results.
//
// Move-only; used by one thread at a time. Closes on destruction.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>

#include "platform/com/result.h"
#include "platform/net/ipv4_address.h"
#include "platform/net/receive_stream.h"

namespace vyn {

class TcpListener;

class TcpSocket final : public ReceiveStream {
 public:
  // Creates a socket and connects it; fails when either step fails (the
  // calling thread's last error then tells why).
  static Result<TcpSocket> Connect(Ipv4Address address, std::uint16_t port);

  // No socket.
  TcpSocket() = default;
  TcpSocket(TcpSocket&& other) noexcept;
  TcpSocket& operator=(TcpSocket&& other) noexcept;
  ~TcpSocket() override;

  bool valid() const { return fd_ >= 0; }
  // Sends some of `bytes`: how many went (at least one), or failure.
  Result<std::size_t> Send(std::span<const char> bytes);
  Received Receive(std::span<char> buffer, ReceiveMode mode) override;
  // Bounds every later receive by `limit` of real time; zero waits forever.
  void SetReceiveTimeout(std::chrono::nanoseconds limit);
  void Close();

 private:
  friend class TcpListener;
  explicit TcpSocket(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace vyn
