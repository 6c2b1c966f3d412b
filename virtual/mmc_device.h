// One virtual CD drive answering MMC command blocks: INQUIRY, READ TOC,
// READ CD, TEST UNIT READY, START STOP UNIT and SET CD SPEED. An empty
// drive or an open tray fails every media command with NOT READY; unknown
// commands, reads past the lead-out or into a session gap fail with
// ILLEGAL REQUEST.
//
// Faults can be switched at run time: jitter (each READ CD starts a
// pseudo-random whole number of stereo frames early or late, within a
// bound, from a seeded generator), unreadable sectors (MEDIUM ERROR), a
// disc swapped or removed, the tray opened or closed.
//
// Thread-safe: one mutex guards the drive's state, so commands and fault
// switches may come from any thread; commands run one at a time.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "virtual/disc.h"
#include "virtual/scsi_outcome.h"

namespace vyn::virtual_drive {

inline constexpr BYTE kOpTestUnitReady = 0x00;
inline constexpr BYTE kOpInquiry = 0x12;
inline constexpr BYTE kOpStartStopUnit = 0x1B;
inline constexpr BYTE kOpReadToc = 0x43;
inline constexpr BYTE kOpSetCdSpeed = 0xBB;
inline constexpr BYTE kOpReadCd = 0xBE;

inline constexpr int kInquiryBytes = 36;

struct CdSpeed {
  WORD read_kbs = 0;  // as sent: kilobytes per second, 0xFFFF for the maximum
  WORD write_kbs = 0;
  bool set = false;  // false until the first SET CD SPEED
};

class MmcDevice {
 public:
  // `number` distinguishes drives in their INQUIRY product text.
  explicit MmcDevice(int number, std::shared_ptr<const Disc> disc = nullptr);

  // Runs one command block; data in or out goes through `data`.
  ScsiOutcome Execute(std::span<const BYTE> cdb, std::span<BYTE> data);

  // Media: swap in another disc (null removes it); open or close the tray.
  void InsertDisc(std::shared_ptr<const Disc> disc);
  void SetTrayOpen(bool open);
  bool tray_open() const;
  bool HasMedium() const;  // a disc is in and the tray is closed

  // Faults.
  void SetJitter(std::uint32_t bound_frames, std::uint32_t seed);
  void AddUnreadable(std::int32_t first_lba, std::int32_t count);
  void ClearUnreadable();

  // Observations.
  CdSpeed last_speed() const;
  std::int32_t last_jitter_frames() const;  // displacement of the last READ CD
  std::uint32_t CommandCount(BYTE opcode) const { return counts_[opcode].load(); }
  void ResetCommandCounts();

 private:
  struct LbaRange {
    std::int32_t first;
    std::int32_t count;
  };

  ScsiOutcome Inquiry(std::span<const BYTE> cdb, std::span<BYTE> data) const;
  ScsiOutcome ReadToc(std::span<const BYTE> cdb, std::span<BYTE> data) const;
  ScsiOutcome ReadCd(std::span<const BYTE> cdb, std::span<BYTE> data);
  ScsiOutcome StartStopUnit(std::span<const BYTE> cdb);
  ScsiOutcome SetCdSpeed(std::span<const BYTE> cdb);
  bool TouchesUnreadable(std::int32_t first_lba, std::int32_t count) const;
  std::int32_t NextJitter();

  const int number_;
  mutable std::mutex mutex_;
  std::shared_ptr<const Disc> disc_;  // guarded by mutex_
  bool tray_open_ = false;            // guarded by mutex_
  std::uint32_t jitter_bound_ = 0;    // guarded by mutex_
  std::uint32_t jitter_state_ = 0;    // guarded by mutex_
  std::int32_t last_jitter_ = 0;      // guarded by mutex_
  std::vector<LbaRange> unreadable_;  // guarded by mutex_
  CdSpeed speed_;                     // guarded by mutex_
  std::array<std::atomic<std::uint32_t>, 256> counts_{};
};

}  // namespace vyn::virtual_drive
