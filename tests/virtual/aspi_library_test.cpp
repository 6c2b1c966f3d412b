#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "tests/virtual/aspi_request.h"
#include "virtual/synthetic_disc.h"
#include "virtual/virtual_control.h"

extern "C" DWORD GetASPI32SupportInfo();

namespace vyn::virtual_drive {
namespace {

class AspiLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VynVirtualSetCompletionDelay(0);
    VynVirtualSetNeverComplete(0);
    ASSERT_EQ(VynVirtualConfigure("synthetic:a1000,a500;empty;synthetic:d300"), 0);
  }
  void TearDown() override {
    VynVirtualSetCompletionDelay(0);
    VynVirtualSetNeverComplete(0);
    VynVirtualSetImmediateCompletion(0);
  }
};

// Catches a library the control cannot load: missing entry points or a
// wrong support answer.
TEST_F(AspiLibraryTest, ExportsTheEntryPointsAndOneAdapter) {
  Dl_info linked{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&GetASPI32SupportInfo), &linked), 0);
  EXPECT_NE(std::string(linked.dli_fname).find("libwnaspi32.so"), std::string::npos);
  void* module = dlopen(linked.dli_fname, RTLD_NOW);
  ASSERT_NE(module, nullptr) << dlerror();
  auto support = reinterpret_cast<GetASPI32SupportInfoFn>(dlsym(module, kGetSupportInfoName));
  auto send = reinterpret_cast<SendASPI32CommandFn>(dlsym(module, kSendCommandName));
  ASSERT_NE(support, nullptr);
  ASSERT_NE(send, nullptr);
  EXPECT_EQ(support(), 0x0101u);
  SRB_HAInquiry inquiry{};
  inquiry.SRB_Cmd = SC_HA_INQUIRY;
  EXPECT_EQ(send(&inquiry), SS_COMP);
  EXPECT_EQ(inquiry.HA_Count, 1);
  inquiry.SRB_HaId = 1;
  EXPECT_EQ(send(&inquiry), SS_INVALID_HA);
  dlclose(module);
}

// Catches drives at the wrong address, or devices reported where none is.
TEST_F(AspiLibraryTest, ReportsACdDriveAtEachConfiguredTargetAndLunZeroOnly) {
  static const struct {
    BYTE ha, target, lun, status, type;
  } kCases[] = {{0, 0, 0, SS_COMP, DTYPE_CDROM},
                {0, 1, 0, SS_COMP, DTYPE_CDROM},
                {0, 2, 0, SS_COMP, DTYPE_CDROM},
                {0, 3, 0, SS_NO_DEVICE, DTYPE_UNKNOWN},
                {0, 0, 1, SS_NO_DEVICE, DTYPE_UNKNOWN},
                {0, 7, 7, SS_NO_DEVICE, DTYPE_UNKNOWN},
                {1, 0, 0, SS_INVALID_HA, 0}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << int{c.ha} << ":" << int{c.target} << ":" << int{c.lun});
    SRB_GDEVBlock block{};
    block.SRB_Cmd = SC_GET_DEV_TYPE;
    block.SRB_HaId = c.ha;
    block.SRB_Target = c.target;
    block.SRB_Lun = c.lun;
    EXPECT_EQ(SendASPI32Command(&block), c.status);
    EXPECT_EQ(block.SRB_Status, c.status);
    EXPECT_EQ(block.SRB_DeviceType, c.type);
  }
}

// Catches execute requests completed synchronously, completed without
// their event, or with the wrong data.
TEST_F(AspiLibraryTest, CompletesExecuteRequestsLaterAndSignalsTheirEvent) {
  AspiRequest inquiry(0, {0x12, 0, 0, 0, 36, 0}, 36);
  EXPECT_EQ(inquiry.Send(), SS_PENDING);
  ASSERT_TRUE(inquiry.WaitDone());
  EXPECT_EQ(inquiry.srb().SRB_Status, SS_COMP);
  EXPECT_EQ(std::string(inquiry.buffer().begin() + 8, inquiry.buffer().begin() + 32),
            "VYN     Virtual CD 0    ");

  AspiRequest toc(2, kReadTocBlock, 2048);
  ASSERT_EQ(toc.Run(), SS_COMP);
  EXPECT_EQ(toc.buffer()[1], 18);    // two descriptors
  EXPECT_EQ(toc.buffer()[5], 0x14);  // a data track

  AspiRequest read(0, ReadCdBlock(990, 26), 26 * 2352);
  ASSERT_EQ(read.Run(), SS_COMP);
  EXPECT_EQ(FirstWrongSyntheticFrame(read.buffer(), 990 * 588), -1);
}

