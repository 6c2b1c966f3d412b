// The registry functions of the desktop platform, over the current user's
// class registry (registry_store.h). Only HKEY_CLASSES_ROOT exists and only
// string values (REG_SZ) are read and written. Names and texts are UTF-16
// here and UTF-8 in the store; text with unpaired surrogates, line breaks or
// other control characters (tab aside) is refused with
// ERROR_INVALID_PARAMETER, because the store file cannot hold it.
//
// A key handle remembers the store file and key path it was opened on and
// its access rights; it does not pin the key, so a key deleted meanwhile
// answers ERROR_FILE_NOT_FOUND. HKEY_CLASSES_ROOT looks the store up in the
// environment at each call. Results are system error codes: ERROR_SUCCESS,
// ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_INVALID_HANDLE,
// ERROR_INVALID_PARAMETER, ERROR_MORE_DATA, ERROR_NO_MORE_ITEMS,
// ERROR_NOT_SUPPORTED (a value of another kind than REG_SZ), ERROR_BADDB
// (a corrupt store), ERROR_WRITE_FAULT or ERROR_DISK_FULL (a change that
// cannot be saved). Thread-safe; a handle may be used on any thread but
// closed only once.
#pragma once

#include "platform/win/last_error.h"
#include "platform/win/types.h"

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using LSTATUS = LONG;
using REGSAM = DWORD;

extern HKEY const HKEY_CLASSES_ROOT;

// Value kinds.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;

// Access rights of a key handle.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM DELETE = 0x00010000;
inline constexpr REGSAM KEY_READ = 0x00020019;
inline constexpr REGSAM KEY_WRITE = 0x00020006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

// RegCreateKeyExW options and dispositions.
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Creates or opens `sub_key` below `key` (parents included). `key_class`,
// `options` and `security` are ignored; `disposition` may be null.
LSTATUS RegCreateKeyExW(HKEY key,
                        const WCHAR* sub_key,
                        DWORD reserved,
                        WCHAR* key_class,
                        DWORD options,
                        REGSAM access,
                        const void* security,
                        PHKEY result,
                        DWORD* disposition);

// Opens an existing key; a null or empty `sub_key` opens `key` again.
LSTATUS RegOpenKeyExW(HKEY key, const WCHAR* sub_key, DWORD options, REGSAM access, PHKEY result);

LSTATUS RegCloseKey(HKEY key);

// Sets a REG_SZ value (a null or empty name is the default value). `size`
// is in bytes; the text ends at the first null character or after `size`.
// Needs KEY_SET_VALUE.
LSTATUS RegSetValueExW(HKEY key,
                       const WCHAR* value_name,
                       DWORD reserved,
                       DWORD type,
                       const BYTE* data,
                       DWORD size);

// Reads a REG_SZ value. `size` is in bytes including the terminator; with a
// null `data` only the size is reported, and a buffer that is too small gives
// ERROR_MORE_DATA with the size needed. Needs KEY_QUERY_VALUE.
LSTATUS RegQueryValueExW(HKEY key,
                         const WCHAR* value_name,
                         DWORD* reserved,
                         DWORD* type,
                         BYTE* data,
                         DWORD* size);

// Needs KEY_SET_VALUE.
LSTATUS RegDeleteValueW(HKEY key, const WCHAR* value_name);

// Removes `sub_key` of `key` with everything below it; with a null or empty
// `sub_key`, removes the values and subkeys of `key` and keeps the key.
LSTATUS RegDeleteTreeW(HKEY key, const WCHAR* sub_key);

// The name of subkey number `index`, in creation order. `name_length` is in
// characters: on entry the buffer's size, on return the name's length
// without the terminator. ERROR_NO_MORE_ITEMS past the last subkey. The class
// and time outputs are not supported and must be null. Needs
// KEY_ENUMERATE_SUB_KEYS.
LSTATUS RegEnumKeyExW(HKEY key,
                      DWORD index,
                      WCHAR* name,
                      DWORD* name_length,
                      DWORD* reserved,
                      WCHAR* key_class,
                      DWORD* class_length,
                      void* last_write_time);
