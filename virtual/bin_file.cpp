#include "virtual/bin_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vyn::virtual_drive {

Result<std::shared_ptr<const BinFile>> BinFile::Open(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return Error{E_FAIL, "cannot open '" + path + "': " + std::strerror(errno)};
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return Error{E_FAIL, "'" + path + "' is not a regular file"};
  }
  return std::shared_ptr<const BinFile>(new BinFile(fd, static_cast<std::uint64_t>(info.st_size)));
}

BinFile::~BinFile() {
  ::close(fd_);
}

bool BinFile::Read(std::uint64_t offset, std::size_t length, BYTE* out) const {
  while (length > 0) {
    const ssize_t got = ::pread(fd_, out, length, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0)
      return false;  // an error, or the file shrank under us
    out += got;
    offset += static_cast<std::uint64_t>(got);
    length -= static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace vyn::virtual_drive
