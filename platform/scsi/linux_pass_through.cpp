#include "platform/scsi/linux_pass_through.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <scsi/scsi.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/win/last_error.h"
#include "platform/win/system_info.h"

namespace vyn {
namespace {

constexpr unsigned kScsiCdromMajor = 11;
constexpr BYTE kInquiryOpcode = 0x12;
constexpr BYTE kSenseKeyUnitAttention = 0x06;
constexpr BYTE kAscMediumMayHaveChanged = 0x28;
constexpr unsigned kDriverSense = 0x08;
constexpr unsigned kDidTimeOut = 0x03;
constexpr unsigned kDidNoConnect = 0x01;
constexpr unsigned kDidBadTarget = 0x04;

int OpenRetrying(const std::string& path, int flags) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

int IoctlRetrying(int fd, unsigned long request, void* argument) {
  int result;
  do {
    result = ::ioctl(fd, request, argument);
  } while (result < 0 && errno == EINTR);
  return result;
}

// Sense key and additional sense code of fixed or descriptor sense data.
struct SenseCode {
  BYTE key = 0;
  BYTE asc = 0;
};

SenseCode ParseSense(const BYTE* sense, std::size_t length) {
  if (length < 3)
    return {};
  BYTE format = sense[0] & 0x7F;
  if (format == 0x72 || format == 0x73)
    return {static_cast<BYTE>(sense[1] & 0x0F), sense[2]};
  if (length < 13)
    return {static_cast<BYTE>(sense[2] & 0x0F), 0};
  return {static_cast<BYTE>(sense[2] & 0x0F), sense[12]};
}

int DirectionOf(const PassThroughCommand& command) {
  if (command.data.empty())
    return SG_DXFER_NONE;
  switch (command.direction) {
    case DataDirection::kIn:
      return SG_DXFER_FROM_DEV;
    case DataDirection::kOut:
      return SG_DXFER_TO_DEV;
    case DataDirection::kUnspecified:
      break;
  }
  return SG_DXFER_TO_FROM_DEV;
}

// A failure of the transport beneath the drive, as a system error code.
DWORD HostError(unsigned host_status) {
  switch (host_status) {
    case kDidTimeOut:
      return ERROR_SEM_TIMEOUT;
    case kDidNoConnect:
    case kDidBadTarget:
      return ERROR_DEV_NOT_EXIST;
    default:
      return ERROR_IO_DEVICE;
  }
}

class LinuxScsiDevice final : public ScsiDevice {
 public:
  explicit LinuxScsiDevice(int fd) : fd_(fd) {}
  ~LinuxScsiDevice() override { ::close(fd_); }

  Result<DeviceInquiry> Inquire() override {
    LogicalUnitInquiry unit;
    const BYTE cdb[6] = {kInquiryOpcode, 0, 0, 0, static_cast<BYTE>(kInquiryDataLength), 0};
    auto reply = PassThrough({cdb, DataDirection::kIn, unit.data, 15});
    if (!reply.ok())
      return reply.error();
    if (reply->scsi_status != kScsiStatusGood)
      return SystemError(ERROR_IO_DEVICE);
    if (auto address = QueryAddress(); address.ok()) {
      unit.path_id = address->path_id;
      unit.target_id = address->target_id;
      unit.lun = address->lun;
    }
    return DeviceInquiry{BusInquiry{unit}};
  }

  Result<ScsiAddress> QueryAddress() override {
    struct {
      int dev_id;
      int host_unique_id;
    } idlun{};
    if (IoctlRetrying(fd_, SCSI_IOCTL_GET_IDLUN, &idlun) < 0) {
      // A device without a SCSI address simply does not know the request.
      if (errno == ENOTTY || errno == EINVAL || errno == EOPNOTSUPP) {
        return SystemError(ERROR_NOT_SUPPORTED);
      }
      return SystemError(Win32ErrorFromErrno(errno));
    }
    auto id = static_cast<std::uint32_t>(idlun.dev_id);
    return ScsiAddress{static_cast<BYTE>(id >> 24), static_cast<BYTE>(id >> 16),
                       static_cast<BYTE>(id), static_cast<BYTE>(id >> 8)};
  }

