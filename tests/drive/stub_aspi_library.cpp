// A scripted ASPI library for the library back-end's tests: devices at
// chosen addresses, answered at once, later from a thread of its own, or
// never (until aborted). Built twice: complete, and without
// SendASPI32Command (STUB_ASPI_WITHOUT_SEND).
//
// Thread-safe: one mutex guards the script and the records.
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>
#include <vector>

#include "drive/request_status.h"
#include "platform/scsi/aspi.h"
#include "platform/win/event.h"
#include "tests/drive/stub_aspi_controls.h"

namespace {

struct StubDevice {
  BYTE type = 0;
  BYTE inquiry[36] = {};
};

std::mutex g_mutex;
DWORD g_support_info = 0x0101;                                 // guarded by g_mutex
StubAnswer g_answer = StubAnswer::kAtOnce;                     // guarded by g_mutex
std::map<std::tuple<BYTE, BYTE, BYTE>, StubDevice> g_devices;  // guarded by g_mutex
std::set<void*> g_pending;                                     // guarded by g_mutex
std::vector<void*> g_aborted;                                  // guarded by g_mutex
std::vector<std::thread> g_completers;                         // guarded by g_mutex

void Finish(SRB_ExecSCSICmd* request, BYTE status) {
  HANDLE event = (request->SRB_Flags & SRB_EVENT_NOTIFY) ? request->SRB_PostProc : nullptr;
  vyn::StoreRequestStatus(request->SRB_Status, status);
  if (event)
    SetEvent(event);
}

// Under g_mutex: the outcome of an execute request against the script.
BYTE Answer(SRB_ExecSCSICmd* request) {
  auto found = g_devices.find({request->SRB_HaId, request->SRB_Target, request->SRB_Lun});
  if (found == g_devices.end())
    return SS_NO_DEVICE;
  if (request->CDBByte[0] == 0x12 && request->SRB_BufPointer) {
    std::memcpy(request->SRB_BufPointer, found->second.inquiry,
                std::min<DWORD>(36, request->SRB_BufLen));
  }
  return SS_COMP;
}

[[maybe_unused]] DWORD Execute(SRB_ExecSCSICmd* request) {
  std::unique_lock lock(g_mutex);
  switch (g_answer) {
    case StubAnswer::kAtOnce: {
      BYTE status = Answer(request);
      lock.unlock();
      Finish(request, status);
      return status;
    }
    case StubAnswer::kLater: {
      BYTE status = Answer(request);
      vyn::StoreRequestStatus(request->SRB_Status, SS_PENDING);
      g_completers.emplace_back([request, status] {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        Finish(request, status);
      });
      return SS_PENDING;
    }
    case StubAnswer::kNever:
      vyn::StoreRequestStatus(request->SRB_Status, SS_PENDING);
      g_pending.insert(request);
      return SS_PENDING;
  }
  return SS_ERR;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) DWORD GetASPI32SupportInfo() {
  std::lock_guard lock(g_mutex);
  return g_support_info;
}

#ifndef STUB_ASPI_WITHOUT_SEND
__attribute__((visibility("default"))) DWORD SendASPI32Command(void* request) {
  auto* header = static_cast<SRB_Header*>(request);
  switch (header->SRB_Cmd) {
    case SC_GET_DEV_TYPE: {
      auto* block = static_cast<SRB_GDEVBlock*>(request);
      std::lock_guard lock(g_mutex);
      if (g_answer == StubAnswer::kNever)
        return SS_PENDING;  // the block stays untouched
      auto found = g_devices.find({block->SRB_HaId, block->SRB_Target, block->SRB_Lun});
      if (found == g_devices.end()) {
        vyn::StoreRequestStatus(block->SRB_Status, SS_NO_DEVICE);
        return SS_NO_DEVICE;
      }
      block->SRB_DeviceType = found->second.type;
      vyn::StoreRequestStatus(block->SRB_Status, SS_COMP);
      return SS_COMP;
    }
    case SC_EXEC_SCSI_CMD:
      return Execute(static_cast<SRB_ExecSCSICmd*>(request));
    case SC_ABORT_SRB: {
      auto* abort = static_cast<SRB_Abort*>(request);
      std::lock_guard lock(g_mutex);
      g_pending.erase(abort->SRB_ToAbort);
      g_aborted.push_back(abort->SRB_ToAbort);
      abort->SRB_Status = SS_COMP;
      return SS_COMP;
    }
    default:
      header->SRB_Status = SS_INVALID_CMD;
      return SS_INVALID_CMD;
  }
}
#endif

__attribute__((visibility("default"))) void StubAspiReset(DWORD support_info, StubAnswer answer) {
  std::vector<std::thread> completers;
  {
    std::lock_guard lock(g_mutex);
    completers.swap(g_completers);
  }
  for (std::thread& thread : completers)
    thread.join();
  std::lock_guard lock(g_mutex);
  g_support_info = support_info;
  g_answer = answer;
  g_devices.clear();
  g_pending.clear();
  g_aborted.clear();
}

__attribute__((visibility("default"))) void StubAspiAddDevice(BYTE adapter,
                                                              BYTE target,
                                                              BYTE lun,
                                                              BYTE type,
                                                              const char* vendor_product) {
  StubDevice device;
  device.type = type;
  device.inquiry[0] = type;
  std::memcpy(device.inquiry + 8, vendor_product,
              std::min<std::size_t>(24, std::strlen(vendor_product)));
  std::lock_guard lock(g_mutex);
  g_devices[{adapter, target, lun}] = device;
}

__attribute__((visibility("default"))) int StubAspiAbortedCount(void* request) {
  std::lock_guard lock(g_mutex);
  int count = 0;
  for (void* aborted : g_aborted)
    count += aborted == request || request == nullptr;
  return count;
}

__attribute__((visibility("default"))) int StubAspiPendingCount() {
  std::lock_guard lock(g_mutex);
  return static_cast<int>(g_pending.size());
}

}  // extern "C"
