#include "platform/win/registry.h"

#include <cstring>
#include <optional>
#include <string>

#include "platform/text/code_page.h"
#include "platform/win/registry_store.h"

// An open key: the store file and key path it was opened on, and its rights.
struct HKEY__ {
  std::string store;
  std::string path;
  REGSAM access = 0;
};

namespace {

HKEY__ g_classes_root;  // stands for the root of the current user's store

}  // namespace

HKEY const HKEY_CLASSES_ROOT = &g_classes_root;

namespace {

using vyn::RegistryStore;

struct OpenKey {
  RegistryStore store;
  std::string path;
  REGSAM access;
};

LSTATUS ToStatus(HRESULT code) {
  switch (code) {
    case S_OK:
      return ERROR_SUCCESS;
    case REGDB_E_KEYMISSING:
      return ERROR_FILE_NOT_FOUND;
    case REGDB_E_READREGDB:
      return ERROR_BADDB;
    case REGDB_E_WRITEREGDB:
      return ERROR_WRITE_FAULT;
    case REGDB_E_INVALIDVALUE:
      return ERROR_NOT_SUPPORTED;
    default:
      if (HRESULT_FACILITY(code) == FACILITY_WIN32)
        return HRESULT_CODE(code);
      return ERROR_GEN_FAILURE;
  }
}

template <class T>
LSTATUS ToStatus(const vyn::Result<T>& result) {
  return ToStatus(result.code());
}

std::optional<OpenKey> Resolve(HKEY key) {
  if (!key)
    return std::nullopt;
  if (key == HKEY_CLASSES_ROOT) {
    auto store = RegistryStore::ForCurrentUser();
    if (!store)
      return std::nullopt;
    return OpenKey{std::move(store.value()), "", KEY_ALL_ACCESS};
  }
  return OpenKey{RegistryStore(key->store), key->path, key->access};
}

// Strict UTF-16 to UTF-8: an unpaired surrogate has no place in the store.
std::optional<std::string> ToUtf8(const WCHAR* text) {
  if (!text || !*text)
    return std::string();
  int length = static_cast<int>(std::char_traits<WCHAR>::length(text));
  int bytes = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, length, nullptr, 0, nullptr,
                                  nullptr);
  if (bytes <= 0)
    return std::nullopt;
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, length, out.data(), bytes, nullptr,
                      nullptr);
  return out;
}

std::string JoinPath(const std::string& base, const std::string& sub) {
  if (base.empty())
    return sub;
  if (sub.empty())
    return base;
  return base + "\\" + sub;
}

bool Allows(const OpenKey& key, REGSAM needed) {
  return (key.access & needed) == needed;
}

