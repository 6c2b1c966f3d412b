#include "virtual/mmc_device.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "virtual/toc_reply.h"

namespace vyn::virtual_drive {
namespace {

std::uint32_t BigEndian(std::span<const BYTE> bytes) {
  std::uint32_t value = 0;
  for (BYTE b : bytes)
    value = value << 8 | b;
  return value;
}

// The command block length each supported opcode needs.
std::size_t CdbLength(BYTE opcode) {
  switch (opcode) {
    case kOpTestUnitReady:
    case kOpInquiry:
    case kOpStartStopUnit:
      return 6;
    case kOpReadToc:
      return 10;
    default:
      return 12;
  }
}

std::size_t CopyOut(std::span<const BYTE> reply, std::size_t allocation, std::span<BYTE> data) {
  const std::size_t length = std::min({reply.size(), allocation, data.size()});
  std::copy_n(reply.begin(), length, data.begin());
  return length;
}

}  // namespace

MmcDevice::MmcDevice(int number, std::shared_ptr<const Disc> disc)
    : number_(number), disc_(std::move(disc)) {}

ScsiOutcome MmcDevice::Execute(std::span<const BYTE> cdb, std::span<BYTE> data) {
  if (cdb.empty())
    return ScsiOutcome::Check(kSenseInvalidOpcode);
  const BYTE opcode = cdb[0];
  counts_[opcode].fetch_add(1);
  std::lock_guard lock(mutex_);
  switch (opcode) {
    case kOpTestUnitReady:
    case kOpInquiry:
    case kOpStartStopUnit:
    case kOpReadToc:
    case kOpSetCdSpeed:
    case kOpReadCd:
      break;
    default:
      return ScsiOutcome::Check(kSenseInvalidOpcode);
  }
  if (cdb.size() < CdbLength(opcode))
    return ScsiOutcome::Check(kSenseInvalidField);
  switch (opcode) {
    case kOpInquiry:
      return Inquiry(cdb, data);
    case kOpStartStopUnit:
      return StartStopUnit(cdb);
    case kOpSetCdSpeed:
      return SetCdSpeed(cdb);
    default:
      break;
  }
  // The media commands.
  if (!disc_ || tray_open_)
    return ScsiOutcome::Check(kSenseNoMedium);
  if (opcode == kOpReadToc)
    return ReadToc(cdb, data);
  if (opcode == kOpReadCd)
    return ReadCd(cdb, data);
  return ScsiOutcome::Good(0);  // TEST UNIT READY
}

ScsiOutcome MmcDevice::Inquiry(std::span<const BYTE> cdb, std::span<BYTE> data) const {
  if (cdb[1] & 0x01)
    return ScsiOutcome::Check(kSenseInvalidField);  // no vital product data
  BYTE reply[kInquiryBytes] = {};
  reply[0] = 0x05;  // CD/DVD device
  reply[1] = 0x80;  // removable medium
  reply[2] = 0x05;
  reply[3] = 0x02;
  reply[4] = kInquiryBytes - 5;
  std::memcpy(reply + 8, "VYN     ", 8);
  char product[17];
  std::snprintf(product, sizeof product, "Virtual CD %-5d", number_);
  std::memcpy(reply + 16, product, 16);
  std::memcpy(reply + 32, "1.0 ", 4);
  const std::size_t allocation = BigEndian(cdb.subspan(3, 2));
  return ScsiOutcome::Good(CopyOut(reply, allocation, data));
}

ScsiOutcome MmcDevice::ReadToc(std::span<const BYTE> cdb, std::span<BYTE> data) const {
  const TocAddress address = (cdb[1] & 0x02) ? TocAddress::kMsf : TocAddress::kLba;
  const BYTE format = cdb[2] & 0x0F;
  const std::size_t allocation = BigEndian(cdb.subspan(7, 2));
  std::optional<TocReply> reply;
  if (format == 0) {
    reply = BuildTocReply(*disc_, cdb[6], address);
  } else if (format == 1) {
    reply = BuildSessionInfoReply(*disc_, address);
  }
  if (!reply)
    return ScsiOutcome::Check(kSenseInvalidField);
  return ScsiOutcome::Good(CopyOut(std::span(reply->bytes).first(reply->length), allocation, data));
}

ScsiOutcome MmcDevice::ReadCd(std::span<const BYTE> cdb, std::span<BYTE> data) {
  const auto lba = static_cast<std::int32_t>(BigEndian(cdb.subspan(2, 4)));
  const auto count = static_cast<std::int32_t>(BigEndian(cdb.subspan(6, 3)));
  const int expected_type = (cdb[1] >> 2) & 0x07;
  if ((cdb[9] & 0x10) == 0 || cdb[10] != 0)
    return ScsiOutcome::Check(kSenseInvalidField);
  if (count == 0)
    return ScsiOutcome::Good(0);
  const std::size_t bytes = static_cast<std::size_t>(count) * kSectorBytes;
  if (bytes > data.size())
    return ScsiOutcome::Check(kSenseInvalidField);
  if (lba < 0 || std::int64_t{lba} + count > disc_->lead_out_lba() ||
      !disc_->IsReadable(lba, count)) {
    return ScsiOutcome::Check(kSenseLbaOutOfRange);
  }
  if (expected_type != 0) {
    // Type 1 asks for CD-DA sectors only, types 2 to 5 for data sectors.
    const bool want_data = expected_type != 1;
    for (const DiscTrack& track : disc_->tracks()) {
      const bool overlaps =
          track.start_lba < lba + count && lba < track.start_lba + track.length_frames;
      if (overlaps && track.IsData() != want_data)
        return ScsiOutcome::Check(kSenseIllegalModeForTrack);
    }
  }
  if (TouchesUnreadable(lba, count))
    return ScsiOutcome::Check(kSenseReadError);

  const std::int32_t jitter = NextJitter();
  const std::int64_t start = std::int64_t{lba} * kSectorBytes;
  last_jitter_ = jitter;
  if (jitter == 0 || !disc_->Read(start + std::int64_t{jitter} * 4, bytes, data.data())) {
    // Near the edge of a readable region the drive lands on the sector itself.
    last_jitter_ = 0;
    if (!disc_->Read(start, bytes, data.data()))
      return ScsiOutcome::Check(kSenseReadError);
  }
  return ScsiOutcome::Good(bytes);
}

ScsiOutcome MmcDevice::StartStopUnit(std::span<const BYTE> cdb) {
  const bool load_eject = (cdb[4] & 0x02) != 0;
  const bool start = (cdb[4] & 0x01) != 0;
  if (load_eject)
    tray_open_ = !start;
  return ScsiOutcome::Good(0);
}

ScsiOutcome MmcDevice::SetCdSpeed(std::span<const BYTE> cdb) {
  speed_.read_kbs = static_cast<WORD>(BigEndian(cdb.subspan(2, 2)));
  speed_.write_kbs = static_cast<WORD>(BigEndian(cdb.subspan(4, 2)));
  speed_.set = true;
  return ScsiOutcome::Good(0);
}

bool MmcDevice::TouchesUnreadable(std::int32_t first_lba, std::int32_t count) const {
  return std::any_of(unreadable_.begin(), unreadable_.end(), [&](const LbaRange& range) {
    return range.first < std::int64_t{first_lba} + count &&
           first_lba < std::int64_t{range.first} + range.count;
  });
}

std::int32_t MmcDevice::NextJitter() {
  if (jitter_bound_ == 0)
    return 0;
  // xorshift32: deterministic for a seed on every platform.
  std::uint32_t x = jitter_state_;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  jitter_state_ = x;
  const std::uint64_t span = std::uint64_t{jitter_bound_} * 2 + 1;
  return static_cast<std::int32_t>(static_cast<std::int64_t>(x % span) - jitter_bound_);
}

void MmcDevice::InsertDisc(std::shared_ptr<const Disc> disc) {
  std::lock_guard lock(mutex_);
  disc_ = std::move(disc);
}

void MmcDevice::SetTrayOpen(bool open) {
  std::lock_guard lock(mutex_);
  tray_open_ = open;
}

bool MmcDevice::tray_open() const {
  std::lock_guard lock(mutex_);
  return tray_open_;
}

bool MmcDevice::HasMedium() const {
  std::lock_guard lock(mutex_);
  return disc_ && !tray_open_;
}

void MmcDevice::SetJitter(std::uint32_t bound_frames, std::uint32_t seed) {
  std::lock_guard lock(mutex_);
  jitter_bound_ = std::min<std::uint32_t>(bound_frames, 1'000'000);
  jitter_state_ = seed == 0 ? 0x9E3779B9u : seed;  // xorshift never leaves 0
}

void MmcDevice::AddUnreadable(std::int32_t first_lba, std::int32_t count) {
  std::lock_guard lock(mutex_);
  if (count > 0)
    unreadable_.push_back({first_lba, count});
}

void MmcDevice::ClearUnreadable() {
  std::lock_guard lock(mutex_);
  unreadable_.clear();
}

CdSpeed MmcDevice::last_speed() const {
  std::lock_guard lock(mutex_);
  return speed_;
}

std::int32_t MmcDevice::last_jitter_frames() const {
  std::lock_guard lock(mutex_);
  return last_jitter_;
}

void MmcDevice::ResetCommandCounts() {
  for (auto& count : counts_)
    count.store(0);
}

}  // namespace vyn::virtual_drive
