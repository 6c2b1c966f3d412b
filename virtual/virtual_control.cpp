#include "virtual/virtual_control.h"

#include <cstdio>

#include "virtual/disc_image.h"
#include "virtual/virtual_bus.h"

using vyn::virtual_drive::MmcDevice;
using vyn::virtual_drive::VirtualBus;

namespace {

template <class Action>
int OnDrive(int drive, Action&& action) {
  return VirtualBus::Instance().WithDevice(drive, action) ? VYN_VIRTUAL_OK
                                                          : VYN_VIRTUAL_NO_SUCH_DRIVE;
}

}  // namespace

int VynVirtualConfigure(const char* drives) {
  return VirtualBus::Instance().Configure(drives ? drives : "");
}

int VynVirtualDriveCount(void) {
  return VirtualBus::Instance().drive_count();
}

int VynVirtualInsertDisc(int drive, const char* image) {
  if (drive < 0 || drive >= VynVirtualDriveCount())
    return VYN_VIRTUAL_NO_SUCH_DRIVE;
  auto disc = vyn::virtual_drive::OpenDiscImage(image ? image : "");
  if (!disc) {
    std::fprintf(stderr, "libwnaspi32: drive %d: %s\n", drive, disc.error().message.c_str());
    return VYN_VIRTUAL_BAD_IMAGE;
  }
  return OnDrive(drive, [&](MmcDevice& device) { device.InsertDisc(*disc); });
}

int VynVirtualRemoveDisc(int drive) {
  return OnDrive(drive, [](MmcDevice& device) { device.InsertDisc(nullptr); });
}

int VynVirtualSetTrayOpen(int drive, int open) {
  return OnDrive(drive, [open](MmcDevice& device) { device.SetTrayOpen(open != 0); });
}

int VynVirtualSetJitter(int drive, unsigned bound_frames, unsigned seed) {
  return OnDrive(drive, [=](MmcDevice& device) { device.SetJitter(bound_frames, seed); });
}

int VynVirtualAddUnreadable(int drive, int first_lba, int count) {
  return OnDrive(drive, [=](MmcDevice& device) { device.AddUnreadable(first_lba, count); });
}

int VynVirtualClearUnreadable(int drive) {
  return OnDrive(drive, [](MmcDevice& device) { device.ClearUnreadable(); });
}

void VynVirtualSetCompletionDelay(unsigned ms) {
  VirtualBus::Instance().set_completion_delay_ms(ms);
}

void VynVirtualSetNeverComplete(int never) {
  VirtualBus::Instance().set_never_complete(never != 0);
}

void VynVirtualSetImmediateCompletion(int immediate) {
  VirtualBus::Instance().set_immediate_completion(immediate != 0);
}

int VynVirtualGetLastSpeed(int drive, unsigned* read_kbs, unsigned* write_kbs) {
  vyn::virtual_drive::CdSpeed speed;
  if (OnDrive(drive, [&](MmcDevice& device) { speed = device.last_speed(); }) != VYN_VIRTUAL_OK) {
    return VYN_VIRTUAL_NO_SUCH_DRIVE;
  }
  if (read_kbs)
    *read_kbs = speed.read_kbs;
  if (write_kbs)
    *write_kbs = speed.write_kbs;
  return speed.set ? 1 : 0;
}

unsigned VynVirtualCommandCount(int drive, unsigned opcode) {
  unsigned count = 0;
  if (opcode > 0xFF)
    return 0;
  OnDrive(drive,
          [&](MmcDevice& device) { count = device.CommandCount(static_cast<BYTE>(opcode)); });
  return count;
}

int VynVirtualResetCommandCounts(int drive) {
  return OnDrive(drive, [](MmcDevice& device) { device.ResetCommandCounts(); });
}
