#include "platform/win/registry_store.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <utility>

#include "platform/win/atomic_file.h"
#include "platform/win/file_lock.h"
#include "platform/win/last_error.h"
#include "platform/win/reg_file_format.h"

namespace vyn {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::optional<std::string> HomeDirectory() {
  if (std::string home = Environment("HOME"); !home.empty())
    return home;
  struct passwd entry {};
  struct passwd* found = nullptr;
  char buffer[4096];
  if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found &&
      found->pw_dir && *found->pw_dir)
    return std::string(found->pw_dir);
  return std::nullopt;
}

Error KeyMissing(std::string_view key) {
  return Error{REGDB_E_KEYMISSING, "no key \"" + std::string(key) + "\""};
}

Error ValueMissing(std::string_view key, std::string_view name) {
  return Error{REGDB_E_KEYMISSING,
               "no value \"" + std::string(name) + "\" in key \"" + std::string(key) + "\""};
}

Result<std::vector<std::string>> SplitPath(std::string_view key) {
  auto names = SplitRegPath(key);
  if (!names)
    return Error{E_INVALIDARG, "malformed key path \"" + std::string(key) + "\""};
  for (const std::string& name : *names)
    if (!IsStorableRegText(name))
      return Error{E_INVALIDARG, "key name cannot be stored"};
  return std::move(*names);
}

// I/O failures become the registry's own codes; a denied access stays one.
Error AsRegistryError(Error error, HRESULT code) {
  if (error.code != E_ACCESSDENIED)
    error.code = code;
  return error;
}

Result<RegKey> ParseStore(const std::string& path) {
  auto text = ReadWholeFile(path);
  if (!text)
    return AsRegistryError(text.error(), REGDB_E_READREGDB);
  if (!text.value())
    return RegKey{};
  return ParseRegFile(**text, path);
}

}  // namespace

Result<RegistryStore> RegistryStore::ForCurrentUser() {
  if (std::string path = Environment("VYN_REGISTRY"); !path.empty())
    return RegistryStore(std::move(path));
  // The base directory specification ignores relative paths.
  std::string data_home = Environment("XDG_DATA_HOME");
  if (data_home.empty() || data_home.front() != '/') {
    auto home = HomeDirectory();
    if (!home)
      return Error{REGDB_E_READREGDB, "no home directory for the registry store"};
    data_home = *home + "/.local/share";
  }
  return RegistryStore(data_home + "/vyn/classes.reg");
}

Result<RegKey> RegistryStore::Load() const {
  auto lock = FileLock::Acquire(path_ + ".lock", FileLock::Mode::Shared);
  if (!lock) {
    // No directory yet means no store yet, and a store in a place nobody
    // may write to needs no lock to be read.
    HRESULT code = lock.error().code;
    if (code != HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND) && code != E_ACCESSDENIED)
      return AsRegistryError(lock.error(), REGDB_E_READREGDB);
  }
  return ParseStore(path_);
}

template <class Change>
Result<void> RegistryStore::Modify(Change&& change) const {
  if (auto made = CreateDirectories(ParentDirectory(path_)); !made)
    return AsRegistryError(made.error(), REGDB_E_WRITEREGDB);
  auto lock = FileLock::Acquire(path_ + ".lock", FileLock::Mode::Exclusive);
  if (!lock)
    return AsRegistryError(lock.error(), REGDB_E_WRITEREGDB);
  auto root = ParseStore(path_);
  if (!root)
    return root.error();
  Result<bool> changed = change(root.value());
  if (!changed)
    return changed.error();
  if (!changed.value())
    return Ok();
  if (auto saved = ReplaceFileAtomically(path_, FormatRegFile(root.value())); !saved)
    return AsRegistryError(saved.error(), REGDB_E_WRITEREGDB);
  return Ok();
}

template <class Read>
auto RegistryStore::ReadKey(std::string_view key, Read&& read) const {
  using Out = decltype(read(std::declval<const RegKey&>()));
  auto names = SplitPath(key);
  if (!names)
    return Out(names.error());
  auto root = Load();
  if (!root)
    return Out(root.error());
  const RegKey* found = root->Find(names.value());
  if (!found)
    return Out(KeyMissing(key));
  return read(*found);
}

