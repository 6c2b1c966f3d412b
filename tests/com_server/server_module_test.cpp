// The control as a host meets it: libvynctl.so registered into a private
// registry, created through CoCreateInstance on the virtual drives, and
// scripted by name through IDispatch.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "control/class_ids.h"
#include "control/interfaces.h"
#include "platform/com/co_create.h"
#include "platform/com/enum_variant.h"
#include "platform/com/error_info.h"
#include "platform/com/progid.h"
#include "platform/com/registry_keys.h"
#include "platform/com/type_library_registration.h"
#include "platform/text/code_page.h"
#include "platform/win/module.h"
#include "platform/win/registry.h"
#include "tests/com_server/late_binding.h"
#include "tests/platform/win/registry_test_env.h"
#include "virtual/virtual_control.h"

namespace vyn::testing {
namespace {

const std::u16string kClassKey = u"CLSID\\" + CLSID_VynCDRipper.ToWide();
const std::u16string kLibKey = u"TypeLib\\" + LIBID_VYNCTLLib.ToWide();

// Calls one of the module's exports the way vynregsvr does.
HRESULT CallModule(const char* entry) {
  HMODULE module = LoadLibraryA(VYN_CONTROL_MODULE);
  if (!module)
    return CO_E_DLLNOTFOUND;
  auto function = reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, entry));
  HRESULT hr = function ? function() : CO_E_ERRORINDLL;
  FreeLibrary(module);
  return hr;
}

class ServerModuleTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    ASSERT_EQ(VynVirtualConfigure("synthetic:a4500,a750;empty"), 0);
  }
  void TearDown() override {
    CoFreeUnusedLibraries();
    RegistryTest::TearDown();
  }

  ComPtr<IDispatch> CreateControl() {
    ComPtr<IDispatch> control;
    EXPECT_EQ(CoCreateInstance(CLSID_VynCDRipper, nullptr, CLSCTX_INPROC_SERVER, IDispatch::kIid,
                               control.ReceiveVoid()),
              S_OK);
    return control;
  }

  std::string module_path_ = std::filesystem::absolute(VYN_CONTROL_MODULE).string();
};

// Registering again must replace the class key, not pile a second
// registration or stale subkeys into it.
TEST_F(ServerModuleTest, RegisteringTwiceLeavesOneClassKeyWithExactlyTheEntries) {
  ASSERT_EQ(CallModule("DllRegisterServer"), S_OK);
  ASSERT_EQ(reg::CreateKey(kClassKey + u"\\Stale"), ERROR_SUCCESS);
  ASSERT_EQ(CallModule("DllRegisterServer"), S_OK);

  std::u16string path = Utf8ToWide(module_path_);
  const struct {
    std::u16string key, name, value;
  } kEntries[] = {
      {u"Nuvex.CDRipper.1", u"", u"CDRipper Class"},
      {u"Nuvex.CDRipper.1\\CLSID", u"", CLSID_VynCDRipper.ToWide()},
      {u"Nuvex.CDRipper", u"", u"CDRipper Class"},
      {u"Nuvex.CDRipper\\CLSID", u"", CLSID_VynCDRipper.ToWide()},
      {u"Nuvex.CDRipper\\CurVer", u"", u"Nuvex.CDRipper.1"},
      {kClassKey, u"", u"CDRipper Class"},
      {kClassKey + u"\\ProgID", u"", u"Nuvex.CDRipper.1"},
      {kClassKey + u"\\VersionIndependentProgID", u"", u"Nuvex.CDRipper"},
      {kClassKey + u"\\InprocServer32", u"", path},
      {kClassKey + u"\\InprocServer32", u"ThreadingModel", u"Apartment"},
      {kClassKey + u"\\ToolboxBitmap32", u"", path + u", 101"},
      {kClassKey + u"\\MiscStatus", u"", u"0"},
      {kClassKey + u"\\MiscStatus\\1", u"", u"132497"},
      {kClassKey + u"\\TypeLib", u"", LIBID_VYNCTLLib.ToWide()},
      {kClassKey + u"\\Version", u"", u"1.0"},
      {kLibKey + u"\\1.0", u"", u"Tarnwell Control 1.0"},
      {kLibKey + u"\\1.0\\0\\linux64", u"", path},
      {u"Interface\\" + IDrive::kIid.ToWide() + u"\\TypeLib", u"", LIBID_VYNCTLLib.ToWide()},
  };
  for (const auto& entry : kEntries) {
    SCOPED_TRACE(WideToUtf8(entry.key + u" " + entry.name));
    EXPECT_EQ(reg::ReadString(entry.key, entry.name), entry.value);
  }
  std::vector<std::u16string> subkeys = reg::SubkeyNames(kClassKey);
  std::sort(subkeys.begin(), subkeys.end());
  EXPECT_EQ(subkeys, (std::vector<std::u16string>{u"Control", u"InprocServer32", u"Insertable",
                                                  u"MiscStatus", u"ProgID", u"Programmable",
                                                  u"ToolboxBitmap32", u"TypeLib", u"Version",
                                                  u"VersionIndependentProgID"}));
  std::istringstream store(ReadStoreFile());
  int class_sections = 0;
  for (std::string line; std::getline(store, line);)
    class_sections += line == "[HKEY_CLASSES_ROOT\\CLSID\\" + CLSID_VynCDRipper.ToString() + "]";
  EXPECT_EQ(class_sections, 1);

  ComPtr<ITypeLib> library;
  EXPECT_EQ(LoadRegTypeLib(LIBID_VYNCTLLib, 1, 0, 0, library.Receive()), S_OK);
}

