#include "platform/win/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/win/file_lock.h"

namespace vyn {

namespace {

// Closes a descriptor and, unless released, removes the temporary file.
class TemporaryFile {
 public:
  TemporaryFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0)
      ::close(fd_);
    if (!path_.empty())
      ::unlink(path_.c_str());
  }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  int Close() { return ::close(std::exchange(fd_, -1)); }
  void Keep() { path_.clear(); }

 private:
  int fd_;
  std::string path_;
};

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::string BaseName(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string ParentDirectory(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  if (slash == 0)
    return "/";
  return path.substr(0, slash);
}

Result<std::optional<std::string>> ReadWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT)
      return std::optional<std::string>();
    return FileSystemError("cannot open", path, errno);
  }
  std::string contents;
  char buffer[16384];
  while (true) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR)
        continue;
      int saved = errno;
      ::close(fd);
      return FileSystemError("cannot read", path, saved);
    }
    if (got == 0)
      break;
    contents.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return std::optional<std::string>(std::move(contents));
}

Result<void> ReplaceFileAtomically(const std::string& path, std::string_view contents) {
  std::string directory = ParentDirectory(path);
  std::string pattern = directory + "/." + BaseName(path) + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0)
    return FileSystemError("cannot create a temporary file in", directory, errno);
  TemporaryFile temporary(fd, name.data());

  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0)
    ::fchmod(temporary.fd(), existing.st_mode & 07777);
  if (!WriteAll(temporary.fd(), contents))
    return FileSystemError("cannot write", temporary.path(), errno);
  if (::fsync(temporary.fd()) != 0)
    return FileSystemError("cannot sync", temporary.path(), errno);
  if (temporary.Close() != 0)
    return FileSystemError("cannot close", temporary.path(), errno);
  if (::rename(temporary.path().c_str(), path.c_str()) != 0)
    return FileSystemError("cannot replace", path, errno);
  temporary.Keep();

  // Makes the rename itself durable; the data is already safe, so a
  // directory that cannot be synced is no failure.
  int directory_fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory_fd >= 0) {
    ::fsync(directory_fd);
    ::close(directory_fd);
  }
  return Ok();
}

Result<void> CreateDirectories(const std::string& directory) {
  struct stat info {};
  if (::stat(directory.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode))
      return Ok();
    return FileSystemError("cannot use directory", directory, ENOTDIR);
  }
  std::string parent = ParentDirectory(directory);
  if (parent != directory && parent != ".") {
    if (auto made = CreateDirectories(parent); !made)
      return made;
  }
  if (::mkdir(directory.c_str(), 0755) != 0 && errno != EEXIST)
    return FileSystemError("cannot create directory", directory, errno);
  return Ok();
}

}  // namespace vyn
