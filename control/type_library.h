// The control's type library: one declarative table of the library, its
// classes, interfaces and records, and every member with its dispid, kind,
// parameters and help string. It is the single source for late binding
// (dispatch_impl.h), for the type information hosts read, and for the
// library the module exports and registers.
//
// Immutable, constant-initialised; thread-safe.
#pragma once

#include "platform/com/type_description.h"

namespace vyn {

inline constexpr WORD kTypeLibraryMajor = 1;
inline constexpr WORD kTypeLibraryMinor = 0;
// How the library marks its dual interfaces.
inline constexpr WORD kDualInterfaceFlags = tlb::kDual | tlb::kNonExtensible | tlb::kOleAutomation;

// The library; the module exports its address (module_entry.cpp).
extern const tlb::Library kVynTypeLibrary;
const tlb::Library& VynTypeLibrary();
// The description of one of the library's interfaces or classes, by IID or
// CLSID; null when the library has none.
const tlb::Type* FindLibraryType(REFGUID guid);

// The tables, one per type; defined in the type_library_*.cpp files.
namespace types {
extern const tlb::Type kVynCDRipperClass;
extern const tlb::Type kIVynCDRipper;
extern const tlb::Type kIVynCDRipperEvents;
extern const tlb::Type kDrivesCollectionClass;
extern const tlb::Type kIDrivesCollection;
extern const tlb::Type kDriveClass;
extern const tlb::Type kIDrive;
extern const tlb::Type kIDiscLayout;
extern const tlb::Type kTracksCollectionClass;
extern const tlb::Type kITracksCollection;
extern const tlb::Type kTrackClass;
extern const tlb::Type kITrack;
extern const tlb::Type kCDDBRecordsCollectionClass;
extern const tlb::Type kICDDBRecordsCollection;
extern const tlb::Type kCDDBRecordClass;
extern const tlb::Type kICDDBRecord;
extern const tlb::Type kIVynAudioEncoder;
extern const tlb::Type kIVynAudioEncoderEvents;
extern const tlb::Type kIAudioTag;
extern const tlb::Type kWaveFormatRecord;
extern const tlb::Type kWaveFormatAlias;
}  // namespace types

}  // namespace vyn
