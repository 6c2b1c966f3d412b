// The one path of every command the control sends to a CD drive. Callers
// fill ASPI request blocks and hand them to SubmitRequest, or let
// ExecuteCommand run one command block and wait for it. The blocks go to
// the installed ASPI library or, when none is installed, to the built-in
// pass-through emulation over the drive letters; callers see the same
// request format, statuses and adapter numbering either way.
//
// Owned by the control, made at its startup and closed at its end.
// Open and Close run on the owner's thread while no request is in flight;
// SubmitRequest and ExecuteCommand may be called from any thread at once
// (the host, the drives' polling threads, the extraction worker).
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "drive/aspi_library_backend.h"
#include "platform/scsi/aspi.h"
#include "platform/scsi/pass_through.h"

namespace vyn {

struct DriveRecord;
class PassThroughEmulation;

// How long ExecuteCommand waits for a pending command before aborting it.
inline constexpr DWORD kCommandWaitMs = 10000;

enum class TransportBackend { kNone, kLibrary, kEmulation };

// Where the transport finds its back-ends. Production uses the defaults;
// tests name another library file or pass a fake system.
struct TransportSeams {
  std::string library_name = kAspiLibraryName;
  // Null: the real system's drives. Must outlive the transport.
  PassThroughSystem* pass_through = nullptr;
};

class ScsiTransport {
 public:
  explicit ScsiTransport(TransportSeams seams = {});
  ~ScsiTransport();
  ScsiTransport(const ScsiTransport&) = delete;
  ScsiTransport& operator=(const ScsiTransport&) = delete;

  // Chooses the back-end: the library when it loads (and fails when it
  // lacks an entry point, without trying the emulation), else the
  // emulation when at least one CD drive letter is usable.
  bool Open();
  // Status in bits 8–15, host-adapter count in bits 0–7.
  DWORD GetSupportInfo();
  // The request's status; the block's status field holds the same value
  // and, for a pending request, is updated later by the library.
  BYTE SubmitRequest(void* request);
  // Runs one command block (at most 16 bytes) against one drive and waits
  // up to kCommandWaitMs: SS_COMP, SS_ERR, or SS_ABORTED when it could not
  // start or did not finish in time. `direction` is SRB_DIR_IN, SRB_DIR_OUT
  // or 0.
  BYTE ExecuteCommand(BYTE adapter,
                      BYTE target,
                      BYTE lun,
                      BYTE direction,
                      std::span<const BYTE> cdb,
                      BYTE* buffer,
                      DWORD length);
  BYTE ExecuteCommand(const DriveRecord& drive,
                      BYTE direction,
                      std::span<const BYTE> cdb,
                      BYTE* buffer,
                      DWORD length);
  // Waits for the commands still in flight (a polling thread that outlived
  // its stop wait may be inside one, for at most the command wait), then
  // releases the back-end.
  void Close();

  TransportBackend backend() const { return backend_; }
  // The loaded library, while the library back-end is in use.
  const AspiLibraryBackend* library() const { return library_.get(); }

 private:
  TransportSeams seams_;
  std::unique_ptr<PassThroughSystem> own_system_;  // the real one, when no fake is given
  std::unique_ptr<AspiLibraryBackend> library_;
  std::unique_ptr<PassThroughEmulation> emulation_;
  TransportBackend backend_ = TransportBackend::kNone;

  // Counts the calls under way so Close never pulls the back-end from
  // under one.
  class InFlight;
  std::mutex in_flight_mutex_;
  std::condition_variable in_flight_done_;
  int in_flight_ = 0;  // guarded by in_flight_mutex_
};

}  // namespace vyn
