#include "drive/aspi_library_backend.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "drive/scsi_transport.h"
#include "platform/win/clock.h"
#include "platform/win/last_error.h"
#include "tests/drive/fake_pass_through_system.h"
#include "tests/drive/stub_aspi_controls.h"
#include "tests/drive/test_support.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using testing::FakePassThroughSystem;

constexpr char kStubName[] = "vynstubaspi.dll";
constexpr char kStubFile[] = "libvynstubaspi.so";

// The library search pointed at two empty folders standing for the system
// and Windows directories; the stub library is installed into either.
class AspiLibraryTest : public ::testing::Test {
 protected:
  AspiLibraryTest()
      : system_env_("VYN_SYSTEM_DIR", (root_.path() / "system").string()),
        windows_env_("VYN_WINDOWS_DIR", (root_.path() / "windows").string()) {
    fs::create_directories(SystemDir());
    fs::create_directories(WindowsDir());
    drives_.AddDrive('C', 0, 0, 0);
  }

  fs::path SystemDir() const { return root_.path() / "system"; }
  fs::path WindowsDir() const { return root_.path() / "windows"; }
  void Install(const char* built, const fs::path& folder) {
    fs::copy_file(built, folder / kStubFile);
  }
  ScsiTransport MakeTransport() { return ScsiTransport({kStubName, &drives_}); }

  testing::TempFolder root_;
  testing::ScopedEnvironment system_env_;
  testing::ScopedEnvironment windows_env_;
  FakePassThroughSystem drives_;
};

// The controls of the stub copy the transport loaded.
struct StubControls {
  explicit StubControls(const ScsiTransport& transport)
      : module(LoadLibraryA(transport.library()->Path().c_str())) {
    reset = reinterpret_cast<StubAspiResetFn>(GetProcAddress(module, "StubAspiReset"));
    add_device = reinterpret_cast<StubAspiAddDeviceFn>(GetProcAddress(module, "StubAspiAddDevice"));
    aborted =
        reinterpret_cast<StubAspiAbortedCountFn>(GetProcAddress(module, "StubAspiAbortedCount"));
    pending =
        reinterpret_cast<StubAspiPendingCountFn>(GetProcAddress(module, "StubAspiPendingCount"));
  }
  ~StubControls() {
    reset(0x0101, StubAnswer::kAtOnce);
    FreeLibrary(module);
  }

  HMODULE module;
  StubAspiResetFn reset;
  StubAspiAddDeviceFn add_device;
  StubAspiAbortedCountFn aborted;
  StubAspiPendingCountFn pending;
};

// Catches a search that gives up before the Windows directory.
TEST_F(AspiLibraryTest, FoundInTheWindowsDirectoryOnly) {
  Install(VYN_STUB_ASPI, WindowsDir());
  ScsiTransport transport = MakeTransport();
  ASSERT_TRUE(transport.Open());
  EXPECT_EQ(transport.backend(), TransportBackend::kLibrary);
  EXPECT_EQ(fs::path(transport.library()->Path()).parent_path(), WindowsDir());
  EXPECT_EQ(transport.GetSupportInfo(), 0x0101u);
  EXPECT_TRUE(drives_.OpenAttempts('C').empty());
}

// Catches a search that looks in the Windows directory before the system one.
TEST_F(AspiLibraryTest, SystemDirectoryComesBeforeWindowsDirectory) {
  Install(VYN_STUB_ASPI, SystemDir());
  Install(VYN_STUB_ASPI, WindowsDir());
  ScsiTransport transport = MakeTransport();
  ASSERT_TRUE(transport.Open());
  EXPECT_EQ(fs::path(transport.library()->Path()).parent_path(), SystemDir());
}

