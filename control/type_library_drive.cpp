// The drive object's interface.
#include "control/interfaces.h"
#include "control/member_binding.h"
#include "control/type_library.h"

namespace vyn::types {
namespace {

using binding::Bind;
using tlb::kIn;
using tlb::kOutRetval;
using tlb::Member;
using tlb::MemberKind;
using tlb::Param;

constexpr Param kNameOut[] = {{u"pVal", VT_BSTR, kOutRetval}};
constexpr Param kTracksOut[] = {
    {u"pVal", VT_DISPATCH, kOutRetval, u"ITracksCollection", ITracksCollection::kIid}};
constexpr Param kRecordsOut[] = {
    {u"pVal", VT_DISPATCH, kOutRetval, u"ICDDBRecordsCollection", ICDDBRecordsCollection::kIid}};
constexpr Param kBoolOut[] = {{u"pVal", VT_BOOL, kOutRetval}};
constexpr Param kBoolIn[] = {{u"newVal", VT_BOOL, kIn}};
constexpr Param kNumberOut[] = {{u"pVal", VT_I4, kOutRetval}};
constexpr Param kGetTrack[] = {{u"dwNumber", VT_I4, kIn},
                               {u"lpTrack", VT_DISPATCH, kOutRetval, u"ITrack", ITrack::kIid}};
constexpr Param kGetRecord[] = {
    {u"dwNumber", VT_I4, kIn},
    {u"lpRecord", VT_DISPATCH, kOutRetval, u"ICDDBRecord", ICDDBRecord::kIid}};
constexpr Param kSpeed[] = {{u"Speed", VT_I4, kIn}};

constexpr char16_t kAutoRefreshHelp[] =
    u"Re-read the disc automatically when it changes and raise 'OnDiskChanged'.";

using D = IDrive;
constexpr Member kDriveMembers[] = {
    Bind<D, &D::get_Name>({u"Name", 1, MemberKind::kPropertyGet, kNameOut,
                           u"Name of the drive: vendor and product as the drive reports them."}),
    Bind<D, &D::get_Tracks>({u"Tracks", 2, MemberKind::kPropertyGet, kTracksOut,
                             u"Collection of the tracks of the disc in the drive."}),
    Bind<D, &D::Refresh>({u"Refresh",
                          3,
                          MemberKind::kMethod,
                          {},
                          u"Read the table of contents of the disc again and rebuild the tracks."}),
    Bind<D, &D::get_HasAudioCD>(
        {u"HasAudioCD", 4, MemberKind::kPropertyGet, kBoolOut,
         u"True when the disc in the drive holds at least one audio track."}),
    Bind<D, &D::GetTrackNumber>({u"GetTrackNumber", 5, MemberKind::kMethod, kNumberOut,
                                 u"Number of tracks; the same as 'Tracks.Count'."}),
    Bind<D, &D::GetTrack>({u"GetTrack", 6, MemberKind::kMethod, kGetTrack,
                           u"Track by its number, starting at 1; the same as 'Tracks.Item'."}),
    Bind<D, &D::get_CDDBRecords>(
        {u"CDDBRecords", 7, MemberKind::kPropertyGet, kRecordsOut,
         u"This property is a 'collection' of CDDB records loaded by 'LoadCDDBData' method. Take "
         u"look at 'CDDBRecord' class."}),
    Bind<D, &D::get_Duration>({u"Duration", 8, MemberKind::kPropertyGet, kNumberOut,
                               u"Playing time of the disc in seconds."}),
    Bind<D, &D::OpenTray>({u"OpenTray", 9, MemberKind::kMethod, {}, u"Open the drive's tray."}),
    Bind<D, &D::LoadCDDBData>(
        {u"LoadCDDBData",
         10,
         MemberKind::kMethod,
         {},
         u"Load disk information from CDDB. If CDDB server contains information about disk, CDDB "
         u"records will be added to 'CDDBRecords' collection. Server may hold more than one record "
         u"for a disk. Check 'CDDBRecords.Count' after calling this method."}),
    Bind<D, &D::CloseTray>({u"CloseTray", 11, MemberKind::kMethod, {}, u"Close the drive's tray."}),
    Bind<D, &D::Eject>({u"Eject", 12, MemberKind::kMethod, {}, u"Eject the disc."}),
    Bind<D, &D::SetReadSpeed>({u"SetReadSpeed", 13, MemberKind::kMethod, kSpeed,
                               u"Set the read speed as a multiple of single speed; -1 selects the "
                               u"drive's maximum."}),
    Bind<D, &D::GetCDDBRecordNumber>({u"GetCDDBRecordNumber", 14, MemberKind::kMethod, kNumberOut,
                                      u"Number of CDDB records; the same as 'CDDBRecords.Count'."}),
    Bind<D, &D::GetCDDBRecord>({u"GetCDDBRecord", 15, MemberKind::kMethod, kGetRecord,
                                u"CDDB record by its number, starting at 1; the same as "
                                u"'CDDBRecords.Item'."}),
    Bind<D, &D::get_IsMediaLoaded>({u"IsMediaLoaded", 16, MemberKind::kPropertyGet, kBoolOut,
                                    u"True when the drive holds a disc that is ready."}),
    Bind<D, &D::get_AutoRefresh>(
        {u"AutoRefresh", 17, MemberKind::kPropertyGet, kBoolOut, kAutoRefreshHelp}),
    Bind<D, &D::put_AutoRefresh>(
        {u"AutoRefresh", 17, MemberKind::kPropertyPut, kBoolIn, kAutoRefreshHelp}),
};

}  // namespace

constinit const tlb::Type kIDrive{u"IDrive",
                                  IDrive::kIid,
                                  tlb::TypeKind::kInterface,
                                  kDualInterfaceFlags,
                                  u"Drive object of Tarnwell Control",
                                  kDriveMembers};

}  // namespace vyn::types
