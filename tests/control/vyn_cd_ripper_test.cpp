#include "control/vyn_cd_ripper.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/control/control_test_support.h"
#include "tests/drive/fake_pass_through_system.h"

namespace vyn {
namespace {

using testing::ControlTest;
using testing::FakeEncoder;

std::vector<BYTE> Words(std::uint32_t version, std::uint32_t jitter, std::uint32_t prompt) {
  std::vector<BYTE> bytes;
  for (std::uint32_t word : {version, jitter, prompt})
    for (int i = 0; i < 4; ++i)
      bytes.push_back(static_cast<BYTE>(word >> (8 * i)));
  return bytes;
}

struct Flags {
  VARIANT_BOOL jitter;
  VARIANT_BOOL prompt;
  bool operator==(const Flags&) const = default;
};

Flags ReadFlags(IVynCDRipper* control) {
  Flags flags{};
  EXPECT_EQ(control->get_JitterCorrection(&flags.jitter), S_OK);
  EXPECT_EQ(control->get_OverwritePrompt(&flags.prompt), S_OK);
  return flags;
}

// Catches defaults read back as VARIANT_TRUE, or writes that are not
// sign-extended (True must read back as -1).
TEST_F(ControlTest, PropertiesKeepTheirThirtyTwoBitFields) {
  ComPtr<IVynCDRipper> control = MakeControl();
  ASSERT_TRUE(control);
  EXPECT_EQ(ReadFlags(control.Get()), (Flags{0, 1}));
  EXPECT_EQ(control->put_OverwritePrompt(VARIANT_TRUE), S_OK);
  EXPECT_EQ(control->put_JitterCorrection(VARIANT_TRUE), S_OK);
  EXPECT_EQ(ReadFlags(control.Get()), (Flags{-1, -1}));
  EXPECT_EQ(Internals(control).overwrite_prompt(), -1);
  EXPECT_EQ(control->put_JitterCorrection(VARIANT_FALSE), S_OK);
  EXPECT_EQ(ReadFlags(control.Get()), (Flags{0, -1}));

  EXPECT_EQ(control->get_JitterCorrection(nullptr), E_POINTER);
  EXPECT_EQ(control->get_OverwritePrompt(nullptr), E_POINTER);
  EXPECT_EQ(control->CancelExtraction(), S_FALSE);
}

// Catches a wrong byte layout, a load that accepts newer versions, a short
// stream loaded as garbage, and a storage that saves elsewhere than it loads.
TEST_F(ControlTest, PersistsTwelveBytesThroughStreamsAndStorages) {
  ComPtr<IVynCDRipper> control = MakeControl();
  ASSERT_TRUE(control);
  auto stream_init = control.As<IPersistStreamInit>();
  auto storage_persist = control.As<IPersistStorage>();
  ASSERT_TRUE(stream_init && storage_persist);
  EXPECT_EQ(stream_init->InitNew(), S_OK);
  EXPECT_EQ(ReadFlags(control.Get()), (Flags{0, 1}));

  control->put_JitterCorrection(VARIANT_TRUE);
  control->put_OverwritePrompt(VARIANT_FALSE);
  EXPECT_EQ(stream_init->IsDirty(), S_FALSE);  // property changes do not ask for a save
  auto saved = CreateMemoryStream();
  EXPECT_EQ(stream_init->Save(saved.Get(), TRUE), S_OK);
  EXPECT_EQ(MemoryStreamBytes(saved.Get()), Words(0x300, 0xFFFFFFFF, 0));
  ULARGE_INTEGER size{};
  EXPECT_EQ(stream_init->GetSizeMax(&size), S_OK);
  EXPECT_EQ(size.QuadPart, 12u);

  static const struct {
    const char* name;
    std::vector<BYTE> bytes;
    HRESULT result;
    Flags after;  // starting from {0, 0}
  } kCases[] = {
      {"as the demo stores it", Words(0x300, 0, 1), S_OK, {0, 1}},
      {"older version", Words(0x200, 0xFFFFFFFF, 0xFFFFFFFF), S_OK, {-1, -1}},
      {"newer version", Words(0x301, 0xFFFFFFFF, 1), E_FAIL, {0, 0}},
      {"trailing data is not read",
       [] {
         auto bytes = Words(0x300, 1, 0);
         bytes.push_back(0x55);
         return bytes;
       }(),
       S_OK,
       {1, 0}},
      {"ends early", {0x00, 0x03, 0x00, 0x00, 0xFF, 0xFF}, E_FAIL, {0, 0}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    control->put_JitterCorrection(VARIANT_FALSE);
    control->put_OverwritePrompt(VARIANT_FALSE);
    auto stream = CreateMemoryStream(c.bytes);
    EXPECT_EQ(stream_init->Load(stream.Get()), c.result);
    EXPECT_EQ(ReadFlags(control.Get()), c.after);
  }

  // Through a storage: saved into "Contents" and loaded back.
  control->put_JitterCorrection(VARIANT_TRUE);
  control->put_OverwritePrompt(VARIANT_TRUE);
  auto storage = CreateMemoryStorage();
  EXPECT_EQ(storage_persist->InitNew(storage.Get()), S_OK);
  EXPECT_EQ(storage_persist->Save(storage.Get(), TRUE), S_OK);
  ComPtr<IStream> contents;
  ASSERT_EQ(storage->OpenStream(u"Contents", nullptr, STGM_READ, 0, contents.Receive()), S_OK);
  EXPECT_EQ(MemoryStreamBytes(contents.Get()), Words(0x300, 0xFFFFFFFF, 0xFFFFFFFF));
  control->put_JitterCorrection(VARIANT_FALSE);
  control->put_OverwritePrompt(VARIANT_FALSE);
  EXPECT_EQ(storage_persist->Load(storage.Get()), S_OK);
  EXPECT_EQ(ReadFlags(control.Get()), (Flags{-1, -1}));
  EXPECT_EQ(storage_persist->Load(CreateMemoryStorage().Get()), STG_E_FILENOTFOUND);

  CLSID clsid{};
  EXPECT_EQ(storage_persist->GetClassID(&clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_VynCDRipper);
}

// Catches a file stream that loses bytes between save and load.
TEST_F(ControlTest, PersistsThroughAFileStream) {
  ComPtr<IVynCDRipper> control = MakeControl();
  ASSERT_TRUE(control);
  auto persist = control.As<IPersistStreamInit>();
  const std::string path = directory_ + "/control.bin";
  {
    auto file = OpenFileStream(path, FileStreamMode::kCreate);
    ASSERT_TRUE(file.ok());
    EXPECT_EQ(persist->Save(file->Get(), TRUE), S_OK);
  }
  EXPECT_EQ(std::filesystem::file_size(path), 12u);
  control->put_OverwritePrompt(VARIANT_FALSE);
  auto file = OpenFileStream(path, FileStreamMode::kRead);
  ASSERT_TRUE(file.ok());
  EXPECT_EQ(persist->Load(file->Get()), S_OK);
  EXPECT_EQ(ReadFlags(control.Get()), (Flags{0, 1}));
  EXPECT_EQ((*file)->Write("x", 1, nullptr), STG_E_ACCESSDENIED);
  EXPECT_FALSE(OpenFileStream(directory_ + "/missing.bin", FileStreamMode::kRead).ok());
}

// Catches an encoder reference kept after it is replaced or cleared.
TEST_F(ControlTest, EncoderIsHeldOnceAndReleasedWhenCleared) {
  ComPtr<IVynCDRipper> control = MakeControl();
  ASSERT_TRUE(control);
  const long before = LiveComObjectCount();
  {
    ComPtr<FakeEncoder> encoder = FakeEncoder::Create();
    EXPECT_EQ(control->put_Encoder(encoder.Get()), S_OK);
  }
  EXPECT_EQ(LiveComObjectCount(), before + 1);  // the control keeps it
  ComPtr<IVynAudioEncoder> read;
  EXPECT_EQ(control->get_Encoder(read.Receive()), S_OK);
  EXPECT_TRUE(read);
  read = nullptr;
  EXPECT_EQ(control->put_Encoder(nullptr), S_OK);
  EXPECT_EQ(LiveComObjectCount(), before);
  EXPECT_EQ(control->get_Encoder(read.Receive()), S_OK);
  EXPECT_FALSE(read);
  EXPECT_EQ(control->get_Encoder(nullptr), E_POINTER);

  // An encoder still set when the control goes is released with it.
  control->put_Encoder(FakeEncoder::Create().Get());
}

// Catches GetDrive/GetDriveNumber that do not forward to the collection,
// or drives out of scan order.
TEST_F(ControlTest, DrivesAreReachedThroughTheCollection) {
  ComPtr<IVynCDRipper> control = MakeControl("synthetic:a4500,a750;empty");
  ASSERT_TRUE(control);
  ComPtr<IDrivesCollection> drives;
  ASSERT_EQ(control->get_Drives(drives.Receive()), S_OK);
  LONG count = 0, number = 0;
  EXPECT_EQ(drives->get_Count(&count), S_OK);
  EXPECT_EQ(control->GetDriveNumber(&number), S_OK);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(number, count);

  ComPtr<IDrive> first, item;
  EXPECT_EQ(control->GetDrive(1, first.Receive()), S_OK);
  EXPECT_EQ(drives->get_Item(1, item.Receive()), S_OK);
  EXPECT_EQ(first, item);
  LONG tracks = 0;
  EXPECT_EQ(first->GetTrackNumber(&tracks), S_OK);
  EXPECT_EQ(tracks, 2);  // the disc of the first drive
  EXPECT_EQ(control->GetDrive(3, item.Receive()), E_FAIL);
  EXPECT_EQ(control->GetDrive(1, nullptr), E_POINTER);
  EXPECT_EQ(control->GetDriveNumber(nullptr), E_POINTER);
  EXPECT_EQ(control->get_Drives(nullptr), E_POINTER);
}

// Catches a creation without drives that succeeds, leaks, or reports the
// wrong text or source.
TEST_F(ControlTest, NoDrivesFailsWithTheCreationError) {
  ComPtr<IVynCDRipper> control;
  EXPECT_EQ(CreateControl("", &control), DISP_E_EXCEPTION);
  EXPECT_FALSE(control);
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, info.Receive()), S_OK);
  Bstr description, source;
  info->GetDescription(description.Receive());
  info->GetSource(source.Receive());
  EXPECT_EQ(description.Str(), u"Seems like you don't have any CD drives...");
  EXPECT_EQ(source.Str(), u"Nuvex.CDRipper.1");
}

// Catches a missing ASPI library with no drive letters reported as anything
// but E_FAIL, and aggregation accepted.
TEST_F(ControlTest, CreationRefusals) {
  testing::FakePassThroughSystem no_letters;
  ControlOptions options;
  options.transport = {directory_ + "/no-such-aspi.dll", &no_letters};
  ComPtr<IUnknown> control;
  EXPECT_EQ(CreateVynCDRipper(nullptr, IUnknown::kIid, control.ReceiveVoid(), options), E_FAIL);

  ComPtr<FakeEncoder> outer = FakeEncoder::Create();
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateVynCDRipper(outer->AsUnknown(), IUnknown::kIid, &out), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(CreateVynCDRipper(nullptr, IUnknown::kIid, nullptr), E_POINTER);

  // An interface the control does not answer: the new control goes again.
  EXPECT_EQ(VynVirtualConfigure("empty"), 0);
  options.transport.library_name = VYN_VIRTUAL_LIBRARY;
  EXPECT_EQ(CreateVynCDRipper(nullptr, IEnumVARIANT::kIid, control.ReceiveVoid(), options),
            E_NOINTERFACE);
}

// Catches interfaces a host relies on that QueryInterface does not answer,
// and error support claimed for the wrong interface.
TEST_F(ControlTest, AnswersTheHostingInterfaces) {
  ComPtr<IVynCDRipper> control = MakeControl("empty");
  ASSERT_TRUE(control);
  const IID kAnswered[] = {IUnknown::kIid,
                           IDispatch::kIid,
                           IVynCDRipper::kIid,
                           ISupportErrorInfo::kIid,
                           IConnectionPointContainer::kIid,
                           IPersist::kIid,
                           IPersistStreamInit::kIid,
                           IPersistStorage::kIid,
                           IOleObject::kIid,
                           IViewObject::kIid,
                           IViewObject2::kIid,
                           IViewObjectEx::kIid,
                           IOleControl::kIid,
                           IOleWindow::kIid,
                           IOleInPlaceObject::kIid,
                           IOleInPlaceObjectWindowless::kIid,
                           IOleInPlaceActiveObject::kIid,
                           IQuickActivate::kIid,
                           IDataObject::kIid,
                           ISpecifyPropertyPages::kIid,
                           IProvideClassInfo::kIid,
                           IProvideClassInfo2::kIid};
  for (const IID& iid : kAnswered) {
    SCOPED_TRACE(iid.ToString());
    ComPtr<IUnknown> answered;
    EXPECT_EQ(control->QueryInterface(iid, answered.ReceiveVoid()), S_OK);
  }
  auto errors = control.As<ISupportErrorInfo>();
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IVynCDRipper::kIid), S_OK);
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IDispatch::kIid), S_FALSE);
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IDrive::kIid), S_FALSE);

  GUID source{};
  EXPECT_EQ(control.As<IProvideClassInfo2>()->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source),
            S_OK);
  EXPECT_EQ(source, DIID__IVynCDRipperEvents);
  CAUUID pages{7, reinterpret_cast<GUID*>(1)};
  EXPECT_EQ(control.As<ISpecifyPropertyPages>()->GetPages(&pages), S_OK);
  EXPECT_EQ(pages.cElems, 0u);
  EXPECT_EQ(pages.pElems, nullptr);
}

