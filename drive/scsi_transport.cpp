#include "drive/scsi_transport.h"

#include <algorithm>
#include <cstring>

#include "drive/drive_record.h"
#include "drive/pass_through_emulation.h"
#include "drive/request_status.h"
#include "platform/scsi/linux_pass_through.h"
#include "platform/win/event.h"
#include "platform/win/last_error.h"
#include "platform/win/wait.h"

namespace vyn {

class ScsiTransport::InFlight {
 public:
  explicit InFlight(ScsiTransport& transport) : transport_(transport) {
    std::lock_guard lock(transport_.in_flight_mutex_);
    ++transport_.in_flight_;
  }
  ~InFlight() {
    std::lock_guard lock(transport_.in_flight_mutex_);
    if (--transport_.in_flight_ == 0)
      transport_.in_flight_done_.notify_all();
  }
  InFlight(const InFlight&) = delete;
  InFlight& operator=(const InFlight&) = delete;

 private:
  ScsiTransport& transport_;
};

ScsiTransport::ScsiTransport(TransportSeams seams) : seams_(std::move(seams)) {}

ScsiTransport::~ScsiTransport() {
  Close();
}

bool ScsiTransport::Open() {
  auto library = AspiLibraryBackend::Load(seams_.library_name);
  if (library.ok()) {
    library_ = std::move(library.value());
    backend_ = TransportBackend::kLibrary;
    return true;
  }
  // A library that loads but is incomplete is not replaced by the emulation.
  if (SystemErrorCode(library.error()) != ERROR_MOD_NOT_FOUND)
    return false;

  PassThroughSystem* system = seams_.pass_through;
  if (!system) {
    own_system_ = std::make_unique<LinuxPassThroughSystem>();
    system = own_system_.get();
  }
  auto emulation = std::make_unique<PassThroughEmulation>(*system);
  if (emulation->ScanLetters() == 0)
    return false;
  emulation_ = std::move(emulation);
  backend_ = TransportBackend::kEmulation;
  return true;
}

DWORD ScsiTransport::GetSupportInfo() {
  switch (backend_) {
    case TransportBackend::kLibrary:
      return library_->GetSupportInfo();
    case TransportBackend::kEmulation:
      return emulation_->GetSupportInfo();
    case TransportBackend::kNone:
      break;
  }
  return DWORD{SS_NO_ADAPTERS} << 8;
}

BYTE ScsiTransport::SubmitRequest(void* request) {
  InFlight in_flight(*this);
  switch (backend_) {
    case TransportBackend::kLibrary:
      return library_->Submit(request);
    case TransportBackend::kEmulation:
      return emulation_->Submit(request);
    case TransportBackend::kNone:
      break;
  }
  auto* header = static_cast<SRB_Header*>(request);
  StoreRequestStatus(header->SRB_Status, SS_ERR);
  return SS_ERR;
}

BYTE ScsiTransport::ExecuteCommand(BYTE adapter,
                                   BYTE target,
                                   BYTE lun,
                                   BYTE direction,
                                   std::span<const BYTE> cdb,
                                   BYTE* buffer,
                                   DWORD length) {
  InFlight in_flight(*this);
  UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!event)
    return SS_ABORTED;

  SRB_ExecSCSICmd request{};
  request.SRB_Cmd = SC_EXEC_SCSI_CMD;
  request.SRB_HaId = adapter;
  request.SRB_Target = target;
  request.SRB_Lun = lun;
  request.SRB_Flags = static_cast<BYTE>(direction | SRB_EVENT_NOTIFY);
  request.SRB_BufLen = length;
  request.SRB_BufPointer = buffer;
  request.SRB_SenseLen = SENSE_LEN;
  std::size_t cdb_length = std::min<std::size_t>(cdb.size(), sizeof request.CDBByte);
  request.SRB_CDBLen = static_cast<BYTE>(cdb_length);
  request.SRB_PostProc = event.Get();
  if (cdb_length > 0)
    std::memcpy(request.CDBByte, cdb.data(), cdb_length);

  ResetEvent(event.Get());
  if (SubmitRequest(&request) != SS_PENDING)
    return LoadRequestStatus(request.SRB_Status);
  if (WaitForSingleObject(event.Get(), kCommandWaitMs) != WAIT_OBJECT_0)
    ResetEvent(event.Get());
  BYTE status = LoadRequestStatus(request.SRB_Status);
  if (status != SS_PENDING)
    return status;

  // The library must not touch the request once it has taken the abort.
  SRB_Abort abort{};
  abort.SRB_Cmd = SC_ABORT_SRB;
  abort.SRB_HaId = adapter;
  abort.SRB_ToAbort = &request;
  SubmitRequest(&abort);
  return SS_ABORTED;
}

BYTE ScsiTransport::ExecuteCommand(const DriveRecord& drive,
                                   BYTE direction,
                                   std::span<const BYTE> cdb,
                                   BYTE* buffer,
                                   DWORD length) {
  return ExecuteCommand(drive.host_adapter, drive.target, drive.lun, direction, cdb, buffer,
                        length);
}

void ScsiTransport::Close() {
  {
    std::unique_lock lock(in_flight_mutex_);
    in_flight_done_.wait(lock, [&] { return in_flight_ == 0; });
  }
  library_.reset();
  if (emulation_)
    emulation_->Close();
  emulation_.reset();
  own_system_.reset();
  backend_ = TransportBackend::kNone;
}

}  // namespace vyn
