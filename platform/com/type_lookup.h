// Lookups in a type description by name and by id, shared by the type
// library objects and by servers that answer IDispatch from their table.
// Names compare case-insensitively (ASCII letters), as late-binding hosts
// expect. Pure functions over immutable tables; thread-safe.
#pragma once

#include "platform/com/type_description.h"

namespace vyn::tlb {

bool NamesEqual(std::u16string_view a, std::u16string_view b);

// The first member named `name`, or null.
const Member* FindMemberByName(const Type& type, std::u16string_view name);
// The first member with `id`, or null.
const Member* FindMemberById(const Type& type, DISPID id);

// names[0] is a member, the rest its parameters (their ids are their
// positions). Every id is filled; unknown names get DISPID_UNKNOWN and the
// result is DISP_E_UNKNOWNNAME. E_INVALIDARG for null arrays.
HRESULT IdsOfNames(const Type& type, OLECHAR** names, UINT count, DISPID* ids);

}  // namespace vyn::tlb
