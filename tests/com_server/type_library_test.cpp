// The type library as hosts read it: classes with their default and source
// interfaces, help strings, names; loading it from a module or its .tlb.
#include <gtest/gtest.h>

#include <filesystem>

#include "control/class_ids.h"
#include "control/dispatch_impl.h"
#include "control/interfaces.h"
#include "control/type_library.h"
#include "control/type_library_registration.h"
#include "platform/com/type_library_registration.h"
#include "platform/text/code_page.h"

namespace vyn::testing {
namespace {

std::u16string Doc(ITypeInfo* info, MEMBERID id) {
  Bstr name, doc;
  EXPECT_EQ(info->GetDocumentation(id, name.Receive(), doc.Receive(), nullptr, nullptr), S_OK);
  return doc.Str();
}

ComPtr<ITypeInfo> ImplementedType(ITypeInfo* info, UINT index, int* flags) {
  HREFTYPE ref = 0;
  EXPECT_EQ(info->GetRefTypeOfImplType(index, &ref), S_OK);
  EXPECT_EQ(info->GetImplTypeFlags(index, flags), S_OK);
  ComPtr<ITypeInfo> implemented;
  EXPECT_EQ(info->GetRefTypeInfo(ref, implemented.Receive()), S_OK);
  return implemented;
}

GUID GuidOf(ITypeInfo* info) {
  TYPEATTR* attributes = nullptr;
  EXPECT_EQ(info->GetTypeAttr(&attributes), S_OK);
  GUID guid = attributes->guid;
  info->ReleaseTypeAttr(attributes);
  return guid;
}

// A host finds the control's event interface through its class; a wrong
// role flag would subscribe it to the wrong interface.
TEST(TypeLibraryTest, ControlClassNamesItsDefaultInterfaceAndSource) {
  ComPtr<ITypeInfo> control;
  ASSERT_EQ(LibraryTypeInfo(CLSID_VynCDRipper, control.Receive()), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(control->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
  EXPECT_EQ(attributes->cImplTypes, 2);
  EXPECT_TRUE(attributes->wTypeFlags & tlb::kCanCreate);
  control->ReleaseTypeAttr(attributes);
  EXPECT_EQ(Doc(control.Get(), MEMBERID_NIL),
            u"This control is created to help you add audio CD ripping ability to your programs.");

  int flags = 0;
  EXPECT_EQ(GuidOf(ImplementedType(control.Get(), 0, &flags).Get()), IVynCDRipper::kIid);
  EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
  EXPECT_EQ(GuidOf(ImplementedType(control.Get(), 1, &flags).Get()), DIID__IVynCDRipperEvents);
  EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE);
}

// Object browsers show members with their parameters and help.
TEST(TypeLibraryTest, MembersCarryNamesKindsAndHelp) {
  ComPtr<ITypeInfo> track;
  ASSERT_EQ(LibraryTypeInfo(ITrack::kIid, track.Receive()), S_OK);
  EXPECT_EQ(Doc(track.Get(), 8), u"Generate filename from CDDB record according to template.");
  BSTR names[4] = {};
  UINT count = 0;
  ASSERT_EQ(track->GetNames(8, names, 4, &count), S_OK);
  ASSERT_EQ(count, 3u);
  EXPECT_EQ(std::u16string(names[0]), u"GenerateFilename");
  EXPECT_EQ(std::u16string(names[1]), u"szTemplate");
  EXPECT_EQ(std::u16string(names[2]), u"szFilename");
  for (UINT i = 0; i < count; ++i)
    SysFreeString(names[i]);

  ComPtr<ITypeInfo> tracks;
  ASSERT_EQ(LibraryTypeInfo(ITracksCollection::kIid, tracks.Receive()), S_OK);
  FUNCDESC* item = nullptr;
  ASSERT_EQ(tracks->GetFuncDesc(1, &item), S_OK);
  EXPECT_EQ(item->memid, DISPID_VALUE);
  EXPECT_EQ(item->invkind, INVOKE_PROPERTYGET);
  ASSERT_EQ(item->cParams, 2);
  EXPECT_EQ(item->lprgelemdescParam[0].vt, VT_I4);
  EXPECT_EQ(item->lprgelemdescParam[1].wParamFlags, tlb::kOutRetval);
  tracks->ReleaseFuncDesc(item);

  ComPtr<ITypeInfo> missing;
  EXPECT_EQ(LibraryTypeInfo(MakeGuid("00000000-0000-0000-0000-00000000ABCD"), missing.Receive()),
            TYPE_E_ELEMENTNOTFOUND);
}

// Every interface and class of the library is there under its GUID, and no
// two members of an interface share a dispid unless they are a get and a put.
TEST(TypeLibraryTest, EveryTypeIsReachableAndDispidsAreUnique) {
  const tlb::Library& library = VynTypeLibrary();
  EXPECT_EQ(library.name, u"VYNCTLLib");
  EXPECT_EQ(library.libid, LIBID_VYNCTLLib);
  for (const tlb::Type* type : library.types) {
    SCOPED_TRACE(std::string(WideToUtf8(type->name)));
    if (type->guid != GUID_NULL) {
      EXPECT_EQ(FindLibraryType(type->guid), type);
    }
    for (const tlb::Member& a : type->members) {
      for (const tlb::Member& b : type->members) {
        if (&a != &b && a.id == b.id) {
          EXPECT_NE(a.kind, b.kind) << WideToUtf8(a.name);
        }
      }
    }
  }
}

// The extension rule of the .tlb fallback: only the file name's extension
// is replaced; a period in a folder name must not cut the path.
TEST(TypeLibraryTest, FallbackPathReplacesOnlyTheFileExtension) {
  const struct {
    const char* module;
    const char* tlb;
    const char* directory;
  } kCases[] = {
      {"/usr/lib/libvynctl.so", "/usr/lib/libvynctl.tlb", "/usr/lib"},
      {"/opt/vyn.d/libvynctl", "/opt/vyn.d/libvynctl.tlb", "/opt/vyn.d"},
      {"libvynctl.so.1", "libvynctl.so.tlb", ""},
      {"C:\\vyn\\vynctl.dll", "C:\\vyn\\vynctl.tlb", "C:\\vyn"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(TypeLibraryFallbackPath(c.module), c.tlb);
    EXPECT_EQ(ModuleDirectory(c.module), c.directory);
  }
}

// When the module's own path holds no library, the .tlb beside it serves.
TEST(TypeLibraryTest, LoadsFromTheTlbBesideAModuleWithoutOne) {
  std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "vyn-tlb-test";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(VYN_CONTROL_MODULE, folder / "control.tlb",
                             std::filesystem::copy_options::overwrite_existing);
  ComPtr<ITypeLib> library;
  EXPECT_EQ(LoadModuleTypeLibrary((folder / "control.so").string(), library.Receive()), S_OK);
  ASSERT_TRUE(library);
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->guid, LIBID_VYNCTLLib);
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  library->ReleaseTLibAttr(attributes);
  library = nullptr;

  EXPECT_EQ(LoadModuleTypeLibrary((folder / "absent.so").string(), library.Receive()),
            TYPE_E_CANTLOADLIBRARY);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vyn::testing