Result<KeyDisposition> RegistryStore::CreateKey(std::string_view key) const {
  auto names = SplitPath(key);
  if (!names)
    return names.error();
  KeyDisposition disposition = KeyDisposition::Existed;
  auto done = Modify([&](RegKey& root) -> Result<bool> {
    if (root.Find(names.value()))
      return false;
    root.FindOrAdd(names.value());
    disposition = KeyDisposition::Created;
    return true;
  });
  if (!done)
    return done.error();
  return disposition;
}

Result<bool> RegistryStore::KeyExists(std::string_view key) const {
  auto names = SplitPath(key);
  if (!names)
    return names.error();
  auto root = Load();
  if (!root)
    return root.error();
  return root->Find(names.value()) != nullptr;
}

Result<void> RegistryStore::SetString(std::string_view key,
                                      std::string_view name,
                                      std::string_view text) const {
  auto names = SplitPath(key);
  if (!names)
    return names.error();
  if (!IsStorableRegText(name) || !IsStorableRegText(text))
    return Error{E_INVALIDARG, "value name or text with a line break or control character"};
  return Modify([&](RegKey& root) -> Result<bool> {
    RegKey* found = root.Find(names.value());
    if (!found)
      return KeyMissing(key);
    const RegValue* old = found->FindValue(name);
    if (old && old->kind == RegValueKind::String && old->data == text)
      return false;
    found->SetValue(RegValue{std::string(name), RegValueKind::String, std::string(text)});
    return true;
  });
}

Result<std::string> RegistryStore::QueryString(std::string_view key, std::string_view name) const {
  return ReadKey(key, [&](const RegKey& found) -> Result<std::string> {
    const RegValue* value = found.FindValue(name);
    if (!value)
      return ValueMissing(key, name);
    if (value->kind != RegValueKind::String)
      return Error{REGDB_E_INVALIDVALUE, "value \"" + std::string(name) + "\" is not a string"};
    return value->data;
  });
}

Result<void> RegistryStore::DeleteValue(std::string_view key, std::string_view name) const {
  auto names = SplitPath(key);
  if (!names)
    return names.error();
  return Modify([&](RegKey& root) -> Result<bool> {
    RegKey* found = root.Find(names.value());
    if (!found)
      return KeyMissing(key);
    if (!found->RemoveValue(name))
      return ValueMissing(key, name);
    return true;
  });
}

Result<void> RegistryStore::DeleteTree(std::string_view key) const {
  auto names = SplitPath(key);
  if (!names)
    return names.error();
  if (names->empty())
    return Error{E_INVALIDARG, "the root key cannot be deleted"};
  return Modify([&](RegKey& root) -> Result<bool> {
    std::string leaf = names->back();
    names->pop_back();
    RegKey* parent = root.Find(names.value());
    if (!parent || !parent->RemoveSubkey(leaf))
      return KeyMissing(key);
    return true;
  });
}

Result<void> RegistryStore::DeleteContents(std::string_view key) const {
  auto names = SplitPath(key);
  if (!names)
    return names.error();
  return Modify([&](RegKey& root) -> Result<bool> {
    RegKey* found = root.Find(names.value());
    if (!found)
      return KeyMissing(key);
    bool had_contents = !found->values.empty() || !found->subkeys.empty();
    found->values.clear();
    found->subkeys.clear();
    return had_contents;
  });
}

Result<std::vector<std::string>> RegistryStore::EnumSubkeys(std::string_view key) const {
  return ReadKey(key, [](const RegKey& found) -> Result<std::vector<std::string>> {
    std::vector<std::string> names;
    for (const RegKey& subkey : found.subkeys)
      names.push_back(subkey.name);
    return names;
  });
}

Result<std::vector<RegValue>> RegistryStore::EnumValues(std::string_view key) const {
  return ReadKey(key,
                 [](const RegKey& found) -> Result<std::vector<RegValue>> { return found.values; });
}

}  // namespace vyn
