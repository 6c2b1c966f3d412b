#include "extract/output_file_policy.h"

#include "control/messages.h"

namespace vyn {
namespace {

constexpr char16_t kSeparator = u'/';
constexpr std::u16string_view kWavExtension = u".wav";

Error Failure(Message message) {
  return {E_FAIL, MessageText(message)};
}

bool EndsWithWav(std::u16string_view name) {
  if (name.size() < kWavExtension.size())
    return false;
  const std::u16string_view tail = name.substr(name.size() - kWavExtension.size());
  for (std::size_t i = 0; i < tail.size(); ++i) {
    char16_t c = tail[i];
    if (c >= u'A' && c <= u'Z')
      c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != kWavExtension[i])
      return false;
  }
  return true;
}

std::u16string_view TrimBlanks(std::u16string_view name) {
  while (!name.empty() && name.front() == u' ')
    name.remove_prefix(1);
  while (!name.empty() && name.back() == u' ')
    name.remove_suffix(1);
  return name;
}

// True when `path` is the current directory afterwards.
bool EnterOrCreate(FileSystem& files, std::u16string_view path) {
  // The root keeps its one "/", as a drive root keeps its backslash.
  if (path.size() > 1 && path.back() == kSeparator)
    path.remove_suffix(1);
  if (!path.empty() && files.SetCurrentDirectory(path))
    return true;
  const std::size_t last = path.rfind(kSeparator);
  if (path.empty() || last == std::u16string_view::npos)
    return false;
  // "/name" sits in the root, which always exists: create it whole.
  // Otherwise create the last level inside its parent, entered first.
  std::u16string_view to_create = path;
  if (last != 0) {
    if (!EnterOrCreate(files, path.substr(0, last)))
      return false;
    to_create = path.substr(last + 1);
  }
  const std::u16string name(TrimBlanks(to_create));
  return files.CreateDirectory(name) && files.SetCurrentDirectory(name);
}

}  // namespace

std::u16string_view DirectoryPart(std::u16string_view name) {
  const std::size_t last = name.rfind(kSeparator);
  return last == std::u16string_view::npos ? std::u16string_view{} : name.substr(0, last + 1);
}

void EnsureOutputDirectory(FileSystem& files, std::u16string_view path) {
  (void)EnterOrCreate(files, path);
}

Result<std::u16string> WavOutputName(std::u16string_view name) {
  std::u16string result(name);
  if (!EndsWithWav(name))
    result += kWavExtension;
  if (result.size() + 1 > kMaxPathChars)
    return Failure(Message::kOutputNameTooLong);
  return result;
}

Result<void> ClearWayForFile(FileSystem& files,
                             const std::u16string& name,
                             const std::function<OverwriteAnswer()>& ask) {
  if (files.KindOf(name) != EntryKind::kFile)
    return Ok();
  if (ask() != OverwriteAnswer::kReplace)
    return Failure(Message::kCancelledByUser);
  (void)files.ClearReadOnly(name);
  if (!files.DeleteFile(name))
    return Failure(Message::kUnableToOverwrite);
  return Ok();
}

}  // namespace vyn
