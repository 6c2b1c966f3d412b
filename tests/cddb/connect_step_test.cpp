// The connection step on its own thread, and the process-wide name cache.
#include "cddb/cddb_connection.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "cddb/resolve_host.h"
#include "control/messages.h"
#include "platform/win/clock.h"
#include "tests/cddb/scoped_environment.h"
#include "tests/cddb/test_cddb_server.h"

namespace vyn {
namespace {

using namespace std::chrono_literals;
using testing::ScopedEnvironment;
using testing::ServerReply;
using testing::TestCddbServer;

// A name service that answers only when the test lets it.
class HeldLookup {
 public:
  std::optional<Ipv4Address> Lookup() {
    std::unique_lock lock(mutex_);
    entered_ = true;
    changed_.notify_all();
    changed_.wait(lock, [&] { return released_; });
    return kLoopbackAddress;
  }
  bool WaitUntilEntered(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return entered_; });
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool entered_ = false;   // guarded by mutex_
  bool released_ = false;  // guarded by mutex_
};

// Catches a connection step that makes the caller wait past its time-out,
// or that, once given up, writes into the caller's data or keeps the
// socket it opened (ASan and TSan watch the first; the server sees the
// second as a connection that closes without a request).
TEST(ConnectStepTest, AStepThatTakesTooLongIsGivenUp) {
  TestCddbServer server([](const std::string&) { return ServerReply{}; });
  ScopedEnvironment env;
  env.Set(kHttpProxyVariable, nullptr);
  auto held = std::make_shared<HeldLookup>();
  auto cache = std::make_shared<HostAddressCache>();
  {
    ScaledClock fast(1000);  // 20.1 s of waiting in about 20 ms
    ScopedClockOverride clock(fast);
    CddbSettings settings = FixedCddbSettings();
    settings.server_host = "slow.invalid";
    settings.server_port = server.port();
    ConnectSeams seams;
    seams.cache = cache.get();
    seams.lookup = [held](const std::string&) { return held->Lookup(); };
    auto connection = ConnectToCddbServer(settings, seams);
    ASSERT_FALSE(connection.ok());
    EXPECT_EQ(connection.error().message, MessageText(Message::kCddbConnectTimedOut));
    EXPECT_TRUE(held->WaitUntilEntered(5s));
  }
  held->Release();
  ASSERT_TRUE(server.WaitForConnections(1, 10s)) << "the given-up step never connected";
  EXPECT_EQ(server.requests(), std::vector<std::string>{""});
}

// Catches a name looked up again after it was resolved once in the process,
// lookups of dotted addresses, and races on the cache between steps.
TEST(ConnectStepTest, NamesAreLookedUpOncePerProcess) {
  HostAddressCache cache;
  std::atomic<int> lookups{0};
  const HostLookup lookup = [&](const std::string& name) -> std::optional<Ipv4Address> {
    ++lookups;
    if (name == "cddb.invalid")
      return Ipv4Address{0x7F000002};
    return std::nullopt;
  };
  ASSERT_EQ(ResolveHost("cddb.invalid", cache, lookup), (Ipv4Address{0x7F000002}));
  std::vector<std::thread> drives;
  for (int i = 0; i < 8; ++i) {
    drives.emplace_back([&] {
      for (int j = 0; j < 100; ++j)
        EXPECT_EQ(ResolveHost("cddb.invalid", cache, lookup), (Ipv4Address{0x7F000002}));
    });
  }
  for (auto& drive : drives)
    drive.join();
  EXPECT_EQ(lookups.load(), 1);
  EXPECT_EQ(ResolveHost("127.0.0.1", cache, lookup), kLoopbackAddress);
  EXPECT_EQ(lookups.load(), 1);
  EXPECT_EQ(ResolveHost("unknown.invalid", cache, lookup), std::nullopt);
  EXPECT_EQ(ResolveHost("unknown.invalid", cache, lookup), std::nullopt);
  EXPECT_EQ(lookups.load(), 3);  // failures are not remembered
  EXPECT_EQ(cache.Find("cddb.invalid"), "127.0.0.2");
}

}  // namespace
}  // namespace vyn
