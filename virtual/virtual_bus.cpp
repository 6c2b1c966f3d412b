#include "virtual/virtual_bus.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win/clock.h"
#include "virtual/disc_image.h"
#include "virtual/environment_faults.h"

namespace vyn::virtual_drive {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

void CopyPadded(BYTE* out, const char* text, std::size_t size) {
  std::memset(out, ' ', size);
  std::memcpy(out, text, std::min(size, std::strlen(text)));
}

// Runs one execute request against its device and fills the block.
BYTE RunCommand(MmcDevice& device, SRB_ExecSCSICmd& request) {
  const std::size_t cdb_length = std::min<std::size_t>(request.SRB_CDBLen, sizeof request.CDBByte);
  const std::span<BYTE> data = request.SRB_BufPointer
                                   ? std::span<BYTE>(request.SRB_BufPointer, request.SRB_BufLen)
                                   : std::span<BYTE>();
  const ScsiOutcome outcome =
      device.Execute(std::span<const BYTE>(request.CDBByte, cdb_length), data);
  request.SRB_HaStat = 0;
  request.SRB_TargStat = outcome.status;
  outcome.FillSense(std::span<BYTE>(
      request.SenseArea, std::min<std::size_t>(request.SRB_SenseLen, sizeof request.SenseArea)));
  return outcome.good() ? SS_COMP : SS_ERR;
}

}  // namespace

VirtualBus::Drive::Drive(int number)
    : device(number),
      queue([this](SRB_ExecSCSICmd& request) { return RunCommand(device, request); }) {}

VirtualBus& VirtualBus::Instance() {
  static VirtualBus bus;
  return bus;
}

VirtualBus::VirtualBus() {
  const char* drives = std::getenv("VYN_VIRTUAL_DRIVES");
  Configure(drives ? std::string_view(drives) : kEmptyDrive);
  const EnvironmentFaults faults =
      ParseEnvironmentFaults([](const char* name) { return std::getenv(name); });
  delay_ms_.store(faults.delay_ms);
  never_complete_.store(faults.never_complete);
  immediate_.store(faults.immediate);
  for (auto& drive : drives_) {
    if (faults.jitter_bound > 0)
      drive->device.SetJitter(faults.jitter_bound, faults.jitter_seed);
    for (const auto& range : faults.unreadable)
      drive->device.AddUnreadable(range.first, range.count);
  }
}

int VirtualBus::Configure(std::string_view list) {
  std::vector<std::unique_ptr<Drive>> drives;
  int failures = 0;
  while (!list.empty()) {
    const std::size_t separator = list.find(';');
    const std::string_view image = Trim(list.substr(0, separator));
    list.remove_prefix(separator == std::string_view::npos ? list.size() : separator + 1);
    if (image.empty())
      continue;
    if (drives.size() == kMaxDrives) {
      std::fprintf(stderr, "libwnaspi32: only %d drives fit on the bus; ignoring '%.*s'\n",
                   kMaxDrives, static_cast<int>(image.size()), image.data());
      continue;
    }
    auto drive = std::make_unique<Drive>(static_cast<int>(drives.size()));
    auto disc = OpenDiscImage(image);
    if (disc) {
      drive->device.InsertDisc(*disc);
    } else {
      ++failures;
      std::fprintf(stderr, "libwnaspi32: drive %zu is empty: %s\n", drives.size(),
                   disc.error().message.c_str());
    }
    drives.push_back(std::move(drive));
  }
  std::unique_lock lock(drives_mutex_);
  drives_.swap(drives);
  lock.unlock();
  return failures;  // the old drives go here, aborting what they held
}

int VirtualBus::drive_count() {
  std::shared_lock lock(drives_mutex_);
  return static_cast<int>(drives_.size());
}

BYTE VirtualBus::HostAdapterInquiry(SRB_HAInquiry& request) const {
  if (request.SRB_HaId != 0)
    return request.SRB_Status = SS_INVALID_HA;
  request.HA_Count = 1;
  request.HA_SCSI_ID = 7;
  CopyPadded(request.HA_ManagerId, "VYN VIRTUAL BUS", sizeof request.HA_ManagerId);
  CopyPadded(request.HA_Identifier, "VIRTUAL CD", sizeof request.HA_Identifier);
  std::memset(request.HA_Unique, 0, sizeof request.HA_Unique);
  request.HA_Unique[3] = kMaxDrives;  // targets
  const std::uint32_t max_transfer = 1 << 20;
  std::memcpy(request.HA_Unique + 4, &max_transfer, sizeof max_transfer);
  return request.SRB_Status = SS_COMP;
}

BYTE VirtualBus::GetDeviceType(SRB_GDEVBlock& request) {
  if (request.SRB_HaId != 0)
    return request.SRB_Status = SS_INVALID_HA;
  if (request.SRB_Lun == 0 && request.SRB_Target < drive_count()) {
    request.SRB_DeviceType = DTYPE_CDROM;
    return request.SRB_Status = SS_COMP;
  }
  request.SRB_DeviceType = DTYPE_UNKNOWN;
  return request.SRB_Status = SS_NO_DEVICE;
}

BYTE VirtualBus::Execute(SRB_ExecSCSICmd& request) {
  if (request.SRB_HaId != 0)
    return request.SRB_Status = SS_INVALID_HA;
  std::shared_lock lock(drives_mutex_);
  if (request.SRB_Lun != 0 || request.SRB_Target >= drives_.size())
    return request.SRB_Status = SS_NO_DEVICE;
  if (request.SRB_CDBLen == 0 || request.SRB_CDBLen > sizeof request.CDBByte) {
    return request.SRB_Status = SS_ERR;
  }
  const auto delay = CurrentClock().RealDuration(std::chrono::milliseconds(delay_ms_.load()));
  const bool never = never_complete_.load();
  CompletionQueue& queue = drives_[request.SRB_Target]->queue;
  if (immediate_.load() && delay.count() == 0 && !never) {
    if (auto status = queue.CompleteNow(request))
      return *status;
  }
  queue.Submit(&request, delay,
               never ? CompletionQueue::Completion::kNever : CompletionQueue::Completion::kNormal);
  return SS_PENDING;
}

BYTE VirtualBus::Abort(SRB_Abort& request) {
  if (request.SRB_HaId != 0)
    return request.SRB_Status = SS_INVALID_HA;
  std::shared_lock lock(drives_mutex_);
  for (auto& drive : drives_) {
    if (drive->queue.Abort(request.SRB_ToAbort))
      return request.SRB_Status = SS_COMP;
  }
  return request.SRB_Status = SS_ERR;  // not pending here: already complete, or unknown
}

}  // namespace vyn::virtual_drive
