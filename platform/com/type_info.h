// ITypeLib and ITypeInfo: what a host reads about a type library at run
// time. This platform's own, smaller design: the members object browsers
// and late-binding hosts use (attributes, member and parameter names and
// ids, help strings, a class's implemented interfaces), read-only, with
// attributes handed out as copies the caller releases.
//
// Member ids are dispids; MEMBERID_NIL names the type (or the library)
// itself in GetDocumentation. HREFTYPE is the referenced type's index in
// its library.
#pragma once

#include "platform/com/bstr.h"
#include "platform/com/com_ptr.h"
#include "platform/com/type_description.h"
#include "platform/com/unknown.h"

using MEMBERID = DISPID;
using HREFTYPE = DWORD;
inline constexpr MEMBERID MEMBERID_NIL = -1;

enum TYPEKIND : int {
  TKIND_ENUM,
  TKIND_RECORD,
  TKIND_MODULE,
  TKIND_INTERFACE,
  TKIND_DISPATCH,
  TKIND_COCLASS,
  TKIND_ALIAS,
  TKIND_UNION
};
enum INVOKEKIND : int { INVOKE_FUNC = 1, INVOKE_PROPERTYGET = 2, INVOKE_PROPERTYPUT = 4 };

inline constexpr int IMPLTYPEFLAG_FDEFAULT = 0x1;
inline constexpr int IMPLTYPEFLAG_FSOURCE = 0x2;

struct TYPEATTR {
  GUID guid;
  LCID lcid;
  TYPEKIND typekind;
  WORD cFuncs;      // members
  WORD cVars;       // record fields
  WORD cImplTypes;  // a class's interfaces
  WORD wTypeFlags;  // vyn::tlb::TypeFlags
  WORD wMajorVerNum;
  WORD wMinorVerNum;
};

struct ELEMDESC {
  VARTYPE vt;
  WORD wParamFlags;  // vyn::tlb::ParamFlags
};

struct FUNCDESC {
  MEMBERID memid;
  INVOKEKIND invkind;
  SHORT cParams;
  WORD wFuncFlags;                    // vyn::tlb::MemberFlags
  const ELEMDESC* lprgelemdescParam;  // cParams entries, owned by the FUNCDESC
};

struct TLIBATTR {
  GUID guid;
  LCID lcid;
  WORD syskind;
  WORD wMajorVerNum;
  WORD wMinorVerNum;
  WORD wLibFlags;
};

struct ITypeLib;

struct ITypeInfo : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("00020401-0000-0000-C000-000000000046");

  virtual HRESULT GetTypeAttr(TYPEATTR** attributes) = 0;
  virtual void ReleaseTypeAttr(TYPEATTR* attributes) = 0;
  // Member `index` (0-based, table order); TYPE_E_ELEMENTNOTFOUND past the end.
  virtual HRESULT GetFuncDesc(UINT index, FUNCDESC** description) = 0;
  virtual void ReleaseFuncDesc(FUNCDESC* description) = 0;
  // The member's name followed by its parameters' names, at most `max`.
  virtual HRESULT GetNames(MEMBERID id, BSTR* names, UINT max, UINT* count) = 0;
  // Case-insensitive; names after the first are parameters of the member.
  // Unknown names get DISPID_UNKNOWN and the result DISP_E_UNKNOWNNAME.
  virtual HRESULT GetIDsOfNames(OLECHAR** names, UINT count, MEMBERID* ids) = 0;
  // Any out pointer may be null. The help file is never set; the context is 0.
  virtual HRESULT GetDocumentation(MEMBERID id,
                                   BSTR* name,
                                   BSTR* doc,
                                   DWORD* help_context,
                                   BSTR* help_file) = 0;
  virtual HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* type) = 0;
  virtual HRESULT GetImplTypeFlags(UINT index, int* flags) = 0;
  virtual HRESULT GetRefTypeInfo(HREFTYPE type, ITypeInfo** info) = 0;
  virtual HRESULT GetContainingTypeLib(ITypeLib** library, UINT* index) = 0;

 protected:
  ~ITypeInfo() = default;
};

struct ITypeLib : IUnknown {
  using Base = IUnknown;
  static constexpr IID kIid = MakeGuid("00020402-0000-0000-C000-000000000046");

  virtual UINT GetTypeInfoCount() = 0;
  virtual HRESULT GetTypeInfo(UINT index, ITypeInfo** info) = 0;
  virtual HRESULT GetTypeInfoType(UINT index, TYPEKIND* kind) = 0;
  // TYPE_E_ELEMENTNOTFOUND when no type has that GUID.
  virtual HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) = 0;
  virtual HRESULT GetLibAttr(TLIBATTR** attributes) = 0;
  virtual void ReleaseTLibAttr(TLIBATTR* attributes) = 0;
  // index -1: the library itself.
  virtual HRESULT GetDocumentation(INT index,
                                   BSTR* name,
                                   BSTR* doc,
                                   DWORD* help_context,
                                   BSTR* help_file) = 0;

 protected:
  ~ITypeLib() = default;
};

namespace vyn {

// A type library over `table`, which must outlive it. `module`, when not
// null, is a loaded module that holds the table: the library owns that
// load and frees it when its last type info goes away.
HRESULT CreateTypeLibFromTable(const tlb::Library& table, void* module, ITypeLib** out);

}  // namespace vyn