  Result<PassThroughReply> PassThrough(const PassThroughCommand& command) override {
    if (command.cdb.empty() || command.cdb.size() > 16)
      return SystemError(ERROR_INVALID_PARAMETER);
    PassThroughReply reply;
    BYTE cdb[16] = {};
    std::memcpy(cdb, command.cdb.data(), command.cdb.size());
    sg_io_hdr_t header{};
    header.interface_id = 'S';
    header.dxfer_direction = DirectionOf(command);
    header.cmd_len = static_cast<unsigned char>(command.cdb.size());
    header.mx_sb_len = static_cast<unsigned char>(reply.sense.size());
    header.dxfer_len = static_cast<unsigned>(command.data.size());
    header.dxferp = command.data.data();
    header.cmdp = cdb;
    header.sbp = reply.sense.data();
    header.timeout = command.timeout_seconds * 1000;
    if (IoctlRetrying(fd_, SG_IO, &header) < 0)
      return SystemError(Win32ErrorFromErrno(errno));
    if (header.host_status != 0)
      return SystemError(HostError(header.host_status));
    reply.sense_length = std::min<std::size_t>(header.sb_len_wr, reply.sense.size());
    reply.scsi_status = header.status;
    if (reply.scsi_status == kScsiStatusGood && (header.driver_status & kDriverSense) &&
        reply.sense_length > 0) {
      reply.scsi_status = kScsiStatusCheckCondition;
    }
    if (reply.scsi_status == kScsiStatusCheckCondition) {
      SenseCode sense = ParseSense(reply.sense.data(), reply.sense_length);
      if (sense.key == kSenseKeyUnitAttention && sense.asc == kAscMediumMayHaveChanged) {
        return SystemError(ERROR_MEDIA_CHANGED);
      }
    }
    return reply;
  }

 private:
  const int fd_;
};

}  // namespace

LinuxPassThroughSystem::LinuxPassThroughSystem(std::string node_prefix)
    : node_prefix_(std::move(node_prefix)) {}

std::string LinuxPassThroughSystem::NodeOfLetter(char letter) const {
  if (letter < 'C' || letter > 'Z')
    return {};
  return node_prefix_ + std::to_string(letter - 'C');
}

SystemVersion LinuxPassThroughSystem::Version() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info))
    return {};
  return {info.dwPlatformId, info.dwMajorVersion};
}

DriveType LinuxPassThroughSystem::TypeOfDrive(char letter) {
  std::string node = NodeOfLetter(letter);
  if (node.empty())
    return DriveType::kOther;
  struct stat status {};
  if (::stat(node.c_str(), &status) != 0 || !S_ISBLK(status.st_mode))
    return DriveType::kOther;
  int fd = OpenRetrying(node, O_RDONLY);
  if (fd < 0) {
    // Without the right to open it, the device number still says what it is.
    return major(status.st_rdev) == kScsiCdromMajor ? DriveType::kCdRom : DriveType::kOther;
  }
  int capability = IoctlRetrying(fd, CDROM_GET_CAPABILITY, nullptr);
  ::close(fd);
  return capability >= 0 ? DriveType::kCdRom : DriveType::kOther;
}

Result<std::unique_ptr<ScsiDevice>> LinuxPassThroughSystem::OpenDevice(char letter,
                                                                       DeviceAccess access) {
  std::string node = NodeOfLetter(letter);
  if (node.empty())
    return SystemError(ERROR_FILE_NOT_FOUND);
  // Sharing needs no flag here: Linux lets every opener share the node.
  int flags = (access.desired & kGenericWrite) ? O_RDWR : O_RDONLY;
  int fd = OpenRetrying(node, flags);
  if (fd < 0)
    return SystemError(Win32ErrorFromErrno(errno));
  return std::unique_ptr<ScsiDevice>(std::make_unique<LinuxScsiDevice>(fd));
}

}  // namespace vyn