// Catches a transport that falls back to the drive letters when the
// installed library lacks an entry point.
TEST_F(AspiLibraryTest, IncompleteLibraryFailsWithoutTryingTheEmulation) {
  Install(VYN_STUB_ASPI_INCOMPLETE, WindowsDir());
  ScsiTransport transport = MakeTransport();
  EXPECT_FALSE(transport.Open());
  EXPECT_EQ(transport.backend(), TransportBackend::kNone);
  EXPECT_TRUE(drives_.OpenAttempts('C').empty());
  auto loaded = AspiLibraryBackend::Load(kStubName);
  EXPECT_EQ(loaded.code(), HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
}

// Catches a transport that gives up when no library is installed anywhere.
TEST_F(AspiLibraryTest, NoLibraryFallsBackToTheDriveLetters) {
  ScsiTransport transport = MakeTransport();
  ASSERT_TRUE(transport.Open());
  EXPECT_EQ(transport.backend(), TransportBackend::kEmulation);

  FakePassThroughSystem no_drives;
  ScsiTransport without_drives({kStubName, &no_drives});
  EXPECT_FALSE(without_drives.Open());
}

// Catches a command that waits for its completion signal without limit, or
// that returns without telling the library to drop the request.
TEST_F(AspiLibraryTest, PendingCommandIsAbortedAfterTheWait) {
  Install(VYN_STUB_ASPI, WindowsDir());
  ScsiTransport transport = MakeTransport();
  ASSERT_TRUE(transport.Open());
  StubControls stub(transport);
  stub.reset(0x0101, StubAnswer::kNever);
  stub.add_device(0, 1, 0, 5, "VENDOR  PRODUCT");
  ScaledClock fast(2000);
  ScopedClockOverride use_fast(fast);

  const BYTE test_unit_ready[6] = {};
  BYTE status = 0xFF;
  testing::FinishWithin(std::chrono::seconds(30), [&] {
    status = transport.ExecuteCommand(0, 1, 0, 0, test_unit_ready, nullptr, 0);
  });
  EXPECT_EQ(status, SS_ABORTED);
  EXPECT_EQ(stub.aborted(nullptr), 1);
  EXPECT_EQ(stub.pending(), 0);
}

// Catches a command whose late completion is missed or read before it lands.
TEST_F(AspiLibraryTest, CommandCompletedLaterIsWaitedFor) {
  Install(VYN_STUB_ASPI, WindowsDir());
  ScsiTransport transport = MakeTransport();
  ASSERT_TRUE(transport.Open());
  StubControls stub(transport);
  stub.reset(0x0101, StubAnswer::kLater);
  stub.add_device(0, 1, 0, 5, "VENDOR  PRODUCT");

  const BYTE inquiry[6] = {0x12, 0, 0, 0, 36, 0};
  BYTE data[36] = {};
  BYTE status = 0xFF;
  testing::FinishWithin(std::chrono::seconds(30), [&] {
    status = transport.ExecuteCommand(0, 1, 0, SRB_DIR_IN, inquiry, data, sizeof data);
  });
  EXPECT_EQ(status, SS_COMP);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data + 8), 14), "VENDOR  PRODUC");
  EXPECT_EQ(stub.aborted(nullptr), 0);
}

// Catches a Close that pulls the library from under a command still waiting
// (a polling thread that outlived its stop wait).
TEST_F(AspiLibraryTest, CloseWaitsForACommandInFlight) {
  Install(VYN_STUB_ASPI, WindowsDir());
  ScsiTransport transport = MakeTransport();
  ASSERT_TRUE(transport.Open());
  StubControls stub(transport);
  stub.reset(0x0101, StubAnswer::kNever);
  stub.add_device(0, 1, 0, 5, "VENDOR  PRODUCT");
  ScaledClock fast(200);
  ScopedClockOverride use_fast(fast);

  std::atomic<int> status{-1};
  std::thread poller([&] {
    const BYTE test_unit_ready[6] = {};
    status = transport.ExecuteCommand(0, 1, 0, 0, test_unit_ready, nullptr, 0);
  });
  testing::FinishWithin(std::chrono::seconds(30), [&] {
    while (stub.pending() == 0)
      std::this_thread::yield();
    transport.Close();
  });
  EXPECT_EQ(stub.aborted(nullptr), 1) << "Close returned before the command ended";
  poller.join();
  EXPECT_EQ(status.load(), SS_ABORTED);
}

}  // namespace
}  // namespace vyn
