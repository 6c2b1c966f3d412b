// LoadCDDBData, the CDDBRecord objects, the active record and file names
// from templates, on a virtual drive against a CDDB server on the loopback
// address.
#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "control/messages.h"
#include "drive/cddb_record_object.h"
#include "drive/drive_object.h"
#include "drive/drive_state.h"
#include "platform/net/socket_startup.h"
#include "platform/text/code_page.h"
#include "tests/cddb/test_cddb_server.h"
#include "tests/drive/virtual_drive_fixture.h"

namespace vyn {
namespace {

using testing::FixtureResponder;
using testing::FixtureText;
using testing::ServerReply;
using testing::TestCddbServer;

constexpr char kThreeMatches[] =
    "211 Found inexact matches, list follows (until terminating `.')\n"
    "rock 7a0b4c0d Some Artist / Some Album\n"
    "jazz 7a0b4c0d Other Artist / Other Album\n"
    "misc 7a0b4c0e Caf\xe9 Trio / Live \xe0 Paris\n"
    ".\n";

constexpr char kDisc[] = "synthetic:a14850,a15000,a15000";
constexpr char kOtherDisc[] = "synthetic:a3000,a4500";

std::u16string Entry(const std::string& category, const std::string& id) {
  return AnsiToWide(FixtureText(category, id));
}

// The description and source of the calling thread's error object.
struct TakenError {
  std::u16string description;
  std::u16string source;
};
TakenError TakeError() {
  TakenError taken;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.Receive()) != S_OK || !info)
    return taken;
  Bstr description, source;
  info->GetDescription(description.Receive());
  info->GetSource(source.Receive());
  taken.description = description.Str();
  taken.source = source.Str();
  return taken;
}

struct Named {
  HRESULT result;
  std::u16string name;
};

class CddbRecordsTest : public testing::VirtualDriveTest {
 protected:
  void TearDown() override {
    EXPECT_EQ(SocketStartupCount(), 0) << "sockets not cleaned up";
    VirtualDriveTest::TearDown();
  }

  ComPtr<Drive> MakeDrive() {
    auto drive = Drive::Create(&owner_, &record());
    EXPECT_TRUE(drive.ok()) << std::hex << drive.code();
    return drive.ok() ? drive.value() : nullptr;
  }
  static LONG RecordCount(Drive& drive) {
    LONG count = -1, through_collection = -2;
    EXPECT_EQ(drive.GetCDDBRecordNumber(&count), S_OK);
    ComPtr<ICDDBRecordsCollection> records;
    EXPECT_EQ(drive.get_CDDBRecords(records.Receive()), S_OK);
    EXPECT_EQ(records->get_Count(&through_collection), S_OK);
    EXPECT_EQ(count, through_collection);
    return count;
  }
  static ComPtr<ICDDBRecord> RecordAt(Drive& drive, LONG number) {
    ComPtr<ICDDBRecord> record;
    EXPECT_EQ(drive.GetCDDBRecord(number, record.Receive()), S_OK);
    return record;
  }
  static std::u16string Description(ICDDBRecord& record) {
    Bstr text;
    EXPECT_EQ(record.get_Description(text.Receive()), S_OK);
    return text.Str();
  }
  static std::u16string RawData(ICDDBRecord& record) {
    Bstr text;
    EXPECT_EQ(record.get_RawData(text.Receive()), S_OK);
    return text.Str();
  }
  static Named FileName(Drive& drive, LONG track_number, std::u16string_view name_template) {
    ComPtr<ITrack> track;
    EXPECT_EQ(drive.GetTrack(track_number, track.Receive()), S_OK);
    Bstr given(name_template), name;
    const HRESULT result = track->GenerateFilename(given.Get(), name.Receive());
    return {result, name.Str()};
  }

  void UseServer(const TestCddbServer& server) { UseServer(server.address()); }
  void UseServer(const std::string& address) { server_.emplace("VYN_CDDB_SERVER", address); }

  testing::ScopedEnvironment direct_{"http_proxy", ""};
  std::optional<testing::ScopedEnvironment> server_;
};

