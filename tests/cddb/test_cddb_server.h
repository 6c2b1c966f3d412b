// A CDDB server on the loopback address for tests: answers each request
// with what its responder says, and can misbehave on demand (stay silent
// with the connection open, send endless lines or bytes). Serves one
// connection at a time on its own thread; records every request.
//
// Thread-safe: the test's thread reads what the server's thread records.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/net/tcp_listener.h"

namespace vyn::testing {

enum class AfterReply {
  kClose,         // close at once (also in the middle of a line)
  kHoldOpen,      // keep the connection open and send nothing more (5 s at most)
  kEndlessLines,  // then send lines until the client goes
  kEndlessBytes,  // then send bytes without any LF until the client goes
};

struct ServerReply {
  std::string bytes;
  AfterReply after = AfterReply::kClose;
};

using Responder = std::function<ServerReply(const std::string& request)>;

enum class LineEnd { kCrLf, kLf };

// The CDDB command of a request ("cddb query ..."), from its cmd= field.
std::string CommandOf(const std::string& request);
// An HTTP 200 head followed by `body`.
std::string HttpOk(const std::string& body, LineEnd line_end = LineEnd::kCrLf);
// Answers queries with `query_reply` and reads with the fixture file
// <category>/<id> (a 210 entry ending in "."), or 401 when there is none.
Responder FixtureResponder(std::string query_reply, LineEnd line_end = LineEnd::kCrLf);
// The fixture file's text with LF line ends.
std::string FixtureText(const std::string& category, const std::string& id);

class TestCddbServer {
 public:
  explicit TestCddbServer(Responder responder);
  ~TestCddbServer();
  TestCddbServer(const TestCddbServer&) = delete;
  TestCddbServer& operator=(const TestCddbServer&) = delete;

  std::uint16_t port() const { return listener_.port(); }
  // "127.0.0.1:<port>", for VYN_CDDB_SERVER or http_proxy.
  std::string address() const;
  std::vector<std::string> requests() const;
  // True when `count` connections have been served within `limit`.
  bool WaitForConnections(int count, std::chrono::milliseconds limit) const;
  // Silent holds that lasted until their limit because the client never left.
  int expired_holds() const { return expired_holds_.load(); }

 private:
  void Run();
  void Serve(TcpSocket& client);

  TcpListener listener_;
  Responder responder_;
  std::atomic<bool> stop_{false};
  std::atomic<int> expired_holds_{0};
  mutable std::mutex mutex_;
  mutable std::condition_variable served_;
  std::vector<std::string> requests_;  // guarded by mutex_
  int connections_ = 0;                // guarded by mutex_
  std::thread thread_;
};

}  // namespace vyn::testing
