// The interfaces of external encoders, which the control calls but does
// not implement, and the PCM format record they take. Described only: no
// member of these has a call.
#include "control/interfaces.h"
#include "control/type_library.h"

namespace vyn::types {
namespace {

using tlb::kIn;
using tlb::kOutRetval;
using tlb::kRecordType;
using tlb::Member;
using tlb::MemberKind;
using tlb::Param;

constexpr Param kFilename[] = {{u"szFilename", VT_BSTR, kIn}};
constexpr Param kSource[] = {{u"hSource", VT_I4, kIn}};
constexpr Param kFormat[] = {{u"nChannels", VT_I4, kIn},
                             {u"nSamplesPerSec", VT_I4, kIn},
                             {u"nBitsPerSample", VT_I4, kIn}};
constexpr Param kFormatRecord[] = {{u"pWfx", kRecordType | VT_BYREF, kIn, u"WAVEFORMATEX"}};
constexpr Param kQuality[] = {{u"fQuality", VT_R4, kIn}};
constexpr Param kAverageBitrate[] = {{u"nAvgBitrate", VT_I4, kIn}};
constexpr Param kBitrate[] = {{u"nBitrate", VT_I4, kIn}};
constexpr Param kData[] = {{u"data", VT_UI1 | VT_BYREF, kIn}, {u"Count", VT_I4, kIn}};
constexpr Param kTextOut[] = {{u"pVal", VT_BSTR, kOutRetval}};
constexpr Param kTextIn[] = {{u"newVal", VT_BSTR, kIn}};
constexpr Param kBoolOut[] = {{u"pVal", VT_BOOL, kOutRetval}};
constexpr Param kBoolIn[] = {{u"newVal", VT_BOOL, kIn}};

constexpr Member kEncoderMembers[] = {
    {u"Open", 1, MemberKind::kMethod, kFilename, u"Open the output file."},
    {u"OpenHandle", 2, MemberKind::kMethod, kSource, u"Write the output to an open handle."},
    {u"SetInputFormat", 3, MemberKind::kMethod, kFormat, u"Set the format of the PCM input."},
    {u"SetInputFormatWFX", 4, MemberKind::kMethod, kFormatRecord,
     u"Set the format of the PCM input from a WAVEFORMATEX record."},
    {u"SetOutputFormatVBR", 5, MemberKind::kMethod, kQuality, u"Encode with a variable bitrate."},
    {u"SetOutputFormatABR", 6, MemberKind::kMethod, kAverageBitrate,
     u"Encode with an average bitrate."},
    {u"SetOutputFormatCBR", 7, MemberKind::kMethod, kBitrate, u"Encode with a constant bitrate."},
    {u"Write", 8, MemberKind::kMethod, kData, u"Encode a block of PCM input."},
    {u"Close", 9, MemberKind::kMethod, {}, u"Finish encoding and close the output."},
    {u"Filename", 10, MemberKind::kPropertyGet, kTextOut, u"Name of the output file."},
    {u"Filename", 10, MemberKind::kPropertyPut, kTextIn, u"Name of the output file."},
    {u"AddExtension", 11, MemberKind::kPropertyGet, kBoolOut,
     u"Add the format's extension to the file name."},
    {u"AddExtension", 11, MemberKind::kPropertyPut, kBoolIn,
     u"Add the format's extension to the file name."},
    {u"TagData", 12, MemberKind::kPropertyGet, kTextOut, u"Tag data written to the output."},
    {u"TagData", 12, MemberKind::kPropertyPut, kTextIn, u"Tag data written to the output."},
    {u"OverwritePrompt", 13, MemberKind::kPropertyGet, kBoolOut,
     u"Ask before an existing output file is overwritten."},
    {u"OverwritePrompt", 13, MemberKind::kPropertyPut, kBoolIn,
     u"Ask before an existing output file is overwritten."},
};

constexpr Param kErrorMessage[] = {{u"ErrorMessage", VT_BSTR, kIn}};
constexpr Member kEncoderEventMembers[] = {
    {u"OnError", 1, MemberKind::kMethod, kErrorMessage, u"The encoder has met an error."},
};

// Each tag is a string property with a get and a put.
constexpr Member kTagMembers[] = {
    {u"Title", 1, MemberKind::kPropertyGet, kTextOut, u"Title of the track."},
    {u"Title", 1, MemberKind::kPropertyPut, kTextIn, u"Title of the track."},
    {u"Artist", 2, MemberKind::kPropertyGet, kTextOut, u"Artist."},
    {u"Artist", 2, MemberKind::kPropertyPut, kTextIn, u"Artist."},
    {u"Album", 3, MemberKind::kPropertyGet, kTextOut, u"Album."},
    {u"Album", 3, MemberKind::kPropertyPut, kTextIn, u"Album."},
    {u"Year", 4, MemberKind::kPropertyGet, kTextOut, u"Year of release."},
    {u"Year", 4, MemberKind::kPropertyPut, kTextIn, u"Year of release."},
    {u"Genre", 5, MemberKind::kPropertyGet, kTextOut, u"Genre."},
    {u"Genre", 5, MemberKind::kPropertyPut, kTextIn, u"Genre."},
    {u"TrackNo", 6, MemberKind::kPropertyGet, kTextOut, u"Number of the track on the disc."},
    {u"TrackNo", 6, MemberKind::kPropertyPut, kTextIn, u"Number of the track on the disc."},
    {u"Comment", 7, MemberKind::kPropertyGet, kTextOut, u"Comment."},
    {u"Comment", 7, MemberKind::kPropertyPut, kTextIn, u"Comment."},
};

constexpr tlb::Field kWaveFormatFields[] = {
    {u"wFormatTag", VT_UI2},      {u"nChannels", VT_UI2},   {u"nSamplesPerSec", VT_UI4},
    {u"nAvgBytesPerSec", VT_UI4}, {u"nBlockAlign", VT_UI2}, {u"wBitsPerSample", VT_UI2},
    {u"cbSize", VT_UI2},
};

}  // namespace

constinit const tlb::Type kIVynAudioEncoder{u"IVynAudioEncoder",
                                            IVynAudioEncoder::kIid,
                                            tlb::TypeKind::kInterface,
                                            kDualInterfaceFlags | tlb::kHidden,
                                            u"External Audio Encoder's interface",
                                            kEncoderMembers};

constinit const tlb::Type kIVynAudioEncoderEvents{
    u"_IVynAudioEncoderEvents", MakeGuid("A04C7E19-3B62-4D8F-9E17-62F0B83D4C21"),
    tlb::TypeKind::kDispatch,   0,
    u"Audio Encoder Events",    kEncoderEventMembers};

constinit const tlb::Type kIAudioTag{u"IAudioTag",
                                     MakeGuid("1A8E5C73-B46F-4D02-A9C7-F3E0D258B16A"),
                                     tlb::TypeKind::kInterface,
                                     kDualInterfaceFlags | tlb::kHidden,
                                     u"Basic tagging support.",
                                     kTagMembers};

constinit const tlb::Type kWaveFormatRecord{
    u"tWAVEFORMATEX", GUID_NULL, tlb::TypeKind::kRecord, 0, u"", {}, {}, kWaveFormatFields};

constinit const tlb::Type kWaveFormatAlias{
    u"WAVEFORMATEX", GUID_NULL, tlb::TypeKind::kAlias, 0, u"", {}, {}, {}, &kWaveFormatRecord};

}  // namespace vyn::types