// Unregistering removes exactly the control's keys: other classes and the
// CLSID key above them stay.
TEST_F(ServerModuleTest, UnregisterRemovesTheControlsKeysOnly) {
  const std::u16string other = u"CLSID\\{00000000-0000-0000-0000-0000000000AB}\\InprocServer32";
  ASSERT_EQ(reg::SetString(other, u"", u"/opt/other.so"), ERROR_SUCCESS);
  ASSERT_EQ(CallModule("DllRegisterServer"), S_OK);
  ASSERT_EQ(CallModule("DllUnregisterServer"), S_OK);

  const std::u16string kGone[] = {u"Nuvex.CDRipper.1", u"Nuvex.CDRipper", kClassKey, kLibKey,
                                  u"Interface\\" + IVynCDRipper::kIid.ToWide()};
  for (const std::u16string& gone : kGone) {
    EXPECT_FALSE(reg::KeyExists(gone)) << WideToUtf8(gone);
  }
  EXPECT_EQ(reg::ReadString(other), u"/opt/other.so");
  ComPtr<IUnknown> control;
  EXPECT_EQ(CoCreateInstance(CLSID_VynCDRipper, nullptr, CLSCTX_ALL, IUnknown::kIid,
                             control.ReceiveVoid()),
            REGDB_E_CLASSNOTREG);
  // Nothing registered is no failure either.
  EXPECT_EQ(CallModule("DllUnregisterServer"), S_OK);
}

// Both ProgIDs lead to the class, and the class to a working control.
TEST_F(ServerModuleTest, CreatesTheControlByClassIdAndByProgId) {
  ASSERT_EQ(CallModule("DllRegisterServer"), S_OK);
  for (const char16_t* prog_id : {u"Nuvex.CDRipper", u"Nuvex.CDRipper.1"}) {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(prog_id, &clsid), S_OK);
    ComPtr<IVynCDRipper> control;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IVynCDRipper::kIid,
                               control.ReceiveVoid()),
              S_OK);
    LONG drives = 0;
    EXPECT_EQ(control->GetDriveNumber(&drives), S_OK);
    EXPECT_EQ(drives, 2);
  }
  EXPECT_EQ(LoadedServerCount(), 1u);
}

