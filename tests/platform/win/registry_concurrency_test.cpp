#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include "platform/win/reg_file_format.h"
#include "platform/win/registry_store.h"
#include "tests/platform/win/registry_test_env.h"

namespace vyn {
namespace {

constexpr int kValuesPerWriter = 100;
constexpr auto kDeadline = std::chrono::seconds(120);

// Adds "<writer>-<n>" values to one key; returns how many writes failed.
int AddValues(const std::string& store_path, const std::string& writer) {
  RegistryStore store(store_path);
  int failures = 0;
  for (int n = 0; n < kValuesPerWriter; ++n)
    if (!store.SetString("Shared", writer + "-" + std::to_string(n), "value " + std::to_string(n)))
      ++failures;
  return failures;
}

class RegistryConcurrencyTest : public testing::RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    ASSERT_TRUE(RegistryStore(store_path_).CreateKey("Shared").ok());
  }

  void ExpectAllValues(std::initializer_list<const char*> writers) const {
    auto text = ReadStoreFile();
    ASSERT_TRUE(ParseRegFile(text, store_path_).ok());
    RegistryStore store(store_path_);
    EXPECT_EQ(store.EnumValues("Shared")->size(), writers.size() * kValuesPerWriter);
    for (const char* writer : writers)
      for (int n = 0; n < kValuesPerWriter; ++n)
        EXPECT_EQ(store.QueryString("Shared", writer + ("-" + std::to_string(n))).value(),
                  "value " + std::to_string(n));
  }
};

// Catches lost updates between processes: a write that is not a locked
// read-modify-write drops the other writer's values, and a write that is
// not atomic leaves a half-written file.
TEST_F(RegistryConcurrencyTest, TwoProcessesLoseNoValue) {
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0)
    ::_exit(AddValues(store_path_, "child") == 0 ? 0 : 1);
  int parent_failures = AddValues(store_path_, "parent");

  int status = 0;
  auto give_up = std::chrono::steady_clock::now() + kDeadline;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > give_up) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      FAIL() << "the child writer did not finish in time";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(parent_failures, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ExpectAllValues({"parent", "child"});
}

// Catches a lock that only excludes other processes: flock must also
// serialise two threads of one process that open the lock file separately.
TEST_F(RegistryConcurrencyTest, TwoThreadsLoseNoValue) {
  auto first = std::async(std::launch::async, AddValues, store_path_, "first");
  auto second = std::async(std::launch::async, AddValues, store_path_, "second");
  auto give_up = std::chrono::steady_clock::now() + kDeadline;
  if (first.wait_until(give_up) != std::future_status::ready ||
      second.wait_until(give_up) != std::future_status::ready) {
    // A blocked thread cannot be stopped; end the test run instead of hanging.
    std::fprintf(stderr, "the writer threads did not finish in time\n");
    std::abort();
  }
  EXPECT_EQ(first.get() + second.get(), 0);
  ExpectAllValues({"first", "second"});
}

}  // namespace
}  // namespace vyn
