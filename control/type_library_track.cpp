// The track object's interface.
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

constexpr Param kNumberOut[] = {{u"pVal", VT_I4, kOutRetval}};
constexpr Param kBoolOut[] = {{u"pVal", VT_BOOL, kOutRetval}};
constexpr Param kFilename[] = {{u"szFilename", VT_BSTR, kIn}};
constexpr Param kFilenameAndTag[] = {{u"szFilename", VT_BSTR, kIn}, {u"bWriteTag", VT_BOOL, kIn}};
constexpr Param kGenerate[] = {{u"szTemplate", VT_BSTR, kIn}, {u"szFilename", VT_BSTR, kOutRetval}};

constexpr char16_t kQueueHelp[] = u"Add to queue track extraction task.";

using T = ITrack;
constexpr Member kTrackMembers[] = {
    Bind<T, &T::get_Duration>({u"Duration", 1, MemberKind::kPropertyGet, kNumberOut,
                               u"Playing time of the track in seconds."}),
    Bind<T, &T::get_Size>({u"Size", 2, MemberKind::kPropertyGet, kNumberOut,
                           u"Size of the track's audio in bytes, as extraction delivers it."}),
    Bind<T, &T::get_IsAudio>({u"IsAudio", 3, MemberKind::kPropertyGet, kBoolOut,
                              u"True for an audio track, false for a data track."}),
    Bind<T, &T::ExtractToWav>({u"ExtractToWav", 4, MemberKind::kMethod, kFilename,
                               u"Extract the track to a WAV file. Note that this method works "
                               u"asynchronously."}),
    Bind<T, &T::ExtractToEncoder>({u"ExtractToEncoder", 5, MemberKind::kMethod, kFilenameAndTag,
                                   u"Extract the track through the external encoder. Note that "
                                   u"this method works asynchronously."}),
    Bind<T, &T::QueueExtractToWav>(
        {u"QueueExtractToWav", 6, MemberKind::kMethod, kFilename, kQueueHelp}),
    Bind<T, &T::QueueExtractToEncoder>(
        {u"QueueExtractToEncoder", 7, MemberKind::kMethod, kFilenameAndTag, kQueueHelp}),
    Bind<T, &T::GenerateFilename>({u"GenerateFilename", 8, MemberKind::kMethod, kGenerate,
                                   u"Generate filename from CDDB record according to template."}),
};

}  // namespace

constinit const tlb::Type kITrack{
    u"ITrack",
    ITrack::kIid,
    tlb::TypeKind::kInterface,
    kDualInterfaceFlags,
    u"This object is a CD track representation. It provides information about track and exposes "
    u"extraction methods. Extraction can also be queued.",
    kTrackMembers};

}  // namespace vyn::types
