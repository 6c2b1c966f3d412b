// ITypeLib and ITypeInfo over a module's type description table (see
// type_info.h). The library object owns the module load, when there is one;
// every type info keeps its library alive. Immutable once made; the
// reference counts are atomic, so the objects may be used from any thread.
#include <algorithm>
#include <new>
#include <optional>

#include "platform/com/com_object.h"
#include "platform/com/type_info.h"
#include "platform/com/type_lookup.h"
#include "platform/win/module.h"

namespace vyn {
namespace {

TYPEKIND TypeKindOf(tlb::TypeKind kind) {
  switch (kind) {
    case tlb::TypeKind::kInterface:
      return TKIND_INTERFACE;
    case tlb::TypeKind::kDispatch:
      return TKIND_DISPATCH;
    case tlb::TypeKind::kCoClass:
      return TKIND_COCLASS;
    case tlb::TypeKind::kRecord:
      return TKIND_RECORD;
    case tlb::TypeKind::kAlias:
      return TKIND_ALIAS;
  }
  return TKIND_ALIAS;
}

// Stores a copy of `text` in *out when the caller asked for it.
HRESULT GiveString(std::u16string_view text, BSTR* out) {
  if (!out)
    return S_OK;
  *out = Bstr(text).Detach();
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT GiveDocumentation(std::u16string_view name,
                          std::u16string_view help,
                          BSTR* name_out,
                          BSTR* doc_out,
                          DWORD* help_context,
                          BSTR* help_file) {
  if (help_context)
    *help_context = 0;
  if (help_file)
    *help_file = nullptr;
  if (HRESULT hr = GiveString(name, name_out); FAILED(hr))
    return hr;
  if (HRESULT hr = GiveString(help, doc_out); FAILED(hr)) {
    if (name_out) {
      SysFreeString(*name_out);
      *name_out = nullptr;
    }
    return hr;
  }
  return S_OK;
}

class TableTypeLib;

class TableTypeInfo final : public ComObject<TableTypeInfo, ITypeInfo> {
 public:
  TableTypeInfo(ComPtr<TableTypeLib> library, const tlb::Type& type, UINT index)
      : library_(std::move(library)), type_(type), index_(index) {}

  HRESULT GetTypeAttr(TYPEATTR** attributes) override;
  void ReleaseTypeAttr(TYPEATTR* attributes) override { delete attributes; }

  HRESULT GetFuncDesc(UINT index, FUNCDESC** description) override {
    if (!description)
      return E_INVALIDARG;
    *description = nullptr;
    if (index >= type_.members.size())
      return TYPE_E_ELEMENTNOTFOUND;
    const tlb::Member& member = type_.members[index];
    auto* params = new (std::nothrow) ELEMDESC[member.params.size() + 1];
    auto* desc = new (std::nothrow) FUNCDESC;
    if (!params || !desc) {
      delete[] params;
      delete desc;
      return E_OUTOFMEMORY;
    }
    for (std::size_t i = 0; i < member.params.size(); ++i)
      params[i] = {member.params[i].type, member.params[i].flags};
    *desc = {member.id, static_cast<INVOKEKIND>(member.kind),
             static_cast<SHORT>(member.params.size()), member.flags, params};
    *description = desc;
    return S_OK;
  }
  void ReleaseFuncDesc(FUNCDESC* description) override {
    if (!description)
      return;
    delete[] description->lprgelemdescParam;
    delete description;
  }

  HRESULT GetNames(MEMBERID id, BSTR* names, UINT max, UINT* count) override {
    if (!names || !count)
      return E_INVALIDARG;
    *count = 0;
    const tlb::Member* member = tlb::FindMemberById(type_, id);
    if (!member)
      return TYPE_E_ELEMENTNOTFOUND;
    auto give = [&](std::u16string_view text) {
      if (*count >= max)
        return S_OK;
      names[*count] = Bstr(text).Detach();
      if (!names[*count])
        return E_OUTOFMEMORY;
      ++*count;
      return S_OK;
    };
    HRESULT hr = give(member->name);
    for (const tlb::Param& param : member->params) {
      if (SUCCEEDED(hr))
        hr = give(param.name);
    }
    if (FAILED(hr)) {
      for (UINT i = 0; i < *count; ++i)
        SysFreeString(names[i]);
      *count = 0;
    }
    return hr;
  }

  HRESULT GetIDsOfNames(OLECHAR** names, UINT count, MEMBERID* ids) override {
    return tlb::IdsOfNames(type_, names, count, ids);
  }

  HRESULT GetDocumentation(MEMBERID id,
                           BSTR* name,
                           BSTR* doc,
                           DWORD* help_context,
                           BSTR* help_file) override {
    if (id == MEMBERID_NIL)
      return GiveDocumentation(type_.name, type_.help, name, doc, help_context, help_file);
    const tlb::Member* member = tlb::FindMemberById(type_, id);
    if (!member)
      return TYPE_E_ELEMENTNOTFOUND;
    return GiveDocumentation(member->name, member->help, name, doc, help_context, help_file);
  }

  HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* type) override;
  HRESULT GetImplTypeFlags(UINT index, int* flags) override {
    if (!flags)
      return E_INVALIDARG;
    if (index >= type_.implements.size())
      return TYPE_E_ELEMENTNOTFOUND;
    *flags = type_.implements[index].flags;
    return S_OK;
  }
  HRESULT GetRefTypeInfo(HREFTYPE type, ITypeInfo** info) override;
  HRESULT GetContainingTypeLib(ITypeLib** library, UINT* index) override;

 protected:
  ~TableTypeInfo() override = default;

 private:
  ComPtr<TableTypeLib> library_;
  const tlb::Type& type_;
  const UINT index_;
};

class TableTypeLib final : public ComObject<TableTypeLib, ITypeLib> {
 public:
  TableTypeLib(const tlb::Library& table, void* module) : table_(table), module_(module) {}

