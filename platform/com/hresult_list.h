// Every HRESULT the system names, once. Each row is
//   X(name, value)
// and expands into the constant and the name used in test output.
#pragma once

#define VYN_HRESULT_LIST(X)                         \
  X(S_OK, 0x00000000)                               \
  X(S_FALSE, 0x00000001)                            \
  X(E_NOTIMPL, 0x80004001)                          \
  X(E_NOINTERFACE, 0x80004002)                      \
  X(E_POINTER, 0x80004003)                          \
  X(E_ABORT, 0x80004004)                            \
  X(E_FAIL, 0x80004005)                             \
  X(E_UNEXPECTED, 0x8000FFFF)                       \
  X(E_ACCESSDENIED, 0x80070005)                     \
  X(E_HANDLE, 0x80070006)                           \
  X(E_OUTOFMEMORY, 0x8007000E)                      \
  X(E_INVALIDARG, 0x80070057)                       \
  X(DISP_E_UNKNOWNINTERFACE, 0x80020001)            \
  X(DISP_E_MEMBERNOTFOUND, 0x80020003)              \
  X(DISP_E_PARAMNOTFOUND, 0x80020004)               \
  X(DISP_E_TYPEMISMATCH, 0x80020005)                \
  X(DISP_E_UNKNOWNNAME, 0x80020006)                 \
  X(DISP_E_NONAMEDARGS, 0x80020007)                 \
  X(DISP_E_BADVARTYPE, 0x80020008)                  \
  X(DISP_E_EXCEPTION, 0x80020009)                   \
  X(DISP_E_OVERFLOW, 0x8002000A)                    \
  X(DISP_E_BADINDEX, 0x8002000B)                    \
  X(DISP_E_UNKNOWNLCID, 0x8002000C)                 \
  X(DISP_E_ARRAYISLOCKED, 0x8002000D)               \
  X(DISP_E_BADPARAMCOUNT, 0x8002000E)               \
  X(DISP_E_PARAMNOTOPTIONAL, 0x8002000F)            \
  X(TYPE_E_ELEMENTNOTFOUND, 0x8002802B)             \
  X(TYPE_E_CANTLOADLIBRARY, 0x80029C4A)             \
  X(CLASS_E_NOAGGREGATION, 0x80040110)              \
  X(CLASS_E_CLASSNOTAVAILABLE, 0x80040111)          \
  X(REGDB_E_READREGDB, 0x80040150)                  \
  X(REGDB_E_WRITEREGDB, 0x80040151)                 \
  X(REGDB_E_KEYMISSING, 0x80040152)                 \
  X(REGDB_E_INVALIDVALUE, 0x80040153)               \
  X(REGDB_E_CLASSNOTREG, 0x80040154)                \
  X(CO_E_CLASSSTRING, 0x800401F3)                   \
  X(CO_E_DLLNOTFOUND, 0x800401F8)                   \
  X(CO_E_ERRORINDLL, 0x800401F9)                    \
  X(CONNECT_E_NOCONNECTION, 0x80040200)             \
  X(CONNECT_E_ADVISELIMIT, 0x80040201)              \
  X(CONNECT_E_CANNOTCONNECT, 0x80040202)            \
  X(CONNECT_E_OVERRIDDEN, 0x80040203)               \
  X(OLE_E_NOCONNECTION, 0x80040004)                 \
  X(STG_E_INVALIDFUNCTION, 0x80030001)              \
  X(STG_E_FILENOTFOUND, 0x80030002)                 \
  X(STG_E_READFAULT, 0x8003001E)                    \
  X(STG_E_WRITEFAULT, 0x8003001D)                   \
  X(STG_E_MEDIUMFULL, 0x80030070)
