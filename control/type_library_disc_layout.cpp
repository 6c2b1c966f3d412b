// The drive's disc-layout interface.
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

constexpr Param kCountOut[] = {{u"pVal", VT_I4, kOutRetval}};
constexpr Param kEntryValue[] = {{u"nEntry", VT_I4, kIn}, {u"pVal", VT_I4, kOutRetval}};
constexpr Param kTextOut[] = {{u"pVal", VT_BSTR, kOutRetval}};

using L = IDiscLayout;
constexpr Member kDiscLayoutMembers[] = {
    Bind<L, &L::get_EntryCount>(
        {u"EntryCount", 101, MemberKind::kPropertyGet, kCountOut,
         u"Number of entries in the disc's table of contents, the lead-out included."}),
    Bind<L, &L::EntryTrackNumber>({u"EntryTrackNumber", 102, MemberKind::kMethod, kEntryValue,
                                   u"Track number of entry n (from 1); 170 for the lead-out."}),
    Bind<L, &L::EntryAdrControl>({u"EntryAdrControl", 103, MemberKind::kMethod, kEntryValue,
                                  u"ADR/CONTROL byte of entry n (from 1); bit 4 marks a data "
                                  u"track."}),
    Bind<L, &L::EntryStartAddress>({u"EntryStartAddress", 104, MemberKind::kMethod, kEntryValue,
                                    u"Start address of entry n (from 1) as a logical block "
                                    u"address, without the 150-frame lead-in."}),
    Bind<L, &L::get_CddbDiscId>({u"CddbDiscId", 105, MemberKind::kPropertyGet, kTextOut,
                                 u"CDDB identifier of the disc: eight lowercase hex digits."}),
    Bind<L, &L::get_CddbQueryCommand>({u"CddbQueryCommand", 106, MemberKind::kPropertyGet, kTextOut,
                                       u"The 'cddb query' command line for the disc."}),
};

}  // namespace

constinit const tlb::Type kIDiscLayout{u"IDiscLayout",
                                       IDiscLayout::kIid,
                                       tlb::TypeKind::kInterface,
                                       kDualInterfaceFlags,
                                       u"Layout of the disc in a drive of Tarnwell Control",
                                       kDiscLayoutMembers};

}  // namespace vyn::types