  const tlb::Library& table() const { return table_; }

  std::optional<UINT> IndexOf(const tlb::Type* type) const {
    auto found = std::find(table_.types.begin(), table_.types.end(), type);
    if (found == table_.types.end())
      return std::nullopt;
    return static_cast<UINT>(found - table_.types.begin());
  }

  UINT GetTypeInfoCount() override { return static_cast<UINT>(table_.types.size()); }

  HRESULT GetTypeInfo(UINT index, ITypeInfo** info) override {
    if (!info)
      return E_INVALIDARG;
    *info = nullptr;
    if (index >= table_.types.size())
      return TYPE_E_ELEMENTNOTFOUND;
    auto made = TableTypeInfo::Create(ComPtr<TableTypeLib>(this), *table_.types[index], index);
    if (!made)
      return E_OUTOFMEMORY;
    *info = made.Detach();
    return S_OK;
  }

  HRESULT GetTypeInfoType(UINT index, TYPEKIND* kind) override {
    if (!kind)
      return E_INVALIDARG;
    if (index >= table_.types.size())
      return TYPE_E_ELEMENTNOTFOUND;
    *kind = TypeKindOf(table_.types[index]->kind);
    return S_OK;
  }

  HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) override {
    if (!info)
      return E_INVALIDARG;
    *info = nullptr;
    for (UINT i = 0; i < table_.types.size(); ++i) {
      if (table_.types[i]->guid == guid && guid != GUID_NULL)
        return GetTypeInfo(i, info);
    }
    return TYPE_E_ELEMENTNOTFOUND;
  }

  HRESULT GetLibAttr(TLIBATTR** attributes) override {
    if (!attributes)
      return E_INVALIDARG;
    *attributes =
        new (std::nothrow) TLIBATTR{table_.libid, table_.locale, static_cast<WORD>(table_.sys_kind),
                                    table_.major, table_.minor,  0};
    return *attributes ? S_OK : E_OUTOFMEMORY;
  }
  void ReleaseTLibAttr(TLIBATTR* attributes) override { delete attributes; }

  HRESULT GetDocumentation(INT index,
                           BSTR* name,
                           BSTR* doc,
                           DWORD* help_context,
                           BSTR* help_file) override {
    if (index == -1)
      return GiveDocumentation(table_.name, table_.help, name, doc, help_context, help_file);
    if (index < 0 || static_cast<std::size_t>(index) >= table_.types.size())
      return TYPE_E_ELEMENTNOTFOUND;
    const tlb::Type& type = *table_.types[index];
    return GiveDocumentation(type.name, type.help, name, doc, help_context, help_file);
  }

 protected:
  ~TableTypeLib() override {
    if (module_)
      FreeLibrary(module_);
  }

 private:
  const tlb::Library& table_;
  void* const module_;
};

HRESULT TableTypeInfo::GetTypeAttr(TYPEATTR** attributes) {
  if (!attributes)
    return E_INVALIDARG;
  const tlb::Library& table = library_->table();
  *attributes = new (std::nothrow) TYPEATTR{type_.guid,
                                            table.locale,
                                            TypeKindOf(type_.kind),
                                            static_cast<WORD>(type_.members.size()),
                                            static_cast<WORD>(type_.fields.size()),
                                            static_cast<WORD>(type_.implements.size()),
                                            type_.flags,
                                            table.major,
                                            table.minor};
  return *attributes ? S_OK : E_OUTOFMEMORY;
}

HRESULT TableTypeInfo::GetRefTypeOfImplType(UINT index, HREFTYPE* type) {
  if (!type)
    return E_INVALIDARG;
  if (index >= type_.implements.size())
    return TYPE_E_ELEMENTNOTFOUND;
  std::optional<UINT> position = library_->IndexOf(type_.implements[index].type);
  if (!position)
    return TYPE_E_ELEMENTNOTFOUND;
  *type = *position;
  return S_OK;
}

HRESULT TableTypeInfo::GetRefTypeInfo(HREFTYPE type, ITypeInfo** info) {
  return library_->GetTypeInfo(type, info);
}

HRESULT TableTypeInfo::GetContainingTypeLib(ITypeLib** library, UINT* index) {
  if (!library)
    return E_INVALIDARG;
  *library = ComPtr<ITypeLib>(library_.Get()).Detach();
  if (index)
    *index = index_;
  return S_OK;
}

}  // namespace

HRESULT CreateTypeLibFromTable(const tlb::Library& table, void* module, ITypeLib** out) {
  if (!out)
    return E_INVALIDARG;
  *out = nullptr;
  auto made = TableTypeLib::Create(table, module);
  if (!made) {
    if (module)
      FreeLibrary(module);
    return E_OUTOFMEMORY;
  }
  *out = made.Detach();
  return S_OK;
}

}  // namespace vyn
