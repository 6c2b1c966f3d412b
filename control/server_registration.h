// The class registry entries that let hosts find and create the control:
// its two ProgIDs and its class key (module path, threading model, OLE
// status, toolbox picture, type library, version). Thread-safe; each call
// rewrites or removes the entries as a whole.
#pragma once

#include <string>

#include "platform/com/hresult.h"

namespace vyn {

inline constexpr char16_t kProgId[] = u"Nuvex.CDRipper.1";
inline constexpr char16_t kVersionIndependentProgId[] = u"Nuvex.CDRipper";
inline constexpr char16_t kClassDescription[] = u"CDRipper Class";
// The bitmap embedded in the module that toolboxes show.
inline constexpr int kToolboxBitmapId = 101;

// Writes the entries for the module at `module_path` (UTF-8). The class key
// is replaced as a whole. The first failure ends the writing and is
// returned; what was written stays.
HRESULT WriteServerEntries(const std::string& module_path);
// Removes the two ProgID keys and the class key with everything under it;
// the CLSID key above them stays.
void RemoveServerEntries();

}  // namespace vyn
