// Drives on the virtual-drive library for the Drive, Track and polling
// tests: a fake owner that records posted events and can claim an
// extraction, a transport on libwnaspi32.so, records from a bus scan, and
// checks at the end that no COM object or module lock is left behind.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "control/module_lock.h"
#include "drive/drive_owner.h"
#include "drive/drive_scan.h"
#include "drive/scsi_transport.h"
#include "platform/com/com_object.h"
#include "platform/com/error_info.h"
#include "tests/drive/test_support.h"
#include "tests/platform/com/dispatch_stub.h"
#include "virtual/virtual_control.h"

namespace vyn::testing {

struct PostedEvent {
  UINT message;
  WPARAM wparam;
  bool operator==(const PostedEvent&) const = default;
};

// Thread-safe, as the drive's owner must be.
class FakeDriveOwner final : public DriveOwner {
 public:
  bool IsExtractionRunning() const override {
    std::lock_guard lock(mutex_);
    return extracting_;
  }
  void PostEvent(UINT message, WPARAM wparam) override {
    std::lock_guard lock(mutex_);
    events_.push_back({message, wparam});
    changed_.notify_all();
  }

  void SetExtractionRunning(bool running) {
    std::lock_guard lock(mutex_);
    extracting_ = running;
  }
  std::vector<PostedEvent> events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }
  // True when `count` events have been posted within `limit` of real time.
  bool WaitForEvents(std::size_t count, std::chrono::milliseconds limit) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return events_.size() >= count; });
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool extracting_ = false;          // guarded by mutex_
  std::vector<PostedEvent> events_;  // guarded by mutex_
};

// A CDDB record stand-in: the drive only holds and drops them.
class FakeCddbRecord final : public DispatchStub<FakeCddbRecord, ICDDBRecord> {
 public:
  HRESULT get_Description(BSTR*) override { return E_NOTIMPL; }
  HRESULT SetActive() override { return E_NOTIMPL; }
  HRESULT get_RawData(BSTR*) override { return E_NOTIMPL; }

 protected:
  ~FakeCddbRecord() override = default;
};

// The description of the calling thread's current error object; empty
// when there is none.
inline std::u16string TakeErrorDescription() {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.Receive()) != S_OK || !info)
    return {};
  Bstr description;
  info->GetDescription(description.Receive());
  return description.Str();
}

inline unsigned CommandCount(BYTE opcode, int drive = 0) {
  return VynVirtualCommandCount(drive, opcode);
}

class VirtualDriveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    live_before_ = LiveComObjectCount();
    VynVirtualSetNeverComplete(0);
    VynVirtualSetCompletionDelay(0);
  }
  void TearDown() override {
    VynVirtualSetNeverComplete(0);
    // A polling thread that outlived its stop wait lets go of the drive's
    // collections when its tick ends.
    const auto settle = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (LiveComObjectCount() != live_before_ && std::chrono::steady_clock::now() < settle)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(LiveComObjectCount(), live_before_) << "a COM object leaked";
    EXPECT_EQ(ModuleLockCount(), 0);
  }

  // Serves `drives` (VYN_VIRTUAL_DRIVES grammar) and scans for them.
  void UseDrives(const std::string& drives) {
    ASSERT_EQ(VynVirtualConfigure(drives.c_str()), 0);
    if (transport_.backend() == TransportBackend::kNone) {
      ASSERT_TRUE(transport_.Open());
    }
    ASSERT_EQ(transport_.backend(), TransportBackend::kLibrary);
    records_ = ScanDrives(transport_, 1);
    ASSERT_FALSE(records_.empty());
    for (int drive = 0; drive < VynVirtualDriveCount(); ++drive)
      VynVirtualResetCommandCounts(drive);
  }
  DriveRecord& record(std::size_t index = 0) { return records_.at(index); }

  TempFolder registry_folder_;
  // Error reports look up ProgIDs; keep them off the user's store.
  ScopedEnvironment registry_{"VYN_REGISTRY", (registry_folder_.path() / "classes.reg").string()};
  FakeDriveOwner owner_;
  ScsiTransport transport_{{VYN_VIRTUAL_LIBRARY}};
  std::vector<DriveRecord> records_;
  long live_before_ = 0;
};

}  // namespace vyn::testing
