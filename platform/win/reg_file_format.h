// The text form of the store file: the registry editor's export format,
// version 5.00, in UTF-8.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CLASSES_ROOT\CLSID\{...}]
//   @="default value"
//   "Name"="C:\\path with \"quotes\""
//   "Flags"=dword:00000001
//
// Strings escape only backslash and quote, so names and texts with a line
// break or another control character (tab aside) cannot be written; callers
// check IsStorableRegText first. Values of other kinds (dword:, hex:,
// hex(n):, continued over lines ending in a backslash) are checked, kept as
// their text and written back unchanged. Comment lines (';') are accepted
// and not written back. Deletion entries ("[-Key]", "Name"=-) and other hives
// make a file foreign. Pure functions; thread-safe.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/result.h"
#include "platform/win/reg_key_tree.h"

namespace vyn {

inline constexpr std::string_view kRegFileHeader = "Windows Registry Editor Version 5.00";
inline constexpr std::string_view kRegRootName = "HKEY_CLASSES_ROOT";

// Parses a whole file into the root key (HKEY_CLASSES_ROOT). An empty text
// is an empty registry. Anything else that is not the format fails with
// REGDB_E_READREGDB and the message "<source>:<line>: <reason>".
Result<RegKey> ParseRegFile(std::string_view text, std::string_view source);

// The file text for a root key; every key gets a section, so empty keys
// survive a round trip.
std::string FormatRegFile(const RegKey& root);

// Whether a key name, value name or string value can be written: valid
// UTF-8 without control characters other than tab.
bool IsStorableRegText(std::string_view text);

}  // namespace vyn