// Catches refused commands reported as success, or without sense data.
TEST_F(AspiLibraryTest, CompletesRefusedCommandsWithAnErrorAndSense) {
  AspiRequest past_end(0, ReadCdBlock(1490, 11), 11 * 2352);
  ASSERT_EQ(past_end.Run(), SS_ERR);
  EXPECT_EQ(past_end.srb().SRB_TargStat, 0x02);
  EXPECT_EQ(past_end.srb().SenseArea[2], 0x05);
  EXPECT_EQ(past_end.srb().SenseArea[12], 0x21);

  AspiRequest empty(1, kTestUnitReadyBlock, 0, 0);
  ASSERT_EQ(empty.Run(), SS_ERR);
  EXPECT_EQ(empty.srb().SenseArea[2], 0x02);
  EXPECT_EQ(empty.srb().SenseArea[12], 0x3A);

  AspiRequest nowhere(5, kTestUnitReadyBlock, 0, 0);
  EXPECT_EQ(nowhere.Send(), SS_NO_DEVICE);
  EXPECT_FALSE(nowhere.done());
}

// Catches an abort that cannot reach a slow or lost request, leaves it
// pending, or does not wake the waiter.
TEST_F(AspiLibraryTest, AbortEndsSlowAndLostRequests) {
  for (const bool lost : {false, true}) {
    SCOPED_TRACE(lost ? "never completed" : "slow");
    VynVirtualSetCompletionDelay(lost ? 0 : 600000);
    VynVirtualSetNeverComplete(lost);
    AspiRequest request(0, kTestUnitReadyBlock, 0, 0);
    ASSERT_EQ(request.Send(), SS_PENDING);
    EXPECT_FALSE(request.done());
    SRB_Abort abort{};
    abort.SRB_Cmd = SC_ABORT_SRB;
    abort.SRB_ToAbort = &request.srb();
    EXPECT_EQ(SendASPI32Command(&abort), SS_COMP);
    ASSERT_TRUE(request.WaitDone());
    EXPECT_EQ(request.srb().SRB_Status, SS_ABORTED);
    EXPECT_EQ(SendASPI32Command(&abort), SS_ERR);  // nothing left to abort
  }
  // Later requests complete normally again.
  VynVirtualSetCompletionDelay(0);
  VynVirtualSetNeverComplete(0);
  AspiRequest after(0, kTestUnitReadyBlock, 0, 0);
  EXPECT_EQ(after.Run(), SS_COMP);
}

// Catches a reconfiguration that strands a pending request's waiter.
TEST_F(AspiLibraryTest, ReconfiguringAbortsHeldRequests) {
  VynVirtualSetNeverComplete(1);
  AspiRequest request(0, kTestUnitReadyBlock, 0, 0);
  ASSERT_EQ(request.Send(), SS_PENDING);
  EXPECT_EQ(VynVirtualConfigure("empty"), 0);
  ASSERT_TRUE(request.WaitDone());
  EXPECT_EQ(request.srb().SRB_Status, SS_ABORTED);
}

