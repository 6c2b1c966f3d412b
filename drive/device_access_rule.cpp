#include "drive/device_access_rule.h"

namespace vyn {

namespace {
constexpr DWORD kNtPlatform = 2;
}  // namespace

DeviceAccess PreferredDeviceAccess(SystemVersion version) {
  if (version.platform_id == kNtPlatform && version.major > 4) {
    return {kGenericRead | kGenericWrite, kFileShareRead | kFileShareWrite};
  }
  return {kGenericRead, kFileShareRead};
}

Result<std::unique_ptr<ScsiDevice>> OpenDriveDevice(PassThroughSystem& system, char letter) {
  DeviceAccess access = PreferredDeviceAccess(system.Version());
  auto device = system.OpenDevice(letter, access);
  if (device.ok())
    return device;
  access.desired ^= kGenericWrite;
  access.share ^= kFileShareWrite;
  return system.OpenDevice(letter, access);
}

}  // namespace vyn