// A script reads and writes properties, calls methods with arguments and
// walks collections, by names alone.
TEST_F(ServerModuleTest, LateBoundHostScriptsTheObjectModel) {
  ASSERT_EQ(CallModule("DllRegisterServer"), S_OK);
  ComPtr<IDispatch> control = CreateControl();
  ASSERT_TRUE(control);

  LateCall put;
  std::vector<Variant> on;
  on.push_back(Variant::FromBool(true));
  InvokeByName(control.Get(), u"JitterCorrection", DISPATCH_PROPERTYPUT, std::move(on), &put);
  EXPECT_EQ(put.hr, S_OK);
  EXPECT_EQ(Get(control.Get(), u"jittercorrection")->boolVal, VARIANT_TRUE);

  ComPtr<IDispatch> drives = GetObject(control.Get(), u"Drives");
  ASSERT_TRUE(drives);
  EXPECT_EQ(Get(drives.Get(), u"Count")->lVal, 2);
  std::vector<Variant> first;
  first.push_back(Variant::FromLong(1));
  ComPtr<IDispatch> drive = GetObject(control.Get(), u"GetDrive", std::move(first));
  ASSERT_TRUE(drive);
  EXPECT_EQ(Get(drive.Get(), u"Name")->vt, VT_BSTR);
  EXPECT_EQ(Get(drive.Get(), u"Duration")->lVal, 70);

  // _NewEnum, as a For Each loop asks for it.
  ComPtr<IDispatch> tracks = GetObject(drive.Get(), u"Tracks");
  ASSERT_TRUE(tracks);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  Variant enumerator;
  ASSERT_EQ(tracks->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                           &none, enumerator.get(), nullptr, nullptr),
            S_OK);
  ASSERT_EQ(enumerator->vt, VT_UNKNOWN);
  ComPtr<IEnumVARIANT> walk = ComPtr<IUnknown>(enumerator->punkVal).As<IEnumVARIANT>();
  ASSERT_TRUE(walk);
  std::vector<LONG> durations;
  Variant item;
  ULONG fetched = 0;
  while (walk->Next(1, item.get(), &fetched) == S_OK && fetched == 1)
    durations.push_back(Get(item->pdispVal, u"Duration")->lVal);
  EXPECT_EQ(durations, (std::vector<LONG>{60, 10}));

  // The default member: Tracks(2).
  Variant index = Variant::FromLong(2);
  DISPPARAMS one{index.get(), nullptr, 1, 0};
  Variant second;
  ASSERT_EQ(tracks->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &one,
                           second.get(), nullptr, nullptr),
            S_OK);
  ASSERT_EQ(second->vt, VT_DISPATCH);
  EXPECT_EQ(Get(second->pdispVal, u"Size")->lVal, 750 * 2352);
}

// A failing call through IDispatch hands the host the member's error text.
TEST_F(ServerModuleTest, LateBoundErrorCarriesItsText) {
  ASSERT_EQ(CallModule("DllRegisterServer"), S_OK);
  ComPtr<IDispatch> control = CreateControl();
  ASSERT_TRUE(control);
  std::vector<Variant> first;
  first.push_back(Variant::FromLong(1));
  ComPtr<IDispatch> drive = GetObject(control.Get(), u"GetDrive", std::move(first));
  ASSERT_TRUE(drive);
  std::vector<Variant> second;
  second.push_back(Variant::FromLong(2));
  ComPtr<IDispatch> track = GetObject(drive.Get(), u"GetTrack", std::move(second));
  ASSERT_TRUE(track);

  ASSERT_EQ(VynVirtualInsertDisc(0, "synthetic:a4500"), VYN_VIRTUAL_OK);
  LateCall refresh;
  InvokeByName(drive.Get(), u"Refresh", DISPATCH_METHOD, {}, &refresh);
  ASSERT_EQ(refresh.hr, S_OK);

  LateCall duration;
  InvokeByName(track.Get(), u"Duration", DISPATCH_PROPERTYGET, {}, &duration);
  EXPECT_EQ(duration.hr, DISP_E_EXCEPTION);
  ASSERT_NE(duration.exception.bstrDescription, nullptr);
  EXPECT_EQ(std::u16string(duration.exception.bstrDescription), u"No such track on the disk");
  // Track errors name no source: only the control's class has a ProgID.
  EXPECT_EQ(duration.exception.bstrSource, nullptr);
}

