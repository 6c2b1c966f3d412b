#include "virtual/mmc_device.h"
#include "platform/scsi/mmc_commands.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/virtual/temp_folder.h"
#include "virtual/cue_loader.h"
#include "virtual/disc_image.h"
#include "virtual/synthetic_disc.h"

namespace vyn::virtual_drive {
namespace {

std::shared_ptr<const Disc> Synthetic(const std::string& description) {
  auto disc = OpenDiscImage(description);
  EXPECT_TRUE(disc.ok()) << (disc.ok() ? "" : disc.error().message);
  return disc.ok() ? *disc : nullptr;
}

std::vector<BYTE> ReadTocCdb(std::uint16_t allocation = 2048, BYTE start = 1, BYTE msf = 0) {
  return {0x43,
          msf,
          0,
          0,
          0,
          0,
          start,
          static_cast<BYTE>(allocation >> 8),
          static_cast<BYTE>(allocation),
          0};
}

std::vector<BYTE> ReadCdCdb(std::int32_t lba, std::uint32_t count) {
  auto block = mmc::ReadCdCommand(0, lba, static_cast<std::uint16_t>(count));
  return {block.begin(), block.end()};
}

const std::vector<BYTE> kTestUnitReady(6, 0);

struct Reply {
  ScsiOutcome outcome;
  std::vector<BYTE> data;
};

Reply Send(MmcDevice& device, const std::vector<BYTE>& cdb, std::size_t buffer = 2048) {
  Reply reply{{}, std::vector<BYTE>(buffer, 0xEE)};
  reply.outcome = device.Execute(cdb, reply.data);
  reply.data.resize(reply.outcome.transferred);
  return reply;
}

// The descriptor bytes the control parses: ADR/CONTROL, number, LBA.
std::vector<BYTE> Descriptor(BYTE adr_control, BYTE number, std::int32_t lba) {
  const auto a = static_cast<std::uint32_t>(lba);
  return {0,
          adr_control,
          number,
          0,
          static_cast<BYTE>(a >> 24),
          static_cast<BYTE>(a >> 16),
          static_cast<BYTE>(a >> 8),
          static_cast<BYTE>(a)};
}

std::vector<BYTE> ExpectedToc(BYTE first,
                              BYTE last,
                              const std::vector<std::vector<BYTE>>& descriptors) {
  const std::size_t length = 2 + 8 * descriptors.size();
  std::vector<BYTE> bytes = {static_cast<BYTE>(length >> 8), static_cast<BYTE>(length), first,
                             last};
  for (const auto& d : descriptors)
    bytes.insert(bytes.end(), d.begin(), d.end());
  return bytes;
}

// Catches a TOC layout the control would parse wrongly: header length,
// descriptor order and fields, the lead-out entry.
TEST(MmcDeviceTest, ReportsTheTocOfTwelveAudioTracks) {
  std::string description = "synthetic:a1000";
  for (int i = 2; i <= 12; ++i)
    description += ",a" + std::to_string(1000 + i);
  MmcDevice device(0, Synthetic(description));
  std::vector<std::vector<BYTE>> descriptors;
  std::int32_t lba = 0;
  for (int i = 1; i <= 12; ++i) {
    descriptors.push_back(Descriptor(0x10, static_cast<BYTE>(i), lba));
    lba += i == 1 ? 1000 : 1000 + i;
  }
  descriptors.push_back(Descriptor(0x10, 0xAA, lba));
  const Reply reply = Send(device, ReadTocCdb());
  ASSERT_TRUE(reply.outcome.good());
  EXPECT_EQ(reply.data, ExpectedToc(1, 12, descriptors));
}

// Catches a data track reported as audio or a second session placed
// without its gap; the last audio frame lies 11401 before track 11.
TEST(MmcDeviceTest, ReportsATwoSessionDiscWithADataTrackEleven) {
  std::string description = "synthetic:a500";
  for (int i = 2; i <= 10; ++i)
    description += ",a500";
  MmcDevice device(0, Synthetic(description + "|d3000"));
  std::vector<std::vector<BYTE>> descriptors;
  for (int i = 1; i <= 10; ++i)
    descriptors.push_back(Descriptor(0x10, static_cast<BYTE>(i), (i - 1) * 500));
  const std::int32_t data_start = 5000 + 11400;
  descriptors.push_back(Descriptor(0x14, 11, data_start));
  descriptors.push_back(Descriptor(0x14, 0xAA, data_start + 3000));
  const Reply toc = Send(device, ReadTocCdb());
  ASSERT_TRUE(toc.outcome.good());
  EXPECT_EQ(toc.data, ExpectedToc(1, 11, descriptors));
  EXPECT_TRUE(Send(device, ReadCdCdb(data_start - 11401, 1), 2352).outcome.good());
  EXPECT_FALSE(Send(device, ReadCdCdb(data_start - 11400, 1), 2352).outcome.good());
}

// Catches a data-only disc with a wrong kind, and the allocation length or
// the starting track ignored.
TEST(MmcDeviceTest, ReportsADataOnlyDiscAndHonoursAllocationAndStartTrack) {
  MmcDevice device(0, Synthetic("synthetic:d2000,d1000"));
  const auto full = ExpectedToc(
      1, 2, {Descriptor(0x14, 1, 0), Descriptor(0x14, 2, 2000), Descriptor(0x14, 0xAA, 3000)});
  EXPECT_EQ(Send(device, ReadTocCdb()).data, full);
  const Reply cut = Send(device, ReadTocCdb(12));
  ASSERT_TRUE(cut.outcome.good());
  EXPECT_EQ(cut.data, std::vector<BYTE>(full.begin(), full.begin() + 12));  // length field still 26
  EXPECT_EQ(Send(device, ReadTocCdb(2048), 10).data.size(), 10u);           // nor past the buffer
  EXPECT_EQ(Send(device, ReadTocCdb(2048, 2)).data,
            ExpectedToc(1, 2, {Descriptor(0x14, 2, 2000), Descriptor(0x14, 0xAA, 3000)}));
  EXPECT_EQ(Send(device, ReadTocCdb(2048, 0xAA)).data,
            ExpectedToc(1, 2, {Descriptor(0x14, 0xAA, 3000)}));
  EXPECT_FALSE(Send(device, ReadTocCdb(2048, 3)).outcome.good());
  // MSF form: the lead-out 3000 + 150 frames is 00:42:00.
  const Reply msf = Send(device, ReadTocCdb(2048, 0xAA, 0x02));
  EXPECT_EQ(std::vector<BYTE>(msf.data.begin() + 8, msf.data.end()),
            (std::vector<BYTE>{0, 0, 42, 0}));
}

// Catches READ CD serving bytes from the wrong offset of a BIN file.
TEST(MmcDeviceTest, ReadCdReturnsTheBinBytes) {
  TempFolder folder;
  const auto bin = PatternSectors(400, 11);
  folder.Write("disc.bin", bin);
  auto disc = LoadCueDisc(folder.Write("disc.cue",
                                       "FILE disc.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 "
                                       "00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:02:00\n"));
  ASSERT_TRUE(disc.ok()) << disc.error().message;
  MmcDevice device(0, std::make_shared<const Disc>(std::move(*disc)));
  for (std::int32_t lba : {0, 1, 140, 374}) {
    SCOPED_TRACE(lba);
    const Reply reply = Send(device, ReadCdCdb(lba, 26), 26 * 2352);
    ASSERT_TRUE(reply.outcome.good());
    EXPECT_TRUE(std::equal(reply.data.begin(), reply.data.end(), bin.begin() + lba * 2352));
  }
}

// Catches READ CD of synthetic audio that does not carry its position.
TEST(MmcDeviceTest, ReadCdReturnsTheSyntheticPcm) {
  MmcDevice device(0, Synthetic("synthetic:a1000,a500"));
  const Reply reply = Send(device, ReadCdCdb(990, 26), 26 * 2352);
  ASSERT_TRUE(reply.outcome.good());
  ASSERT_EQ(reply.data.size(), 26u * 2352);
  EXPECT_EQ(FirstWrongSyntheticFrame(reply.data, 990 * 588), -1);
}

// Catches reads that run past the lead-out, into the session gap, before
// LBA 0 or beyond the caller's buffer being served instead of refused.
TEST(MmcDeviceTest, RefusesReadsOutsideTheReadableSectors) {
  MmcDevice device(0, Synthetic("synthetic:a1000|d500"));
  const std::int32_t second = 1000 + 11400;
  static const struct {
    std::int32_t lba;
    std::uint32_t count;
    std::size_t buffer_sectors;
    SenseCode sense;
  } kCases[] = {
      {second + 490, 11, 11, kSenseLbaOutOfRange},  // one sector into the lead-out
      {second + 500, 1, 1, kSenseLbaOutOfRange},
      {995, 6, 6, kSenseLbaOutOfRange},  // into the gap
      {second - 1, 2, 2, kSenseLbaOutOfRange},
      {-1, 2, 2, kSenseLbaOutOfRange},
      {0, 27, 26, kSenseInvalidField},  // more than the buffer
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.lba);
    const Reply reply = Send(device, ReadCdCdb(c.lba, c.count), c.buffer_sectors * 2352);
    EXPECT_EQ(reply.outcome.status, kScsiStatusCheckCondition);
    EXPECT_EQ(reply.outcome.sense.key, c.sense.key);
    EXPECT_EQ(reply.outcome.sense.asc, c.sense.asc);
  }
  EXPECT_TRUE(Send(device, ReadCdCdb(second + 490, 10), 10 * 2352).outcome.good());
  EXPECT_TRUE(Send(device, ReadCdCdb(994, 6), 6 * 2352).outcome.good());
}

// Catches jitter that is not whole stereo frames, exceeds its bound, never
// happens, or differs between two runs with the same seed.
TEST(MmcDeviceTest, JitterDisplacesReadsByWholeStereoFramesWithinTheBound) {
  constexpr std::int32_t kBound = 300;
  MmcDevice first(0, Synthetic("synthetic:a5000"));
  MmcDevice second(1, Synthetic("synthetic:a5000"));
  first.SetJitter(kBound, 42);
  second.SetJitter(kBound, 42);
  std::set<std::int64_t> seen;
  for (int i = 0; i < 200; ++i) {
    const std::int32_t lba = 10 + i * 20;
    const Reply a = Send(first, ReadCdCdb(lba, 26), 26 * 2352);
    const Reply b = Send(second, ReadCdCdb(lba, 26), 26 * 2352);
    ASSERT_TRUE(a.outcome.good());
    EXPECT_EQ(a.data, b.data);
    const auto n = DecodeSyntheticFrame(a.data.data());
    ASSERT_TRUE(n.has_value());
    const std::int64_t shift = static_cast<std::int64_t>(*n) - std::int64_t{lba} * 588;
    EXPECT_LE(std::abs(shift), kBound);
    EXPECT_EQ(shift, first.last_jitter_frames());
    EXPECT_EQ(FirstWrongSyntheticFrame(a.data, *n), -1);  // contiguous from there
    seen.insert(shift);
  }
  EXPECT_GT(seen.size(), 50u);
  // At LBA 0 an early start has nothing to read: the drive lands exactly.
  first.SetJitter(kBound, 7);
  for (int i = 0; i < 20; ++i) {
    const Reply at_start = Send(first, ReadCdCdb(0, 1), 2352);
    ASSERT_TRUE(at_start.outcome.good());
    const auto n = DecodeSyntheticFrame(at_start.data.data());
    ASSERT_TRUE(n.has_value());
    EXPECT_LE(*n, static_cast<std::uint32_t>(kBound));
  }
}

// Catches an open tray or an empty drive that still serves media commands,
// or a tray that cannot be closed again.
TEST(MmcDeviceTest, TrayAndMediaChangesControlWhatTheDriveServes) {
  MmcDevice device(3, Synthetic("synthetic:a1000"));
  const std::vector<BYTE> open_tray = {0x1B, 0, 0, 0, 0x02, 0};
  const std::vector<BYTE> close_tray = {0x1B, 0, 0, 0, 0x03, 0};
  auto not_ready = [&](const std::vector<BYTE>& cdb, std::size_t buffer) {
    const Reply reply = Send(device, cdb, buffer);
    return !reply.outcome.good() && reply.outcome.sense.key == 0x02 &&
           reply.outcome.sense.asc == 0x3A;
  };
  auto media_commands_fail = [&] {
    return not_ready(kTestUnitReady, 0) && not_ready(ReadTocCdb(), 2048) &&
           not_ready(ReadCdCdb(0, 1), 2352);
  };
  EXPECT_TRUE(Send(device, kTestUnitReady, 0).outcome.good());
  EXPECT_TRUE(Send(device, open_tray, 0).outcome.good());
  EXPECT_TRUE(device.tray_open());
  EXPECT_TRUE(media_commands_fail());
  EXPECT_TRUE(Send(device, close_tray, 0).outcome.good());
  EXPECT_TRUE(Send(device, ReadTocCdb(), 2048).outcome.good());

  device.InsertDisc(Synthetic("synthetic:d700"));
  EXPECT_EQ(Send(device, ReadTocCdb()).data[5], 0x14);
  device.InsertDisc(nullptr);
  EXPECT_TRUE(media_commands_fail());
  device.SetTrayOpen(true);
  device.InsertDisc(Synthetic("synthetic:a100"));
  EXPECT_TRUE(media_commands_fail());
  device.SetTrayOpen(false);
  EXPECT_TRUE(Send(device, kTestUnitReady, 0).outcome.good());

  // The drive itself still answers.
  const Reply inquiry = Send(device, {0x12, 0, 0, 0, 36, 0});
  ASSERT_EQ(inquiry.data.size(), 36u);
  EXPECT_EQ(inquiry.data[0], 0x05);
  EXPECT_EQ(std::string(inquiry.data.begin() + 8, inquiry.data.begin() + 32),
            "VYN     Virtual CD 3    ");
}

// Catches unreadable sectors served anyway, or their neighbours refused.
TEST(MmcDeviceTest, UnreadableSectorsFailOnlyTheReadsThatTouchThem) {
  MmcDevice device(0, Synthetic("synthetic:a1000"));
  device.AddUnreadable(100, 2);
  EXPECT_TRUE(Send(device, ReadCdCdb(74, 26), 26 * 2352).outcome.good());
  const Reply bad = Send(device, ReadCdCdb(80, 21), 21 * 2352);
  EXPECT_FALSE(bad.outcome.good());
  EXPECT_EQ(bad.outcome.sense.key, 0x03);
  EXPECT_TRUE(Send(device, ReadCdCdb(102, 26), 26 * 2352).outcome.good());
  device.ClearUnreadable();
  EXPECT_TRUE(Send(device, ReadCdCdb(80, 26), 26 * 2352).outcome.good());
}

// Catches unknown commands accepted, SET CD SPEED not recorded, or
// commands not counted.
TEST(MmcDeviceTest, RecordsSpeedCountsCommandsAndRefusesUnknownOnes) {
  MmcDevice device(0);
  const Reply unknown = Send(device, {0x5A, 0, 0x2A, 0, 0, 0, 0, 0, 0x20, 0});
  EXPECT_EQ(unknown.outcome.sense.key, 0x05);
  EXPECT_EQ(unknown.outcome.sense.asc, 0x20);
  EXPECT_FALSE(device.last_speed().set);
  EXPECT_TRUE(Send(device, {0xBB, 0, 0x16, 0x00, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}, 0).outcome.good());
  EXPECT_TRUE(device.last_speed().set);
  EXPECT_EQ(device.last_speed().read_kbs, 0x1600);
  EXPECT_EQ(device.last_speed().write_kbs, 0xFFFF);
  EXPECT_EQ(device.CommandCount(0xBB), 1u);
  EXPECT_EQ(device.CommandCount(0x5A), 1u);
  EXPECT_EQ(device.CommandCount(0x43), 0u);
  std::array<BYTE, 18> sense{};
  unknown.outcome.FillSense(sense);
  EXPECT_EQ(sense[0], 0x70);
  EXPECT_EQ(sense[2], 0x05);
  EXPECT_EQ(sense[12], 0x20);
}

}  // namespace
}  // namespace vyn::virtual_drive
