// The library and its classes; the interfaces are in type_library_*.cpp.
#include "control/type_library.h"

#include "control/class_ids.h"

namespace vyn {
namespace types {
namespace {

using tlb::Implemented;
using tlb::kImplDefault;
using tlb::kImplSource;
using tlb::TypeKind;

constexpr Implemented kRipperImplements[] = {{&kIVynCDRipper, kImplDefault},
                                             {&kIVynCDRipperEvents, kImplDefault | kImplSource}};
constexpr Implemented kDrivesImplements[] = {{&kIDrivesCollection, kImplDefault}};
constexpr Implemented kDriveImplements[] = {{&kIDrive, kImplDefault}, {&kIDiscLayout, 0}};
constexpr Implemented kTracksImplements[] = {{&kITracksCollection, kImplDefault}};
constexpr Implemented kTrackImplements[] = {{&kITrack, kImplDefault}};
constexpr Implemented kRecordsImplements[] = {{&kICDDBRecordsCollection, kImplDefault}};
constexpr Implemented kRecordImplements[] = {{&kICDDBRecord, kImplDefault}};

}  // namespace

constinit const tlb::Type kVynCDRipperClass{
    u"VynCDRipper",
    CLSID_VynCDRipper,
    TypeKind::kCoClass,
    tlb::kCanCreate | tlb::kControl,
    u"This control is created to help you add audio CD ripping ability to your programs.",
    {},
    kRipperImplements};
constinit const tlb::Type kDrivesCollectionClass{u"DrivesCollection",
                                                 CLSID_DrivesCollection,
                                                 TypeKind::kCoClass,
                                                 0,
                                                 u"Collection of 'Drive' objects.",
                                                 {},
                                                 kDrivesImplements};
constinit const tlb::Type kDriveClass{
    u"Drive",
    CLSID_Drive,
    TypeKind::kCoClass,
    0,
    u"Drive object exposes methods and properties to deal with CD drives.",
    {},
    kDriveImplements};
constinit const tlb::Type kTracksCollectionClass{u"TracksCollection",
                                                 CLSID_TracksCollection,
                                                 TypeKind::kCoClass,
                                                 0,
                                                 u"Collection of 'Track' objects.",
                                                 {},
                                                 kTracksImplements};
constinit const tlb::Type kTrackClass{
    u"Track",
    CLSID_Track,
    TypeKind::kCoClass,
    0,
    u"This object is a CD track representation. It provides information about track and exposes "
    u"extraction methods. Extraction can also be queued.",
    {},
    kTrackImplements};
constinit const tlb::Type kCDDBRecordsCollectionClass{u"CDDBRecordsCollection",
                                                      CLSID_CDDBRecordsCollection,
                                                      TypeKind::kCoClass,
                                                      0,
                                                      u"Collection of CDDB records.",
                                                      {},
                                                      kRecordsImplements};
constinit const tlb::Type kCDDBRecordClass{
    u"CDDBRecord",
    CLSID_CDDBRecord,
    TypeKind::kCoClass,
    0,
    u"This object represents CDDB record. All CDDB data is stored internally. It will be then "
    u"used in creating tags for compressed audio files and generating filenames.",
    {},
    kRecordImplements};

}  // namespace types

namespace {

constexpr const tlb::Type* kTypes[] = {
    &types::kVynCDRipperClass,
    &types::kIVynCDRipper,
    &types::kIVynCDRipperEvents,
    &types::kDrivesCollectionClass,
    &types::kIDrivesCollection,
    &types::kDriveClass,
    &types::kIDrive,
    &types::kIDiscLayout,
    &types::kTracksCollectionClass,
    &types::kITracksCollection,
    &types::kTrackClass,
    &types::kITrack,
    &types::kCDDBRecordsCollectionClass,
    &types::kICDDBRecordsCollection,
    &types::kCDDBRecordClass,
    &types::kICDDBRecord,
    &types::kIVynAudioEncoder,
    &types::kIVynAudioEncoderEvents,
    &types::kIAudioTag,
    &types::kWaveFormatRecord,
    &types::kWaveFormatAlias,
};

}  // namespace

constinit const tlb::Library kVynTypeLibrary{tlb::kFormatVersion,
                                             u"VYNCTLLib",
                                             LIBID_VYNCTLLib,
                                             kTypeLibraryMajor,
                                             kTypeLibraryMinor,
                                             0,
                                             tlb::SysKind::kLinux64,
                                             u"Tarnwell Control 1.0",
                                             kTypes};

const tlb::Library& VynTypeLibrary() {
  return kVynTypeLibrary;
}

const tlb::Type* FindLibraryType(REFGUID guid) {
  if (guid == GUID_NULL)
    return nullptr;
  for (const tlb::Type* type : kVynTypeLibrary.types) {
    if (type->guid == guid)
      return type;
  }
  return nullptr;
}

}  // namespace vyn
