// Programmatic identifiers: the registered names of classes
// ("Vendor.Class.1"), looked up in the class registry. Thread-safe.
#pragma once

#include "platform/com/guid.h"
#include "platform/com/hresult.h"

// The default value of CLSID\{clsid}\ProgID, as a string from
// CoTaskMemAlloc that the caller frees. REGDB_E_CLASSNOTREG when the class
// key or its ProgID (or an empty one) is missing, E_POINTER for a null
// `progId`, REGDB_E_READREGDB for a corrupt registry. *progId is null on
// failure.
HRESULT ProgIDFromCLSID(REFCLSID clsid, OLECHAR** progId);

// The class id in the default value of <progId>\CLSID. CO_E_CLASSSTRING
// when the ProgID is empty or not a single key name, or when the key or a
// well-formed GUID is missing; E_POINTER for a null `clsid`, E_INVALIDARG
// for a null `progId`, REGDB_E_READREGDB for a corrupt registry. *clsid is
// GUID_NULL on failure.
HRESULT CLSIDFromProgID(const OLECHAR* progId, CLSID* clsid);
