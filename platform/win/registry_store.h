// The class registry (HKEY_CLASSES_ROOT) of the current user, kept in one
// text file (reg_file_format.h). Key paths are relative to the root, with
// backslashes between names: "CLSID\{...}\InprocServer32"; "" is the root.
// An empty value name is the key's default value.
//
// The object holds only the file's path: every operation reads the file
// afresh under a shared lock, and every change is a read-modify-write under
// an exclusive lock (flock on "<file>.lock") that replaces the file
// atomically, so threads and processes may use the store at once. A missing
// file is an empty registry. A file that cannot be parsed fails every
// operation with REGDB_E_READREGDB, naming the file and line, and is never
// overwritten. Thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/com/result.h"
#include "platform/win/reg_key_tree.h"

namespace vyn {

enum class KeyDisposition { Created, Existed };

class RegistryStore {
 public:
  explicit RegistryStore(std::string path) : path_(std::move(path)) {}

  // The current user's store: $VYN_REGISTRY when set, else
  // $XDG_DATA_HOME/vyn/classes.reg, XDG_DATA_HOME defaulting to
  // ~/.local/share. Read from the environment at each call.
  static Result<RegistryStore> ForCurrentUser();

  const std::string& path() const { return path_; }

  // Errors common to all operations: E_INVALIDARG for a malformed path or a
  // name or text the file cannot hold, REGDB_E_READREGDB for a corrupt file,
  // REGDB_E_WRITEREGDB or E_ACCESSDENIED when a change cannot be saved,
  // REGDB_E_KEYMISSING for a missing key or value.

  // Creates the key and its missing parents (and the file's directory).
  Result<KeyDisposition> CreateKey(std::string_view key) const;
  Result<bool> KeyExists(std::string_view key) const;
  // Sets a string value of an existing key, replacing a value of any kind.
  Result<void> SetString(std::string_view key, std::string_view name, std::string_view text) const;
  // REGDB_E_INVALIDVALUE when the value is of another kind.
  Result<std::string> QueryString(std::string_view key, std::string_view name) const;
  Result<void> DeleteValue(std::string_view key, std::string_view name) const;
  // Removes the key with its values and everything below it; not the root.
  Result<void> DeleteTree(std::string_view key) const;
  // Removes the key's values and subkeys and keeps the key.
  Result<void> DeleteContents(std::string_view key) const;
  Result<std::vector<std::string>> EnumSubkeys(std::string_view key) const;
  Result<std::vector<RegValue>> EnumValues(std::string_view key) const;

  // The whole registry as it is now.
  Result<RegKey> Load() const;

 private:
  template <class Change>
  Result<void> Modify(Change&& change) const;
  template <class Read>
  auto ReadKey(std::string_view key, Read&& read) const;

  std::string path_;
};

}  // namespace vyn