// Catches a load that loses or reorders records, a record reading the
// wrong match or field, a first record that is not active, a SetActive
// that does not reach file names and tags, or a reload that keeps it.
TEST_F(CddbRecordsTest, ThreeMatchesGiveThreeRecordsAndSetActiveSwitchesTheText) {
  UseDrives(kDisc);
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  TestCddbServer server(FixtureResponder(kThreeMatches));
  UseServer(server);

  ASSERT_EQ(drive->LoadCDDBData(), S_OK);
  ASSERT_EQ(RecordCount(*drive), 3);
  const struct {
    std::u16string description;
    std::u16string entry;
  } kRecords[] = {
      {u"Some Artist / Some Album", Entry("rock", "7a0b4c0d")},
      {u"Other Artist / Other Album", Entry("jazz", "7a0b4c0d")},
      {u"Caf\u00e9 Trio / Live \u00e0 Paris", Entry("misc", "7a0b4c0e")},
  };
  for (LONG number = 1; number <= 3; ++number) {
    SCOPED_TRACE(number);
    auto record = RecordAt(*drive, number);
    ASSERT_TRUE(record);
    EXPECT_EQ(Description(*record), kRecords[number - 1].description);
    EXPECT_EQ(RawData(*record), kRecords[number - 1].entry);
    EXPECT_EQ(RawData(*record).substr(0, 7), u"# xmcd\n");
  }
  EXPECT_EQ(drive->state().ActiveCddbRecord(), 0);
  EXPECT_EQ(drive->state().ActiveRecordText(), kRecords[0].entry);
  EXPECT_EQ(FileName(*drive, 3, u"(%6) %1 -- %2").name, u"(03) Some Artist -- Third Song");
  EXPECT_EQ(FileName(*drive, 2, u"%2").name, u"Second_ Song_");

  auto second = RecordAt(*drive, 2);
  EXPECT_EQ(second->SetActive(), S_OK);
  EXPECT_EQ(drive->state().ActiveRecordText(), kRecords[1].entry);
  EXPECT_EQ(FileName(*drive, 3, u"(%6) %1 -- %2").name, u"(03) Other Artist -- Red");

  ASSERT_EQ(drive->LoadCDDBData(), S_OK);
  EXPECT_EQ(drive->state().ActiveCddbRecord(), 0);
  EXPECT_EQ(FileName(*drive, 1, u"%1 - %2").name, u"Some Artist - First Song");
  EXPECT_NE(RecordAt(*drive, 2), second) << "a load makes new records";
}

