// Paths-and-strings access to the class registry for the COM runtime and
// servers: write a key's value, read it back, list subkeys, remove a tree.
// Paths are relative to HKEY_CLASSES_ROOT, with "\" between key names.
// Results are system error codes (registry.h). Thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/hresult.h"

namespace vyn::reg {

// Creates the key (and its parents) and sets one string value; an empty
// `value_name` is the key's default value.
LONG SetString(std::u16string_view path, std::u16string_view value_name, std::u16string_view text);
// Creates the key with no value.
LONG CreateKey(std::u16string_view path);
// The value, or the status that kept it from being read.
LONG GetString(std::u16string_view path, std::u16string_view value_name, std::u16string* text);
std::optional<std::u16string> ReadString(std::u16string_view path,
                                         std::u16string_view value_name = {});
bool KeyExists(std::u16string_view path);
std::vector<std::u16string> SubkeyNames(std::u16string_view path);
// Removes the key with everything below it; a missing key is no failure.
LONG DeleteTree(std::u16string_view path);

// An HRESULT for a registry status: REGDB_E_WRITEREGDB for any write
// failure, REGDB_E_READREGDB for a corrupt store.
HRESULT WriteFailure(LONG status);

}  // namespace vyn::reg
