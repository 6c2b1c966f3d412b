// The library's one host adapter and the virtual drives on it, drive t at
// target t, LUN 0. Made on first use from VYN_VIRTUAL_DRIVES (a
// ';'-separated list of CUE paths, "synthetic:…" descriptions or "empty";
// unset means one empty drive) and the fault variables of
// environment_faults.h. An image that cannot be opened is reported on
// stderr and leaves its drive empty.
//
// Thread-safe: a shared lock guards the drive list against Configure;
// each drive's device and completion queue are thread-safe themselves.
#pragma once

#include <atomic>
#include <memory>
#include <shared_mutex>
#include <string_view>
#include <vector>

#include "platform/scsi/aspi.h"
#include "virtual/completion_queue.h"
#include "virtual/mmc_device.h"

namespace vyn::virtual_drive {

inline constexpr int kMaxDrives = 8;  // targets 0 to 7

class VirtualBus {
 public:
  static VirtualBus& Instance();

  // The request blocks of the ASPI interface; each returns the status.
  BYTE HostAdapterInquiry(SRB_HAInquiry& request) const;
  BYTE GetDeviceType(SRB_GDEVBlock& request);
  BYTE Execute(SRB_ExecSCSICmd& request);
  BYTE Abort(SRB_Abort& request);

  // Replaces every drive (pending requests end aborted); returns how many
  // images could not be opened.
  int Configure(std::string_view drives);
  int drive_count();
  // Runs `action` on drive `index`'s device; false when there is none.
  template <class Action>
  bool WithDevice(int index, Action&& action) {
    std::shared_lock lock(drives_mutex_);
    if (index < 0 || index >= static_cast<int>(drives_.size()))
      return false;
    action(drives_[index]->device);
    return true;
  }

  void set_completion_delay_ms(std::uint32_t ms) { delay_ms_.store(ms); }
  void set_never_complete(bool never) { never_complete_.store(never); }
  void set_immediate_completion(bool immediate) { immediate_.store(immediate); }

 private:
  struct Drive {
    explicit Drive(int number);
    MmcDevice device;
    CompletionQueue queue;  // after the device: its thread stops first
  };

  VirtualBus();

  std::shared_mutex drives_mutex_;
  std::vector<std::unique_ptr<Drive>> drives_;  // guarded by drives_mutex_
  std::atomic<std::uint32_t> delay_ms_{0};
  std::atomic<bool> never_complete_{false};
  std::atomic<bool> immediate_{false};
};

}  // namespace vyn::virtual_drive
