// The control's default interface and its event source.
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

constexpr Param kDrivesOut[] = {
    {u"pVal", VT_DISPATCH, kOutRetval, u"IDrivesCollection", IDrivesCollection::kIid}};
constexpr Param kEncoderOut[] = {
    {u"pVal", VT_DISPATCH, kOutRetval, u"IVynAudioEncoder", IVynAudioEncoder::kIid}};
constexpr Param kEncoderIn[] = {
    {u"newVal", VT_DISPATCH, kIn, u"IVynAudioEncoder", IVynAudioEncoder::kIid}};
constexpr Param kBoolOut[] = {{u"pVal", VT_BOOL, kOutRetval}};
constexpr Param kBoolIn[] = {{u"newVal", VT_BOOL, kIn}};
constexpr Param kNumberOut[] = {{u"pVal", VT_I4, kOutRetval}};
constexpr Param kGetDrive[] = {{u"dwNumber", VT_I4, kIn},
                               {u"lpDrive", VT_DISPATCH, kOutRetval, u"IDrive", IDrive::kIid}};

constexpr char16_t kEncoderHelp[] =
    u"External audio encoder used by 'ExtractToEncoder' and 'QueueExtractToEncoder'.";
constexpr char16_t kJitterHelp[] =
    u"Turns jitter correction on or off. Jitter correction makes extraction slower.";
constexpr char16_t kOverwriteHelp[] = u"Ask before an existing file is overwritten by extraction.";

using R = IVynCDRipper;
constexpr Member kRipperMembers[] = {
    Bind<R, &R::get_Drives>({u"Drives", 2, MemberKind::kPropertyGet, kDrivesOut,
                             u"Collection of the CD drives found in the system."}),
    Bind<R, &R::CancelExtraction>({u"CancelExtraction",
                                   3,
                                   MemberKind::kMethod,
                                   {},
                                   u"Cancel extraction. If batch extraction is running, whole "
                                   u"batch will be cancelled."}),
    Bind<R, &R::get_Encoder>({u"Encoder", 4, MemberKind::kPropertyGet, kEncoderOut, kEncoderHelp}),
    Bind<R, &R::put_Encoder>({u"Encoder", 4, MemberKind::kPropertyPut, kEncoderIn, kEncoderHelp}),
    Bind<R, &R::get_JitterCorrection>(
        {u"JitterCorrection", 5, MemberKind::kPropertyGet, kBoolOut, kJitterHelp}),
    Bind<R, &R::put_JitterCorrection>(
        {u"JitterCorrection", 5, MemberKind::kPropertyPut, kBoolIn, kJitterHelp}),
    Bind<R, &R::RunQueue>({u"RunQueue",
                           6,
                           MemberKind::kMethod,
                           {},
                           u"Start extraction of the queued tasks. Note that this method works "
                           u"asynchronously."}),
    Bind<R, &R::ClearQueue>({u"ClearQueue",
                             7,
                             MemberKind::kMethod,
                             {},
                             u"Remove every task from the extraction queue."}),
    Bind<R, &R::GetDriveNumber>({u"GetDriveNumber", 8, MemberKind::kMethod, kNumberOut,
                                 u"Number of CD drives; the same as 'Drives.Count'."}),
    Bind<R, &R::GetDrive>({u"GetDrive", 9, MemberKind::kMethod, kGetDrive,
                           u"Drive by its number, starting at 1; the same as 'Drives.Item'."}),
    Bind<R, &R::get_OverwritePrompt>(
        {u"OverwritePrompt", 10, MemberKind::kPropertyGet, kBoolOut, kOverwriteHelp}),
    Bind<R, &R::put_OverwritePrompt>(
        {u"OverwritePrompt", 10, MemberKind::kPropertyPut, kBoolIn, kOverwriteHelp}),
};

constexpr Param kPercentDone[] = {{u"PercentDone", VT_I4, kIn}};
constexpr Param kErrorMessage[] = {{u"ErrorMessage", VT_BSTR, kIn}};

constexpr Member kEventMembers[] = {
    {u"OnProgress", kDispidOnProgress, MemberKind::kMethod, kPercentDone,
     u"Extraction progress of the current track, in percent."},
    {u"OnExtractionStart",
     kDispidOnExtractionStart,
     MemberKind::kMethod,
     {},
     u"Extraction of a track has started."},
    {u"OnExtractionEnd",
     kDispidOnExtractionEnd,
     MemberKind::kMethod,
     {},
     u"Extraction of a track has ended."},
    {u"OnExtractionError", kDispidOnExtractionError, MemberKind::kMethod, kErrorMessage,
     u"Extraction has failed; the rest of the run is not done."},
    {u"OnJitterDetected",
     kDispidOnJitterDetected,
     MemberKind::kMethod,
     {},
     u"Jitter correction could not align a chunk of audio."},
    {u"OnDiskChanged",
     kDispidOnDiskChanged,
     MemberKind::kMethod,
     {},
     u"The disc in a drive has changed."},
};

}  // namespace

constinit const tlb::Type kIVynCDRipper{u"IVynCDRipper",           IVynCDRipper::kIid,
                                        tlb::TypeKind::kInterface, kDualInterfaceFlags,
                                        u"Tarnwell Control",       kRipperMembers};

constinit const tlb::Type kIVynCDRipperEvents{u"_IVynCDRipperEvents",     DIID__IVynCDRipperEvents,
                                              tlb::TypeKind::kDispatch,   0,
                                              u"Tarnwell Control Events", kEventMembers};

}  // namespace vyn::types
