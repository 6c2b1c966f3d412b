#include "platform/com/progid.h"

#include <cstring>
#include <optional>
#include <string>

#include "platform/com/registry_keys.h"
#include "platform/com/task_memory.h"
#include "platform/win/registry.h"

namespace {

HRESULT LookupFailure(LSTATUS status, HRESULT not_found) {
  // A name the registry cannot hold, or a value of another kind, is as
  // good as missing.
  if (status == ERROR_FILE_NOT_FOUND || status == ERROR_INVALID_PARAMETER ||
      status == ERROR_NOT_SUPPORTED)
    return not_found;
  if (status == ERROR_BADDB)
    return REGDB_E_READREGDB;
  return HRESULT_FROM_WIN32(status);
}

}  // namespace

HRESULT ProgIDFromCLSID(REFCLSID clsid, OLECHAR** progId) {
  if (!progId)
    return E_POINTER;
  *progId = nullptr;
  std::u16string name;
  LSTATUS status = vyn::reg::GetString(u"CLSID\\" + clsid.ToWide() + u"\\ProgID", u"", &name);
  if (status != ERROR_SUCCESS)
    return LookupFailure(status, REGDB_E_CLASSNOTREG);
  if (name.empty())
    return REGDB_E_CLASSNOTREG;
  std::size_t bytes = (name.size() + 1) * sizeof(OLECHAR);
  auto* copy = static_cast<OLECHAR*>(CoTaskMemAlloc(bytes));
  if (!copy)
    return E_OUTOFMEMORY;
  std::memcpy(copy, name.c_str(), bytes);
  *progId = copy;
  return S_OK;
}

HRESULT CLSIDFromProgID(const OLECHAR* progId, CLSID* clsid) {
  if (!clsid)
    return E_POINTER;
  *clsid = GUID_NULL;
  if (!progId)
    return E_INVALIDARG;
  std::u16string name(progId);
  // A backslash would reach into another key than the ProgID's own.
  if (name.empty() || name.find(u'\\') != std::u16string::npos)
    return CO_E_CLASSSTRING;
  std::u16string text;
  LSTATUS status = vyn::reg::GetString(name + u"\\CLSID", u"", &text);
  if (status != ERROR_SUCCESS)
    return LookupFailure(status, CO_E_CLASSSTRING);
  std::string narrow;
  for (char16_t unit : text) {
    if (unit > 0x7F)
      return CO_E_CLASSSTRING;
    narrow.push_back(static_cast<char>(unit));
  }
  std::optional<GUID> parsed = GUID::Parse(narrow);
  if (!parsed)
    return CO_E_CLASSSTRING;
  *clsid = *parsed;
  return S_OK;
}
