// The description of a type library as a module carries it: immutable
// tables of the library, its types and their members, with names, ids,
// kinds, parameters and help strings. A server module defines one table
// and exports it under kTypeLibrarySymbol; LoadTypeLib reads it from there
// and the server's own IDispatch serves late-bound calls from it.
//
// A member of an interface the module implements also carries `call`, a
// function that runs the member on an interface pointer with arguments
// already coerced to the declared types. Members of interfaces implemented
// elsewhere (events, external components) have no call.
//
// Immutable; lives as long as the module that defines it.
#pragma once

#include <span>
#include <string_view>

#include "platform/com/variant.h"

namespace vyn::tlb {

// The symbol under which a module exports its `const Library*`: the
// module's type-library resource number 1.
inline constexpr char kTypeLibrarySymbol[] = "VynTypeLibrary1";
// Raised when the layout below changes; LoadTypeLib refuses other values.
inline constexpr DWORD kFormatVersion = 1;

enum class TypeKind : WORD { kInterface, kDispatch, kCoClass, kRecord, kAlias };

// Type flags, as object browsers show them.
enum TypeFlags : WORD {
  kCanCreate = 0x2,
  kControl = 0x20,
  kHidden = 0x10,
  kDual = 0x40,
  kNonExtensible = 0x80,
  kOleAutomation = 0x100,
  kRestricted = 0x200,
};

// Member kinds; the values are the DISPATCH_ flags that reach each kind.
enum class MemberKind : WORD { kMethod = 1, kPropertyGet = 2, kPropertyPut = 4 };

// A parameter of a record type (with VT_BYREF: a pointer to one).
inline constexpr VARTYPE kRecordType = 36;

enum ParamFlags : WORD { kIn = 0x1, kOut = 0x2, kRetval = 0x8, kOutRetval = kOut | kRetval };

struct Param {
  std::u16string_view name;
  VARTYPE type;  // VT_I4, VT_BOOL, VT_BSTR, VT_DISPATCH, VT_UNKNOWN, ...; VT_BYREF for pointers
  WORD flags;
  // For interface and record types: the type's name, and an interface's IID
  // (an argument is queried for it before the call).
  std::u16string_view type_name = {};
  IID iid = GUID_NULL;
};

// Runs one member on `self` (the interface pointer the table describes).
// `args` holds the [in] arguments in declaration order, each exactly of its
// declared type; `result`, when the member has an [out, retval], receives
// it (the callee's reference or string, owned by the variant).
using MemberCall = HRESULT (*)(void* self, VARIANT* args, VARIANT* result);

enum MemberFlags : WORD { kMemberRestricted = 0x1, kMemberHidden = 0x40 };

struct Member {
  std::u16string_view name;
  DISPID id;
  MemberKind kind;
  std::span<const Param> params;
  std::u16string_view help;
  MemberCall call = nullptr;
  WORD flags = 0;
};

// A field of a record type.
struct Field {
  std::u16string_view name;
  VARTYPE type;
};

struct Type;

// An interface a class implements, with its role.
enum ImplFlags : WORD { kImplDefault = 0x1, kImplSource = 0x2 };
struct Implemented {
  const Type* type;
  WORD flags;
};

struct Type {
  std::u16string_view name;
  GUID guid;  // GUID_NULL for records and aliases
  TypeKind kind;
  WORD flags;
  std::u16string_view help;
  std::span<const Member> members = {};          // interfaces and dispinterfaces
  std::span<const Implemented> implements = {};  // classes
  std::span<const Field> fields = {};            // records
  const Type* aliased = nullptr;                 // aliases
};

// System kinds: where the library's registered path lives in the registry.
enum class SysKind : WORD { kLinux64 = 4 };

struct Library {
  DWORD format_version;
  std::u16string_view name;
  GUID libid;
  WORD major;
  WORD minor;
  LCID locale;
  SysKind sys_kind;
  std::u16string_view help;
  std::span<const Type* const> types;
};

}  // namespace vyn::tlb
