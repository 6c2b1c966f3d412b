#include "platform/win/file_system.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/text/code_page.h"
#include "platform/win/last_error.h"

namespace vyn {
namespace {

Error FileSystemError(const char* what) {
  const int saved = errno;
  SetLastErrorFromErrno(saved);
  return {HRESULT_FROM_WIN32(Win32ErrorFromErrno(saved)), what};
}

Result<void> Check(int result, const char* what) {
  if (result != 0)
    return FileSystemError(what);
  return Ok();
}

class PosixFileSystem final : public FileSystem {
 public:
  EntryKind KindOf(std::u16string_view path) override {
    struct stat status {};
    if (::stat(WideToUtf8(path).c_str(), &status) != 0)
      return EntryKind::kNone;
    return S_ISDIR(status.st_mode) ? EntryKind::kDirectory : EntryKind::kFile;
  }

  Result<void> ClearReadOnly(std::u16string_view path) override {
    const std::string name = WideToUtf8(path);
    struct stat status {};
    if (::stat(name.c_str(), &status) != 0)
      return FileSystemError("cannot read the attributes");
    return Check(::chmod(name.c_str(), (status.st_mode & 07777) | S_IWUSR),
                 "cannot change the attributes");
  }

  Result<void> DeleteFile(std::u16string_view path) override {
    return Check(::unlink(WideToUtf8(path).c_str()), "cannot delete the file");
  }

  Result<void> CreateDirectory(std::u16string_view path) override {
    return Check(::mkdir(WideToUtf8(path).c_str(), 0777), "cannot create the directory");
  }

  Result<void> SetCurrentDirectory(std::u16string_view path) override {
    return Check(::chdir(WideToUtf8(path).c_str()), "cannot enter the directory");
  }

  Result<std::u16string> CurrentDirectory() override {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr)
      return FileSystemError("cannot read the current directory");
    return Utf8ToWide(buffer);
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFileSystem file_system;
  return file_system;
}

}  // namespace vyn
