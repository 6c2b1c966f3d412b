// The three collection interfaces: _NewEnum, the default member Item, and
// Count, differing only in their element interface.
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

constexpr Param kEnumOut[] = {{u"pVal", VT_UNKNOWN, kOutRetval, u"IUnknown", IUnknown::kIid}};
constexpr Param kCountOut[] = {{u"pVal", VT_I4, kOutRetval}};

template <class Collection>
struct CollectionTable {
  using Element = typename Collection::ElementInterface;
  static constexpr Param kItem[] = {{u"Index", VT_I4, kIn},
                                    {u"pVal", VT_DISPATCH, kOutRetval, u"", Element::kIid}};
  static constexpr Member kMembers[] = {
      Bind<Collection, &Collection::get__NewEnum>(
          {u"_NewEnum", DISPID_NEWENUM, MemberKind::kPropertyGet, kEnumOut,
           u"Enumerator over the collection's elements.", nullptr,
           tlb::kMemberRestricted | tlb::kMemberHidden}),
      Bind<Collection, &Collection::get_Item>({u"Item", DISPID_VALUE, MemberKind::kPropertyGet,
                                               kItem, u"Element by its number, starting at 1."}),
      Bind<Collection, &Collection::get_Count>({u"Count", 1, MemberKind::kPropertyGet, kCountOut,
                                                u"Number of elements in the collection."}),
  };
};

}  // namespace

constinit const tlb::Type kIDrivesCollection{u"IDrivesCollection",
                                             IDrivesCollection::kIid,
                                             tlb::TypeKind::kInterface,
                                             kDualInterfaceFlags,
                                             u"Drives collection of the Tarnwell Control",
                                             CollectionTable<IDrivesCollection>::kMembers};

constinit const tlb::Type kITracksCollection{u"ITracksCollection",
                                             ITracksCollection::kIid,
                                             tlb::TypeKind::kInterface,
                                             kDualInterfaceFlags,
                                             u"Collection of 'Track' objects.",
                                             CollectionTable<ITracksCollection>::kMembers};

constinit const tlb::Type kICDDBRecordsCollection{
    u"ICDDBRecordsCollection",      ICDDBRecordsCollection::kIid,
    tlb::TypeKind::kInterface,      kDualInterfaceFlags,
    u"Collection of CDDB records.", CollectionTable<ICDDBRecordsCollection>::kMembers};

}  // namespace vyn::types