LSTATUS HandOut(const OpenKey& key, std::string path, REGSAM access, PHKEY result) {
  *result = new HKEY__{key.store.path(), std::move(path), access};
  return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegCreateKeyExW(HKEY key,
                        const WCHAR* sub_key,
                        DWORD reserved,
                        WCHAR* key_class,
                        DWORD options,
                        REGSAM access,
                        const void* security,
                        PHKEY result,
                        DWORD* disposition) {
  if (!result || !sub_key)
    return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  auto parent = Resolve(key);
  if (!parent)
    return ERROR_INVALID_HANDLE;
  auto name = ToUtf8(sub_key);
  if (!name)
    return ERROR_INVALID_PARAMETER;
  if (!name->empty() && !Allows(*parent, KEY_CREATE_SUB_KEY))
    return ERROR_ACCESS_DENIED;
  std::string path = JoinPath(parent->path, *name);
  auto created = parent->store.CreateKey(path);
  if (!created)
    return ToStatus(created);
  if (disposition)
    *disposition = created.value() == vyn::KeyDisposition::Created ? REG_CREATED_NEW_KEY
                                                                   : REG_OPENED_EXISTING_KEY;
  return HandOut(*parent, std::move(path), access, result);
}

LSTATUS RegOpenKeyExW(HKEY key, const WCHAR* sub_key, DWORD options, REGSAM access, PHKEY result) {
  if (!result)
    return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  auto parent = Resolve(key);
  if (!parent)
    return ERROR_INVALID_HANDLE;
  auto name = ToUtf8(sub_key);
  if (!name)
    return ERROR_INVALID_PARAMETER;
  std::string path = JoinPath(parent->path, *name);
  auto exists = parent->store.KeyExists(path);
  if (!exists)
    return ToStatus(exists);
  if (!exists.value())
    return ERROR_FILE_NOT_FOUND;
  return HandOut(*parent, std::move(path), access, result);
}

LSTATUS RegCloseKey(HKEY key) {
  if (!key)
    return ERROR_INVALID_HANDLE;
  if (key != HKEY_CLASSES_ROOT)
    delete key;
  return ERROR_SUCCESS;
}

LSTATUS RegSetValueExW(HKEY key,
                       const WCHAR* value_name,
                       DWORD reserved,
                       DWORD type,
                       const BYTE* data,
                       DWORD size) {
  auto open = Resolve(key);
  if (!open)
    return ERROR_INVALID_HANDLE;
  if (type != REG_SZ || (!data && size != 0))
    return ERROR_INVALID_PARAMETER;
  if (!Allows(*open, KEY_SET_VALUE))
    return ERROR_ACCESS_DENIED;
  // The caller's bytes need not be aligned; copy them into whole units.
  std::u16string text(size / sizeof(WCHAR), u'\0');
  if (size >= sizeof(WCHAR))
    std::memcpy(text.data(), data, text.size() * sizeof(WCHAR));
  text.resize(std::char_traits<WCHAR>::length(text.c_str()));
  auto name = ToUtf8(value_name);
  auto value = ToUtf8(text.c_str());
  if (!name || !value)
    return ERROR_INVALID_PARAMETER;
  return ToStatus(open->store.SetString(open->path, *name, *value));
}

LSTATUS RegQueryValueExW(HKEY key,
                         const WCHAR* value_name,
                         DWORD* reserved,
                         DWORD* type,
                         BYTE* data,
                         DWORD* size) {
  auto open = Resolve(key);
  if (!open)
    return ERROR_INVALID_HANDLE;
  if (reserved || (data && !size))
    return ERROR_INVALID_PARAMETER;
  if (!Allows(*open, KEY_QUERY_VALUE))
    return ERROR_ACCESS_DENIED;
  auto name = ToUtf8(value_name);
  if (!name)
    return ERROR_INVALID_PARAMETER;
  auto text = open->store.QueryString(open->path, *name);
  if (!text)
    return ToStatus(text);
  std::u16string wide = vyn::Utf8ToWide(text.value());
  DWORD needed = static_cast<DWORD>((wide.size() + 1) * sizeof(WCHAR));
  if (type)
    *type = REG_SZ;
  if (!size)
    return ERROR_SUCCESS;
  DWORD capacity = *size;
  *size = needed;
  if (!data)
    return ERROR_SUCCESS;
  if (capacity < needed)
    return ERROR_MORE_DATA;
  std::memcpy(data, wide.c_str(), needed);
  return ERROR_SUCCESS;
}

LSTATUS RegDeleteValueW(HKEY key, const WCHAR* value_name) {
  auto open = Resolve(key);
  if (!open)
    return ERROR_INVALID_HANDLE;
  if (!Allows(*open, KEY_SET_VALUE))
    return ERROR_ACCESS_DENIED;
  auto name = ToUtf8(value_name);
  if (!name)
    return ERROR_INVALID_PARAMETER;
  return ToStatus(open->store.DeleteValue(open->path, *name));
}

LSTATUS RegDeleteTreeW(HKEY key, const WCHAR* sub_key) {
  auto open = Resolve(key);
  if (!open)
    return ERROR_INVALID_HANDLE;
  if (!Allows(*open, DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE))
    return ERROR_ACCESS_DENIED;
  auto name = ToUtf8(sub_key);
  if (!name)
    return ERROR_INVALID_PARAMETER;
  if (name->empty())
    return ToStatus(open->store.DeleteContents(open->path));
  return ToStatus(open->store.DeleteTree(JoinPath(open->path, *name)));
}

LSTATUS RegEnumKeyExW(HKEY key,
                      DWORD index,
                      WCHAR* name,
                      DWORD* name_length,
                      DWORD* reserved,
                      WCHAR* key_class,
                      DWORD* class_length,
                      void* last_write_time) {
  auto open = Resolve(key);
  if (!open)
    return ERROR_INVALID_HANDLE;
  if (!name || !name_length || reserved || key_class || class_length || last_write_time)
    return ERROR_INVALID_PARAMETER;
  if (!Allows(*open, KEY_ENUMERATE_SUB_KEYS))
    return ERROR_ACCESS_DENIED;
  auto subkeys = open->store.EnumSubkeys(open->path);
  if (!subkeys)
    return ToStatus(subkeys);
  if (index >= subkeys->size())
    return ERROR_NO_MORE_ITEMS;
  std::u16string wide = vyn::Utf8ToWide(subkeys.value()[index]);
  if (*name_length < wide.size() + 1)
    return ERROR_MORE_DATA;
  std::memcpy(name, wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
  *name_length = static_cast<DWORD>(wide.size());
  return ERROR_SUCCESS;
}
