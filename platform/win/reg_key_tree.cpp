#include "platform/win/reg_key_tree.h"

#include <algorithm>

namespace vyn {

namespace {
char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

bool RegNamesEqual(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

RegKey* RegKey::FindSubkey(std::string_view subkey_name) {
  for (RegKey& key : subkeys)
    if (RegNamesEqual(key.name, subkey_name))
      return &key;
  return nullptr;
}

const RegKey* RegKey::FindSubkey(std::string_view subkey_name) const {
  return const_cast<RegKey*>(this)->FindSubkey(subkey_name);
}

RegKey& RegKey::FindOrAddSubkey(std::string_view subkey_name) {
  if (RegKey* key = FindSubkey(subkey_name))
    return *key;
  return subkeys.emplace_back(RegKey{std::string(subkey_name), {}, {}});
}

bool RegKey::RemoveSubkey(std::string_view subkey_name) {
  return std::erase_if(subkeys,
                       [&](const RegKey& key) { return RegNamesEqual(key.name, subkey_name); }) > 0;
}

RegKey* RegKey::Find(const std::vector<std::string>& path) {
  RegKey* key = this;
  for (const std::string& step : path) {
    key = key->FindSubkey(step);
    if (!key)
      return nullptr;
  }
  return key;
}

const RegKey* RegKey::Find(const std::vector<std::string>& path) const {
  return const_cast<RegKey*>(this)->Find(path);
}

RegKey& RegKey::FindOrAdd(const std::vector<std::string>& path) {
  RegKey* key = this;
  for (const std::string& step : path)
    key = &key->FindOrAddSubkey(step);
  return *key;
}

const RegValue* RegKey::FindValue(std::string_view value_name) const {
  for (const RegValue& value : values)
    if (RegNamesEqual(value.name, value_name))
      return &value;
  return nullptr;
}

void RegKey::SetValue(RegValue value) {
  for (RegValue& existing : values) {
    if (RegNamesEqual(existing.name, value.name)) {
      // The name keeps the case it was created with, as key names do.
      existing.kind = value.kind;
      existing.data = std::move(value.data);
      return;
    }
  }
  values.push_back(std::move(value));
}

bool RegKey::RemoveValue(std::string_view value_name) {
  return std::erase_if(values, [&](const RegValue& value) {
           return RegNamesEqual(value.name, value_name);
         }) > 0;
}

std::optional<std::vector<std::string>> SplitRegPath(std::string_view path) {
  std::vector<std::string> names;
  if (path.empty())
    return names;
  while (true) {
    std::size_t separator = path.find('\\');
    std::string_view name = path.substr(0, separator);
    if (name.empty())
      return std::nullopt;
    names.emplace_back(name);
    if (separator == std::string_view::npos)
      return names;
    path.remove_prefix(separator + 1);
  }
}

}  // namespace vyn
