#include "platform/com/type_lookup.h"

#include "platform/com/dispatch.h"

namespace vyn::tlb {
namespace {

char16_t FoldAscii(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

std::u16string_view ViewOf(const OLECHAR* name) {
  return name ? std::u16string_view(name) : std::u16string_view();
}

}  // namespace

bool NamesEqual(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i]))
      return false;
  }
  return true;
}

const Member* FindMemberByName(const Type& type, std::u16string_view name) {
  for (const Member& member : type.members) {
    if (NamesEqual(member.name, name))
      return &member;
  }
  return nullptr;
}

const Member* FindMemberById(const Type& type, DISPID id) {
  for (const Member& member : type.members) {
    if (member.id == id)
      return &member;
  }
  return nullptr;
}

HRESULT IdsOfNames(const Type& type, OLECHAR** names, UINT count, DISPID* ids) {
  if (count == 0)
    return S_OK;
  if (!names || !ids)
    return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i)
    ids[i] = DISPID_UNKNOWN;
  const Member* member = FindMemberByName(type, ViewOf(names[0]));
  if (!member)
    return DISP_E_UNKNOWNNAME;
  ids[0] = member->id;
  HRESULT result = S_OK;
  for (UINT i = 1; i < count; ++i) {
    // A property's get and put share the name; the parameter may be either's.
    for (const Member& candidate : type.members) {
      if (candidate.id != member->id || ids[i] != DISPID_UNKNOWN)
        continue;
      for (std::size_t p = 0; p < candidate.params.size(); ++p) {
        if (NamesEqual(candidate.params[p].name, ViewOf(names[i]))) {
          ids[i] = static_cast<DISPID>(p);
          break;
        }
      }
    }
    if (ids[i] == DISPID_UNKNOWN)
      result = DISP_E_UNKNOWNNAME;
  }
  return result;
}

}  // namespace vyn::tlb