// Catches a control API that does not reach the drive the library serves.
TEST_F(AspiLibraryTest, ControlApiSwitchesMediaAndReportsWhatTheDriveWasAsked) {
  EXPECT_EQ(VynVirtualDriveCount(), 3);
  AspiRequest open(0, {0x1B, 0, 0, 0, 0x02, 0}, 0, SRB_DIR_OUT);
  ASSERT_EQ(open.Run(), SS_COMP);
  AspiRequest tur_open(0, kTestUnitReadyBlock, 0, 0);
  EXPECT_EQ(tur_open.Run(), SS_ERR);
  EXPECT_EQ(VynVirtualSetTrayOpen(0, 0), VYN_VIRTUAL_OK);
  AspiRequest tur_closed(0, kTestUnitReadyBlock, 0, 0);
  EXPECT_EQ(tur_closed.Run(), SS_COMP);

  EXPECT_EQ(VynVirtualInsertDisc(1, "synthetic:a200"), VYN_VIRTUAL_OK);
  AspiRequest tur_inserted(1, kTestUnitReadyBlock, 0, 0);
  EXPECT_EQ(tur_inserted.Run(), SS_COMP);
  EXPECT_EQ(VynVirtualInsertDisc(1, "synthetic:q"), VYN_VIRTUAL_BAD_IMAGE);
  EXPECT_EQ(VynVirtualRemoveDisc(1), VYN_VIRTUAL_OK);
  AspiRequest tur_removed(1, kTestUnitReadyBlock, 0, 0);
  EXPECT_EQ(tur_removed.Run(), SS_ERR);
  EXPECT_EQ(VynVirtualInsertDisc(9, "empty"), VYN_VIRTUAL_NO_SUCH_DRIVE);

  unsigned read_kbs = 0, write_kbs = 0;
  EXPECT_EQ(VynVirtualGetLastSpeed(2, &read_kbs, &write_kbs), 0);
  AspiRequest speed(2, {0xBB, 0, 0x02, 0xC0, 0x02, 0xC0, 0, 0, 0, 0, 0, 0}, 0, SRB_DIR_OUT);
  ASSERT_EQ(speed.Run(), SS_COMP);
  EXPECT_EQ(VynVirtualGetLastSpeed(2, &read_kbs, &write_kbs), 1);
  EXPECT_EQ(read_kbs, 704u);
  EXPECT_EQ(write_kbs, 704u);
  EXPECT_EQ(VynVirtualCommandCount(0, 0x00), 2u);
  EXPECT_EQ(VynVirtualCommandCount(0, 0x1B), 1u);
  EXPECT_EQ(VynVirtualResetCommandCounts(0), VYN_VIRTUAL_OK);
  EXPECT_EQ(VynVirtualCommandCount(0, 0x00), 0u);

  EXPECT_EQ(VynVirtualAddUnreadable(0, 10, 1), VYN_VIRTUAL_OK);
  AspiRequest bad_sector(0, ReadCdBlock(0, 26), 26 * 2352);
  EXPECT_EQ(bad_sector.Run(), SS_ERR);
  EXPECT_EQ(bad_sector.srb().SenseArea[2], 0x03);
  EXPECT_EQ(VynVirtualConfigure("synthetic:a10;/no/such/disc.cue"), 1);
  AspiRequest bad_image(1, kTestUnitReadyBlock, 0, 0);
  EXPECT_EQ(bad_image.Run(), SS_ERR);
}

// Catches a synchronous completion without its status, data or event, and
// one that overtakes a request still queued for the same drive.
TEST_F(AspiLibraryTest, ImmediateCompletionFinishesBeforeReturningAndKeepsOrder) {
  VynVirtualSetImmediateCompletion(1);
  AspiRequest read(0, ReadCdBlock(990, 10), 10 * 2352);
  ASSERT_EQ(read.Send(), SS_COMP);
  EXPECT_EQ(read.srb().SRB_Status, SS_COMP);
  EXPECT_TRUE(read.done());
  EXPECT_EQ(FirstWrongSyntheticFrame(read.buffer(), 990 * 588), -1);

  AspiRequest refused(0, ReadCdBlock(1490, 11), 11 * 2352);
  EXPECT_EQ(refused.Send(), SS_ERR);
  EXPECT_EQ(refused.srb().SenseArea[12], 0x21);

  // A request still queued for a drive keeps later ones of that drive
  // queued behind it; another drive is not held up.
  VynVirtualSetCompletionDelay(200);
  AspiRequest slow(0, kTestUnitReadyBlock, 0, 0);
  ASSERT_EQ(slow.Send(), SS_PENDING);
  VynVirtualSetCompletionDelay(0);
  AspiRequest behind(0, kTestUnitReadyBlock, 0, 0);
  ASSERT_EQ(behind.Send(), SS_PENDING);
  AspiRequest other_drive(2, kTestUnitReadyBlock, 0, 0);
  EXPECT_EQ(other_drive.Send(), SS_COMP);
  ASSERT_TRUE(behind.WaitDone());
  EXPECT_TRUE(slow.done());
  EXPECT_EQ(behind.srb().SRB_Status, SS_COMP);
}

// Catches lost, mixed-up or racing completions when several threads send
// requests to the same and to different drives at once, with completions
// on the library's thread and on the callers'.
TEST_F(AspiLibraryTest, ServesConcurrentCallersOnSeveralDrives) {
  for (const int immediate : {0, 1}) {
    SCOPED_TRACE(immediate ? "immediate completion" : "queued completion");
    VynVirtualSetImmediateCompletion(immediate);
    ASSERT_EQ(VynVirtualConfigure("synthetic:a3000;synthetic:a3000"), 0);
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t) {
      threads.emplace_back([t, &wrong] {
        for (int i = 0; i < 40; ++i) {
          const std::int32_t lba = (t * 40 + i) * 13 % 2900;
          AspiRequest read(static_cast<BYTE>(t % 2), ReadCdBlock(lba, 26), 26 * 2352);
          if (read.Run() != SS_COMP || FirstWrongSyntheticFrame(read.buffer(), lba * 588) != -1)
            ++wrong;
        }
      });
    }
    for (auto& thread : threads)
      thread.join();
    EXPECT_EQ(wrong.load(), 0);
  }
}

}  // namespace
}  // namespace vyn::virtual_drive
