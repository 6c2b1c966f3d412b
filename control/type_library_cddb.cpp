// The CDDB record object's interface.
#include "control/interfaces.h"
#include "control/member_binding.h"
#include "control/type_library.h"

namespace vyn::types {
namespace {

using binding::Bind;
using tlb::kOutRetval;
using tlb::Member;
using tlb::MemberKind;
using tlb::Param;

constexpr Param kTextOut[] = {{u"pVal", VT_BSTR, kOutRetval}};

using C = ICDDBRecord;
constexpr Member kRecordMembers[] = {
    Bind<C, &C::get_Description>({u"Description", 1, MemberKind::kPropertyGet, kTextOut,
                                  u"Short description of CDDB record provided by CDDB server."}),
    Bind<C, &C::SetActive>({u"SetActive",
                            2,
                            MemberKind::kMethod,
                            {},
                            u"Set this record default one for subsequent operations."}),
    Bind<C, &C::get_RawData>({u"RawData", 3, MemberKind::kPropertyGet, kTextOut,
                              u"Contains CDDB record data as it was received from server"}),
};

}  // namespace

constinit const tlb::Type kICDDBRecord{
    u"ICDDBRecord",
    ICDDBRecord::kIid,
    tlb::TypeKind::kInterface,
    kDualInterfaceFlags,
    u"This object represents CDDB record. All CDDB data are stored internally. It will be then "
    u"used in creating tags for compressed audio files and generating filenames.",
    kRecordMembers};

}  // namespace vyn::types
