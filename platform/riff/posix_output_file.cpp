// The system's files behind the FileLayer seam.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/riff/output_file.h"
#include "platform/win/last_error.h"

namespace vyn {
namespace {

Error FileError(int errno_value, const char* what) {
  SetLastErrorFromErrno(errno_value);
  return {HRESULT_FROM_WIN32(Win32ErrorFromErrno(errno_value)), what};
}

class PosixOutputFile final : public OutputFile {
 public:
  explicit PosixOutputFile(int fd) : fd_(fd) {}
  ~PosixOutputFile() override {
    if (fd_ >= 0)
      ::close(fd_);
  }
  PosixOutputFile(const PosixOutputFile&) = delete;
  PosixOutputFile& operator=(const PosixOutputFile&) = delete;

  Result<void> Append(std::span<const BYTE> bytes) override {
    std::uint64_t written = 0;
    while (written < bytes.size()) {
      ssize_t now = ::pwrite(fd_, bytes.data() + written, bytes.size() - written,
                             static_cast<off_t>(size_ + written));
      if (now < 0 && errno == EINTR)
        continue;
      if (now <= 0) {
        int saved = now < 0 ? errno : ENOSPC;
        // All or nothing, so the sizes a header records match the file.
        if (written > 0)
          (void)::ftruncate(fd_, static_cast<off_t>(size_));
        return FileError(saved, "cannot write file");
      }
      written += static_cast<std::uint64_t>(now);
    }
    size_ += written;
    return Ok();
  }

  Result<void> Overwrite(std::uint64_t offset, std::span<const BYTE> bytes) override {
    std::size_t done = 0;
    while (done < bytes.size()) {
      ssize_t now = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                             static_cast<off_t>(offset + done));
      if (now < 0 && errno == EINTR)
        continue;
      if (now <= 0)
        return FileError(now < 0 ? errno : ENOSPC, "cannot write file");
      done += static_cast<std::size_t>(now);
    }
    return Ok();
  }

  std::uint64_t size() const override { return size_; }

  Result<void> Close() override {
    if (fd_ < 0)
      return FileError(EBADF, "file is closed");
    // close() reports a failed delayed write; EINTR still closes on Linux.
    if (::close(std::exchange(fd_, -1)) != 0 && errno != EINTR)
      return FileError(errno, "cannot close file");
    return Ok();
  }

 private:
  int fd_;
  std::uint64_t size_ = 0;
};

class PosixFileLayer final : public FileLayer {
 public:
  Result<std::unique_ptr<OutputFile>> CreateExclusive(const std::string& utf8_path) override {
    int fd = ::open(utf8_path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
      return FileError(errno, "cannot create file");
    // Truncate only once the file is ours, so another writer's file is
    // left alone.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      int saved = errno == EWOULDBLOCK ? EBUSY : errno;
      ::close(fd);
      if (saved == EBUSY) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return Error{HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION), "file is in use"};
      }
      return FileError(saved, "cannot lock file");
    }
    // A new file is already empty, and truncating it anyway would make some
    // file systems (ext4) flush its data synchronously when it is closed.
    struct stat status {};
    if ((::fstat(fd, &status) != 0 || status.st_size != 0) && ::ftruncate(fd, 0) != 0) {
      int saved = errno;
      ::close(fd);
      return FileError(saved, "cannot truncate file");
    }
    return std::unique_ptr<OutputFile>(std::make_unique<PosixOutputFile>(fd));
  }
};

}  // namespace

FileLayer& SystemFileLayer() {
  static PosixFileLayer layer;
  return layer;
}

}  // namespace vyn
