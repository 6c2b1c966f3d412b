// Starting and stopping the socket library. On this system sockets need no
// set-up, so the pair only counts its users; a test can make the start fail
// to exercise a caller's failure path.
//
// Thread-safe.
#pragma once

#include "platform/com/result.h"
#include "platform/win/last_error.h"
#include "platform/win/types.h"

inline constexpr int SOCKET_ERROR = -1;

struct WSADATA {
  WORD wVersion = 0;
  WORD wHighVersion = 0;
  char szDescription[257] = {};
  char szSystemStatus[129] = {};
};

// Starts the library for one user: 0, or an error code (WSASYSNOTREADY
// while a test forbids starting, WSAVERNOTSUPPORTED below version 1.1).
int WSAStartup(WORD version_requested, WSADATA* data);
// Ends one user's start: 0, or SOCKET_ERROR when nobody had started it.
int WSACleanup();

namespace vyn {

// Started and not yet cleaned up.
int SocketStartupCount();

// Makes every WSAStartup fail while it lives (for tests).
class ScopedSocketStartupFailure {
 public:
  ScopedSocketStartupFailure();
  ~ScopedSocketStartupFailure();
  ScopedSocketStartupFailure(const ScopedSocketStartupFailure&) = delete;
  ScopedSocketStartupFailure& operator=(const ScopedSocketStartupFailure&) = delete;
};

// One user's start of the library (version 1.1), cleaned up when it goes.
// Move-only; home thread: any, one at a time.
class SocketSession {
 public:
  static Result<SocketSession> Start();

  SocketSession(SocketSession&& other) noexcept : active_(other.active_) { other.active_ = false; }
  SocketSession& operator=(SocketSession&&) = delete;
  ~SocketSession();

 private:
  SocketSession() : active_(true) {}
  bool active_;
};

}  // namespace vyn
