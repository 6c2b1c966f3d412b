// The class registry's keys and values as a tree in memory: what the store
// file holds and what one read-modify-write of it works on. A plain value
// type, owned by whoever loaded it and used on one thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vyn {

enum class RegValueKind {
  String,  // REG_SZ, the only kind the system reads and writes
  Raw,     // any other kind, kept as its file text so that a rewrite keeps it
};

struct RegValue {
  std::string name;  // empty for the key's default value
  RegValueKind kind = RegValueKind::String;
  std::string data;  // String: the text; Raw: the file text after '=' (may span lines)
};

// Key and value names compare ignoring ASCII case; they keep the case they
// were created with.
bool RegNamesEqual(std::string_view a, std::string_view b);

struct RegKey {
  std::string name;
  std::vector<RegValue> values;  // in the order they were first set
  std::vector<RegKey> subkeys;   // in the order they were created

  // Pointers returned here stay valid until this key's subkeys change.
  RegKey* FindSubkey(std::string_view subkey_name);
  const RegKey* FindSubkey(std::string_view subkey_name) const;
  RegKey& FindOrAddSubkey(std::string_view subkey_name);
  bool RemoveSubkey(std::string_view subkey_name);

  // The key at `path` below this one (an empty path is this key), or null.
  RegKey* Find(const std::vector<std::string>& path);
  const RegKey* Find(const std::vector<std::string>& path) const;
  RegKey& FindOrAdd(const std::vector<std::string>& path);

  const RegValue* FindValue(std::string_view value_name) const;
  // Replaces the value of the same name in place, or appends.
  void SetValue(RegValue value);
  bool RemoveValue(std::string_view value_name);
};

// Splits "A\B\C" into its key names; "" is the root itself. A path with an
// empty name (a leading, doubled or trailing backslash) gives nullopt.
std::optional<std::vector<std::string>> SplitRegPath(std::string_view path);

}  // namespace vyn
