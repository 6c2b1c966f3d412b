// Loading and registering type libraries. A type library is the table a
// module exports under tlb::kTypeLibrarySymbol (type_description.h); a
// ".tlb" file is a module that carries only that table. Registration
// writes, under HKEY_CLASSES_ROOT:
//   TypeLib\{LIBID}\<major.minor>          (default) the library's help string
//   TypeLib\{LIBID}\<major.minor>\FLAGS    "0"
//   TypeLib\{LIBID}\<major.minor>\HELPDIR  the help directory
//   TypeLib\{LIBID}\<major.minor>\<lcid>\linux64   the library's path
//   Interface\{IID}                        (default) the interface's name, for
//   Interface\{IID}\TypeLib                each interface and dispinterface:
//                                          (default) {LIBID}, Version
// Versions and locales are written in hexadecimal. Thread-safe.
#pragma once

#include "platform/com/type_info.h"

using SYSKIND = WORD;
inline constexpr SYSKIND SYS_LINUX64 = static_cast<SYSKIND>(vyn::tlb::SysKind::kLinux64);

// Loads the module at `path` (UTF-16) and reads its table; the library
// keeps the module loaded while it lives. TYPE_E_CANTLOADLIBRARY when the
// file cannot be loaded or holds no table, TYPE_E_UNSUPFORMAT for a table
// of another format version.
HRESULT LoadTypeLib(const OLECHAR* path, ITypeLib** library);
// Loads the library registered for `libid` at exactly `major.minor`;
// TYPE_E_LIBNOTREGISTERED when it is not registered.
HRESULT LoadRegTypeLib(REFGUID libid, WORD major, WORD minor, LCID locale, ITypeLib** library);
// `help_dir` may be null (an empty HELPDIR). REGDB_E_WRITEREGDB when the
// registry cannot be written.
HRESULT RegisterTypeLib(ITypeLib* library, const OLECHAR* full_path, const OLECHAR* help_dir);
// Removes the version key and the interfaces registered for it, and the
// library's key once no version is left. TYPE_E_REGISTRYACCESS when that
// version was not registered.
HRESULT UnRegisterTypeLib(REFGUID libid, WORD major, WORD minor, LCID locale, SYSKIND sys_kind);
