// The back-end used when no ASPI library is installed: answers the ASPI
// request blocks itself by passing the commands to the drive letters'
// devices through the system's pass-through seam.
//
// Each distinct port of the CD drive letters is one host adapter, numbered
// from 0 in ascending port order. A drive is found by (port, target, LUN).
// INQUIRY is answered from the data the scan stored; every other command
// goes to the drive's device, opened on first use. When a command fails
// because the medium changed or the device is not open, the letter is
// probed again and the command sent once more.
//
// Thread-safe: requests may come from several threads at once. `mutex_`
// guards the letter table and the adapter map; it is held only to read or
// update them, never while a command runs, so commands to different drives
// (and to the same drive) proceed in parallel. A command keeps the device
// it was sent to alive; a thread that sees the medium change drops the
// entry's device only when it is still the one that failed, so a device
// another thread has opened in the meantime stays open.
#pragma once

#include <array>
#include <mutex>
#include <optional>
#include <vector>

#include "drive/drive_letter_entry.h"
#include "platform/scsi/aspi.h"

namespace vyn {

class PassThroughEmulation {
 public:
  // `system` outlives the emulation.
  explicit PassThroughEmulation(PassThroughSystem& system);
  PassThroughEmulation(const PassThroughEmulation&) = delete;
  PassThroughEmulation& operator=(const PassThroughEmulation&) = delete;

  // Fills the letter table once; returns the number of usable drives found
  // (0 when the table was already filled).
  int ScanLetters();
  // Status SS_COMP (1) in bits 8–15 and the adapter count in bits 0–7, or
  // SS_NO_ADAPTERS in bits 8–15 when there is none.
  DWORD GetSupportInfo() const;
  // Completes the request before returning (never SS_PENDING).
  BYTE Submit(void* request);
  // Closes every device and forgets the table.
  void Close();

 private:
  enum class Attempt { kFirst, kRetry };

  BYTE PortOfAdapter(BYTE adapter) const;
  std::optional<int> FindEntry(BYTE port, BYTE target, BYTE lun) const;
  BYTE GetDeviceType(SRB_GDEVBlock& block);
  BYTE Execute(SRB_ExecSCSICmd& block, BYTE port, Attempt attempt);
  void ProbeAgain(int letter_index);

  PassThroughSystem& system_;
  mutable std::mutex mutex_;
  std::array<DriveLetterEntry, 26> letters_;  // guarded by mutex_
  std::vector<DWORD> adapter_map_;            // guarded by mutex_
  bool scanned_ = false;                      // guarded by mutex_
};

}  // namespace vyn