// The module stays loaded while any control or drive lives, and goes once
// the last is released.
TEST_F(ServerModuleTest, ModuleUnloadsOnlyWhenNothingOfItLives) {
  ASSERT_EQ(CallModule("DllRegisterServer"), S_OK);
  auto can_unload = [] { return CallModule("DllCanUnloadNow"); };
  ComPtr<IDispatch> control = CreateControl();
  ASSERT_TRUE(control);
  EXPECT_EQ(can_unload(), S_FALSE);
  std::vector<Variant> first;
  first.push_back(Variant::FromLong(1));
  ComPtr<IDispatch> drive = GetObject(control.Get(), u"GetDrive", std::move(first));
  control = nullptr;
  EXPECT_EQ(can_unload(), S_FALSE) << "a drive outlives its control";
  CoFreeUnusedLibraries();
  EXPECT_EQ(LoadedServerCount(), 1u);
  drive = nullptr;
  EXPECT_EQ(can_unload(), S_OK);

  ComPtr<IClassFactory> factory;
  ASSERT_EQ(CoGetClassObject(CLSID_VynCDRipper, CLSCTX_INPROC_SERVER, nullptr, IClassFactory::kIid,
                             factory.ReceiveVoid()),
            S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(can_unload(), S_FALSE);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  ComPtr<IUnknown> aggregate;
  EXPECT_EQ(factory->CreateInstance(factory.Get(), IUnknown::kIid, aggregate.ReceiveVoid()),
            CLASS_E_NOAGGREGATION);
  factory = nullptr;

  CoFreeUnusedLibraries();
  EXPECT_EQ(LoadedServerCount(), 0u);
  // Loaded again on the next request.
  EXPECT_TRUE(CreateControl());
}

// Each way of not finding a server has its own result.
TEST_F(ServerModuleTest, ClassLookupFailuresAreDistinct) {
  ASSERT_EQ(CallModule("DllRegisterServer"), S_OK);
  const GUID kMissingModule = MakeGuid("00000000-0000-0000-0000-0000000000A1");
  const GUID kNoEntryPoint = MakeGuid("00000000-0000-0000-0000-0000000000A2");
  const GUID kUnregistered = MakeGuid("00000000-0000-0000-0000-0000000000A3");
  auto inproc = [](REFCLSID clsid) { return u"CLSID\\" + clsid.ToWide() + u"\\InprocServer32"; };
  ASSERT_EQ(reg::SetString(inproc(kMissingModule), u"", u"/nonexistent/libnothing.so"),
            ERROR_SUCCESS);
  ASSERT_EQ(reg::SetString(inproc(kNoEntryPoint), u"", Utf8ToWide(VYN_VIRTUAL_LIBRARY)),
            ERROR_SUCCESS);
  // The module makes only the control: the drive's class is not for hosts.
  ASSERT_EQ(reg::SetString(inproc(CLSID_Drive), u"", Utf8ToWide(module_path_)), ERROR_SUCCESS);
  const struct {
    GUID clsid;
    DWORD context;
    HRESULT expected;
  } kCases[] = {
      {kUnregistered, CLSCTX_ALL, REGDB_E_CLASSNOTREG},
      {CLSID_VynCDRipper, CLSCTX_LOCAL_SERVER, REGDB_E_CLASSNOTREG},
      {kMissingModule, CLSCTX_ALL, CO_E_DLLNOTFOUND},
      {kNoEntryPoint, CLSCTX_ALL, CO_E_ERRORINDLL},
      {CLSID_Drive, CLSCTX_ALL, CLASS_E_CLASSNOTAVAILABLE},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.clsid.ToString());
    ComPtr<IUnknown> object;
    EXPECT_EQ(CoCreateInstance(c.clsid, nullptr, c.context, IUnknown::kIid, object.ReceiveVoid()),
              c.expected);
    EXPECT_FALSE(object);
  }
}

}  // namespace
}  // namespace vyn::testing