// Catches an extent not converted at the screen's density, a resize that
// an auto-sized control accepts, or a wrong misc status.
TEST_F(ControlTest, ExtentAndMiscStatus) {
  ComPtr<IVynCDRipper> control = MakeControl("empty");
  ASSERT_TRUE(control);
  auto object = control.As<IOleObject>();
  SIZEL size{};
  EXPECT_EQ(object->GetExtent(DVASPECT_CONTENT, &size), S_OK);
  EXPECT_EQ(size.cx, 847);  // (32 × 2540 + 48) / 96
  EXPECT_EQ(size.cy, 847);
  SIZEL other{1000, 1000};
  EXPECT_EQ(object->SetExtent(DVASPECT_CONTENT, &other), E_FAIL);
  EXPECT_EQ(object->SetExtent(DVASPECT_CONTENT, &size), S_OK);
  SIZEL viewed{};
  EXPECT_EQ(control.As<IViewObject2>()->GetExtent(DVASPECT_CONTENT, -1, nullptr, &viewed), S_OK);
  EXPECT_EQ(viewed.cx, 847);
  DWORD status = 0;
  EXPECT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
  EXPECT_EQ(status, 132497u);
}

// Catches an icon drawn scaled, away from the bounds' top-left corner, or
// outside the surface.
TEST_F(ControlTest, DrawsTheIconAtTheTopLeftOfTheBounds) {
  ComPtr<IVynCDRipper> control = MakeControl("empty");
  ASSERT_TRUE(control);
  constexpr LONG kWidth = 50, kHeight = 40;
  std::vector<BYTE> pixels(kWidth * kHeight * 4, 0);
  RGBASURFACE surface{pixels.data(), kWidth, kHeight, kWidth * 4};
  RECTL bounds{30, 20, 200, 200};  // larger than the icon: no scaling
  EXPECT_EQ(control.As<IViewObject>()->Draw(DVASPECT_CONTENT, -1, nullptr, &surface, &bounds),
            S_OK);
  auto alpha = [&](LONG x, LONG y) { return pixels[(y * kWidth + x) * 4 + 3]; };
  EXPECT_EQ(alpha(30 + 16, 20 + 4), 255);  // on the disc
  EXPECT_EQ(alpha(30 + 16, 20 + 16), 0);   // the centre hole
  EXPECT_EQ(alpha(30 + 4, 20 + 16), 255);  // the disc's left side
  EXPECT_EQ(alpha(29, 20 + 16), 0);        // left of the bounds
  EXPECT_EQ(alpha(30 + 16, 19), 0);        // above the bounds
  const RgbaImage* icon = FindImageResource(kIconResource);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->width, 32);
  EXPECT_NE(FindImageResource(kToolboxBitmapResource), nullptr);
}

}  // namespace
}  // namespace vyn
