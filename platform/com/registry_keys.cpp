#include "platform/com/registry_keys.h"

#include "platform/win/registry.h"

namespace vyn::reg {
namespace {

// Closes a key handle on every path out.
class Key {
 public:
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (key_)
      RegCloseKey(key_);
  }
  HKEY* receive() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

LONG Open(std::u16string_view path, REGSAM access, Key* key) {
  std::u16string name(path);
  return RegOpenKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, access, key->receive());
}

}  // namespace

LONG CreateKey(std::u16string_view path) {
  Key key;
  std::u16string name(path);
  return RegCreateKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_WRITE, nullptr, key.receive(), nullptr);
}

LONG SetString(std::u16string_view path, std::u16string_view value_name, std::u16string_view text) {
  Key key;
  std::u16string name(path);
  LONG status =
      RegCreateKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_WRITE, nullptr, key.receive(), nullptr);
  if (status != ERROR_SUCCESS)
    return status;
  std::u16string value(value_name);
  std::u16string data(text);
  return RegSetValueExW(key.get(), value.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(char16_t)));
}

LONG GetString(std::u16string_view path, std::u16string_view value_name, std::u16string* text) {
  Key key;
  if (LONG status = Open(path, KEY_QUERY_VALUE, &key); status != ERROR_SUCCESS)
    return status;
  std::u16string value(value_name);
  // The value may grow between asking its size and reading it.
  while (true) {
    DWORD size = 0;
    LONG status = RegQueryValueExW(key.get(), value.c_str(), nullptr, nullptr, nullptr, &size);
    if (status != ERROR_SUCCESS)
      return status;
    text->assign(size / sizeof(char16_t), u'\0');
    status = RegQueryValueExW(key.get(), value.c_str(), nullptr, nullptr,
                              reinterpret_cast<BYTE*>(text->data()), &size);
    if (status == ERROR_MORE_DATA)
      continue;
    if (status != ERROR_SUCCESS)
      return status;
    text->resize(std::char_traits<char16_t>::length(text->c_str()));
    return ERROR_SUCCESS;
  }
}

std::optional<std::u16string> ReadString(std::u16string_view path, std::u16string_view value_name) {
  std::u16string text;
  if (GetString(path, value_name, &text) != ERROR_SUCCESS)
    return std::nullopt;
  return text;
}

bool KeyExists(std::u16string_view path) {
  Key key;
  return Open(path, KEY_READ, &key) == ERROR_SUCCESS;
}

std::vector<std::u16string> SubkeyNames(std::u16string_view path) {
  std::vector<std::u16string> names;
  Key key;
  if (Open(path, KEY_ENUMERATE_SUB_KEYS, &key) != ERROR_SUCCESS)
    return names;
  for (DWORD index = 0;; ++index) {
    char16_t buffer[256];
    DWORD length = 256;
    if (RegEnumKeyExW(key.get(), index, buffer, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    names.emplace_back(buffer, length);
  }
  return names;
}

LONG DeleteTree(std::u16string_view path) {
  // An empty path would empty the whole registry.
  if (path.empty())
    return ERROR_INVALID_PARAMETER;
  std::u16string name(path);
  LONG status = RegDeleteTreeW(HKEY_CLASSES_ROOT, name.c_str());
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

HRESULT WriteFailure(LONG status) {
  if (status == ERROR_SUCCESS)
    return S_OK;
  return status == ERROR_BADDB ? REGDB_E_READREGDB : REGDB_E_WRITEREGDB;
}

}  // namespace vyn::reg
