#include "platform/com/type_library_registration.h"

#include <cstdio>

#include "platform/com/com_ptr.h"
#include "platform/com/registry_keys.h"
#include "platform/text/code_page.h"
#include "platform/win/module.h"
#include "platform/win/registry.h"

namespace {

std::u16string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", value);
  return vyn::Utf8ToWide(text);
}

std::u16string VersionText(WORD major, WORD minor) {
  return Hex(major) + u"." + Hex(minor);
}

std::u16string VersionKey(REFGUID libid, WORD major, WORD minor) {
  return u"TypeLib\\" + libid.ToWide() + u"\\" + VersionText(major, minor);
}

std::u16string SysKindName(SYSKIND) {
  return u"linux64";
}

bool IsInterface(TYPEKIND kind) {
  return kind == TKIND_INTERFACE || kind == TKIND_DISPATCH;
}

}  // namespace

HRESULT LoadTypeLib(const OLECHAR* path, ITypeLib** library) {
  if (!library)
    return E_POINTER;
  *library = nullptr;
  if (!path || !*path)
    return E_INVALIDARG;
  std::string file = vyn::WideToUtf8(path);
  HMODULE module = LoadLibraryA(file.c_str());
  if (!module)
    return TYPE_E_CANTLOADLIBRARY;
  auto symbol = reinterpret_cast<const vyn::tlb::Library* const*>(
      GetProcAddress(module, vyn::tlb::kTypeLibrarySymbol));
  if (!symbol || !*symbol) {
    FreeLibrary(module);
    return TYPE_E_CANTLOADLIBRARY;
  }
  if ((*symbol)->format_version != vyn::tlb::kFormatVersion) {
    FreeLibrary(module);
    return TYPE_E_UNSUPFORMAT;
  }
  return vyn::CreateTypeLibFromTable(**symbol, module, library);
}

HRESULT LoadRegTypeLib(REFGUID libid, WORD major, WORD minor, LCID locale, ITypeLib** library) {
  if (!library)
    return E_POINTER;
  *library = nullptr;
  std::u16string base = VersionKey(libid, major, minor) + u"\\";
  // The library's own locale first, then the neutral one.
  for (LCID candidate : {locale, LCID{0}}) {
    if (auto path = vyn::reg::ReadString(base + Hex(candidate) + u"\\" + SysKindName(SYS_LINUX64)))
      return LoadTypeLib(path->c_str(), library);
  }
  return TYPE_E_LIBNOTREGISTERED;
}

HRESULT RegisterTypeLib(ITypeLib* library, const OLECHAR* full_path, const OLECHAR* help_dir) {
  if (!library || !full_path)
    return E_INVALIDARG;
  TLIBATTR* attributes = nullptr;
  if (HRESULT hr = library->GetLibAttr(&attributes); FAILED(hr))
    return hr;
  TLIBATTR lib = *attributes;
  library->ReleaseTLibAttr(attributes);
  vyn::Bstr help;
  library->GetDocumentation(-1, nullptr, help.Receive(), nullptr, nullptr);

  std::u16string version_key = VersionKey(lib.guid, lib.wMajorVerNum, lib.wMinorVerNum);
  std::u16string version = VersionText(lib.wMajorVerNum, lib.wMinorVerNum);
  using vyn::reg::SetString;
  LONG status = SetString(version_key, u"", help.View());
  if (status == ERROR_SUCCESS)
    status = SetString(version_key + u"\\FLAGS", u"", u"0");
  if (status == ERROR_SUCCESS)
    status = SetString(version_key + u"\\HELPDIR", u"", help_dir ? help_dir : u"");
  if (status == ERROR_SUCCESS)
    status = SetString(version_key + u"\\" + Hex(lib.lcid) + u"\\" + SysKindName(lib.syskind), u"",
                       full_path);

  for (UINT i = 0; status == ERROR_SUCCESS && i < library->GetTypeInfoCount(); ++i) {
    TYPEKIND kind{};
    if (FAILED(library->GetTypeInfoType(i, &kind)) || !IsInterface(kind))
      continue;
    ComPtr<ITypeInfo> info;
    if (FAILED(library->GetTypeInfo(i, info.Receive())))
      continue;
    TYPEATTR* type = nullptr;
    if (FAILED(info->GetTypeAttr(&type)))
      continue;
    std::u16string key = u"Interface\\" + type->guid.ToWide();
    info->ReleaseTypeAttr(type);
    vyn::Bstr name;
    info->GetDocumentation(MEMBERID_NIL, name.Receive(), nullptr, nullptr, nullptr);
    status = SetString(key, u"", name.View());
    if (status == ERROR_SUCCESS)
      status = SetString(key + u"\\TypeLib", u"", lib.guid.ToWide());
    if (status == ERROR_SUCCESS)
      status = SetString(key + u"\\TypeLib", u"Version", version);
  }
  return vyn::reg::WriteFailure(status);
}

HRESULT UnRegisterTypeLib(REFGUID libid, WORD major, WORD minor, LCID locale, SYSKIND sys_kind) {
  std::u16string version_key = VersionKey(libid, major, minor);
  if (!vyn::reg::KeyExists(version_key))
    return TYPE_E_REGISTRYACCESS;
  // The interfaces are found in the registry rather than in the library,
  // which may be gone by now.
  std::u16string lib_text = libid.ToWide();
  std::u16string version = VersionText(major, minor);
  for (const std::u16string& iid : vyn::reg::SubkeyNames(u"Interface")) {
    std::u16string key = u"Interface\\" + iid;
    auto owner = vyn::reg::ReadString(key + u"\\TypeLib");
    auto owner_version = vyn::reg::ReadString(key + u"\\TypeLib", u"Version");
    if (owner && *owner == lib_text && owner_version && *owner_version == version)
      vyn::reg::DeleteTree(key);
  }
  vyn::reg::DeleteTree(version_key + u"\\" + Hex(locale) + u"\\" + SysKindName(sys_kind));
  // The version goes once no locale is left in it.
  bool locales_left = false;
  for (const std::u16string& name : vyn::reg::SubkeyNames(version_key)) {
    if (name != u"FLAGS" && name != u"HELPDIR")
      locales_left = locales_left || !vyn::reg::SubkeyNames(version_key + u"\\" + name).empty();
  }
  if (!locales_left)
    vyn::reg::DeleteTree(version_key);
  std::u16string library_key = u"TypeLib\\" + lib_text;
  if (vyn::reg::SubkeyNames(library_key).empty())
    vyn::reg::DeleteTree(library_key);
  return S_OK;
}