// Catches records or tags that survive a disc change, file names that stop
// working after one (the old matches stay for them), or a record kept by
// the host that reads another lookup's match or outside the list.
TEST_F(CddbRecordsTest, DiscChangeKeepsMatchesForFileNamesButNotForTags) {
  UseDrives(kDisc);
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  TestCddbServer server(FixtureResponder(kThreeMatches));
  UseServer(server);
  ASSERT_EQ(drive->LoadCDDBData(), S_OK);
  auto kept = RecordAt(*drive, 2);
  ASSERT_EQ(kept->SetActive(), S_OK);

  ASSERT_EQ(VynVirtualInsertDisc(0, kOtherDisc), VYN_VIRTUAL_OK);
  ASSERT_EQ(drive->Refresh(), S_OK);
  EXPECT_EQ(RecordCount(*drive), 0);
  EXPECT_EQ(drive->state().ActiveCddbRecord(), std::nullopt);
  EXPECT_EQ(drive->state().ActiveRecordText(), std::nullopt);
  // The disc change made the first match the one at the active index.
  EXPECT_EQ(FileName(*drive, 1, u"%1 - %2").name, u"Some Artist - First Song");
  EXPECT_EQ(Description(*kept), u"Other Artist / Other Album");
  EXPECT_EQ(kept->SetActive(), S_OK);
  EXPECT_EQ(FileName(*drive, 2, u"%1 - %2").name, u"Other Artist - Green");
  EXPECT_EQ(drive->state().ActiveRecordText(), std::nullopt) << "tags after a disc change";

  ASSERT_EQ(drive->LoadCDDBData(), S_OK);
  EXPECT_EQ(RecordCount(*drive), 3);
  EXPECT_EQ(drive->state().ActiveRecordText(), Entry("rock", "7a0b4c0d"));
  Bstr text;
  EXPECT_EQ(kept->get_Description(text.Receive()), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(kept->get_RawData(text.Receive()), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(kept->SetActive(), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(drive->state().ActiveCddbRecord(), 0) << "a stale record moved the selection";
}

// Catches a failing load that reports success or no text, names a source
// for the Drive class, keeps the previous load's records, or drops the
// records read before a failing read.
TEST_F(CddbRecordsTest, FailingLoadsReportTheirTextAndKeepWhatWasRead) {
  UseDrives(kDisc);
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  TestCddbServer good(FixtureResponder(kThreeMatches));
  TestCddbServer no_match(FixtureResponder("202 No match for disc ID 03000d02.\n"));
  // The second match has no entry: its read gets 401.
  TestCddbServer second_unreadable(
      FixtureResponder("211 Found inexact matches, list follows (until terminating `.')\n"
                       "rock 7a0b4c0d Some Artist / Some Album\n"
                       "blues 0000ffff Nobody / Nothing\n"
                       "misc 7a0b4c0e Caf\xe9 Trio / Live \xe0 Paris\n"
                       ".\n"));
  std::string closed_address;
  {
    TestCddbServer closed(FixtureResponder(kThreeMatches));
    closed_address = closed.address();
  }
  const struct {
    const char* name;
    std::string address;
    Message text;
    LONG records;
    bool active;  // for tags and for file names alike
  } kCases[] = {
      {"no match", no_match.address(), Message::kCddbNoRecords, 0, false},
      {"no server", closed_address, Message::kCddbServerNotFound, 0, false},
      {"second read fails", second_unreadable.address(), Message::kCddbUnknownFailure, 1, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    UseServer(good);
    ASSERT_EQ(drive->LoadCDDBData(), S_OK);
    UseServer(c.address);
    EXPECT_EQ(drive->LoadCDDBData(), DISP_E_EXCEPTION);
    const TakenError error = TakeError();
    EXPECT_EQ(error.description, AnsiToWide(MessageText(c.text)));
    EXPECT_EQ(error.source, u"");
    EXPECT_EQ(RecordCount(*drive), c.records);
    const Named named = FileName(*drive, 1, u"%1 - %2");
    if (c.active) {
      EXPECT_EQ(drive->state().ActiveRecordText(), Entry("rock", "7a0b4c0d"));
      EXPECT_EQ(named.name, u"Some Artist - First Song");
    } else {
      EXPECT_EQ(drive->state().ActiveRecordText(), std::nullopt);
      EXPECT_EQ(named.result, DISP_E_EXCEPTION);
      const TakenError no_record = TakeError();
      EXPECT_EQ(no_record.description, u"No active CDDB record.");
      EXPECT_EQ(no_record.source, u"");
    }
  }
}

// Catches a lookup that installs the previous disc's records and tags on
// the new disc when the disc changes while the lookup is on the network.
TEST_F(CddbRecordsTest, LoadThatRacesADiscChangeInstallsNoRecords) {
  UseDrives(kDisc);
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  std::atomic<bool> changed{false};
  Drive* raw_drive = drive.Get();
  auto fixtures = FixtureResponder(kThreeMatches);
  // The first read changes the disc as the polling thread would: a Refresh
  // on a thread other than the host's.
  TestCddbServer server([&](const std::string& request) {
    if (testing::CommandOf(request).starts_with("cddb read") && !changed.exchange(true)) {
      EXPECT_EQ(VynVirtualInsertDisc(0, kOtherDisc), VYN_VIRTUAL_OK);
      EXPECT_TRUE(raw_drive->state().Refresh().ok());
    }
    return fixtures(request);
  });
  UseServer(server);

  EXPECT_EQ(drive->LoadCDDBData(), S_OK);
  EXPECT_TRUE(changed.load());
  EXPECT_EQ(RecordCount(*drive), 0);
  EXPECT_EQ(drive->state().ActiveRecordText(), std::nullopt);
  EXPECT_EQ(FileName(*drive, 1, u"%1").name, u"Some Artist");

  ASSERT_EQ(drive->LoadCDDBData(), S_OK);
  EXPECT_EQ(RecordCount(*drive), 3);
  EXPECT_EQ(drive->state().ActiveRecordText(), Entry("rock", "7a0b4c0d"));
}

// Catches a data race between a disc change on another thread and the
// host's loads and reads of records, selection and file names (shown
// under ThreadSanitizer), or a mixed state seen by the host.
TEST_F(CddbRecordsTest, DiscChangesOnAnotherThreadDuringLoads) {
  UseDrives(kDisc);
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  TestCddbServer server(FixtureResponder(kThreeMatches));
  UseServer(server);
  const std::u16string first_entry = Entry("rock", "7a0b4c0d");

  std::atomic<bool> stop{false};
  std::thread changer([&] {
    for (int i = 0; i < 40 && !stop.load(); ++i) {
      VynVirtualInsertDisc(0, i % 2 ? kDisc : kOtherDisc);
      (void)drive->state().Refresh();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  testing::FinishWithin(std::chrono::seconds(60), [&] {
    for (int load = 0; load < 10; ++load) {
      EXPECT_EQ(drive->LoadCDDBData(), S_OK);
      const LONG count = RecordCount(*drive);
      EXPECT_TRUE(count == 0 || count == 3) << count;
      if (auto text = drive->state().ActiveRecordText()) {
        EXPECT_EQ(*text, first_entry);
      }
      if (ComPtr<ICDDBRecord> record; drive->GetCDDBRecord(3, record.Receive()) == S_OK)
        (void)record->SetActive();
      EXPECT_EQ(FileName(*drive, 1, u"%7").result, S_OK);
    }
  });
  stop = true;
  changer.join();
}

// Catches a member that dereferences a null result pointer, error
// information answered for the wrong interface, or a kept record or track
// that reads the drive's state after it has left service.
TEST_F(CddbRecordsTest, NullPointersErrorInfoAndShutdown) {
  UseDrives(kDisc);
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  TestCddbServer server(FixtureResponder(kThreeMatches));
  UseServer(server);
  ASSERT_EQ(drive->LoadCDDBData(), S_OK);
  auto record = RecordAt(*drive, 1);
  ComPtr<ITrack> track;
  ASSERT_EQ(drive->GetTrack(1, track.Receive()), S_OK);

  EXPECT_EQ(record.As<ISupportErrorInfo>()->InterfaceSupportsErrorInfo(ICDDBRecord::kIid), S_OK);
  EXPECT_EQ(record.As<ISupportErrorInfo>()->InterfaceSupportsErrorInfo(IDrive::kIid), S_FALSE);
  Bstr name;
  EXPECT_EQ(track->GenerateFilename(nullptr, name.Receive()), S_OK) << "a null template";
  EXPECT_EQ(name.Str(), u"");

  Bstr text;
  for (bool shut_down : {false, true}) {
    SCOPED_TRACE(shut_down ? "shut down" : "in service");
    if (shut_down)
      drive->Shutdown();
    EXPECT_EQ(record->get_Description(nullptr), E_POINTER);
    EXPECT_EQ(record->get_RawData(nullptr), E_POINTER);
    EXPECT_EQ(track->GenerateFilename(nullptr, nullptr), E_POINTER);
  }
  EXPECT_EQ(record->get_Description(text.Receive()), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(record->get_RawData(text.Receive()), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(record->SetActive(), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(track->GenerateFilename(nullptr, name.Receive()), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(drive->LoadCDDBData(), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(server.requests().size(), 4u) << "a load after shutdown went to the network";
}

}  // namespace
}  // namespace vyn
