// Small helpers of the drive tests: a deadline for calls that wait, a
// temporary folder that the library search is pointed at, and a synthetic
// disc for the virtual drives.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/scsi/mmc_commands.h"
#include "virtual/synthetic_disc.h"

namespace vyn::testing {

// Runs `body`; a call still running after `limit` ends the test process
// with a message instead of hanging the run.
inline void FinishWithin(std::chrono::seconds limit, const std::function<void()>& body) {
  std::mutex mutex;
  std::condition_variable done_changed;
  bool done = false;
  std::thread runner([&] {
    body();
    std::lock_guard lock(mutex);
    done = true;
    done_changed.notify_all();
  });
  std::unique_lock lock(mutex);
  if (!done_changed.wait_for(lock, limit, [&] { return done; })) {
    std::fprintf(stderr, "a call did not finish within %lld s\n",
                 static_cast<long long>(limit.count()));
    std::_Exit(1);
  }
  lock.unlock();
  runner.join();
}

// A fresh folder, removed with its contents at the end.
class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("vyn-drive-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Sets an environment variable for the lifetime of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name))
      old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnvironment() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// A disc of one audio track of `frames` sectors.
inline std::shared_ptr<const virtual_drive::Disc> AudioDisc(int frames = 4500) {
  auto disc = virtual_drive::BuildSyntheticDisc("synthetic:a" + std::to_string(frames));
  EXPECT_TRUE(disc.ok());
  return std::make_shared<const virtual_drive::Disc>(std::move(disc.value()));
}

// READ CD of `count` sectors from `lba`, LUN 0.
inline mmc::Command12 ReadCdCommand(std::int32_t lba, std::int32_t count) {
  return mmc::ReadCdCommand(0, lba, static_cast<std::uint16_t>(count));
}

}  // namespace vyn::testing
