#include "drive/drive_object.h"

#include <gtest/gtest.h>

#include <vector>

#include "control/class_ids.h"
#include "drive/drive_state.h"
#include "drive/track_object.h"
#include "platform/win/clock.h"
#include "tests/drive/virtual_drive_fixture.h"

namespace vyn {
namespace {

using testing::CommandCount;
using testing::FakeCddbRecord;
using testing::TakeErrorDescription;

class DriveObjectTest : public testing::VirtualDriveTest {
 protected:
  ComPtr<Drive> MakeDrive(std::size_t index = 0) {
    auto drive = Drive::Create(&owner_, &record(index));
    EXPECT_TRUE(drive.ok()) << std::hex << drive.code();
    return drive.ok() ? drive.value() : nullptr;
  }
  static LONG TrackCount(Drive& drive) {
    LONG count = -1;
    EXPECT_EQ(drive.GetTrackNumber(&count), S_OK);
    return count;
  }
  static ComPtr<ITrack> TrackAt(Drive& drive, LONG number) {
    ComPtr<ITrack> track;
    EXPECT_EQ(drive.GetTrack(number, track.Receive()), S_OK);
    return track;
  }
  // As a lookup that read `count` matches would leave them.
  static void InstallRecords(Drive& drive, int count) {
    auto lookup = drive.state().BeginCddbLookup();
    ASSERT_TRUE(lookup.ok());
    std::vector<CddbMatch> matches(static_cast<std::size_t>(count),
                                   CddbMatch{"misc", "0a000b02", "Artist / Album", u"DTITLE=A\n"});
    std::vector<ComPtr<ICDDBRecord>> records;
    for (int i = 0; i < count; ++i)
      records.push_back(FakeCddbRecord::Create());
    ASSERT_TRUE(
        drive.state().FinishCddbLookup(*lookup, std::move(matches), std::move(records), true).ok());
  }
};

struct TrackFacts {
  LONG frames;
  bool audio;
};

// Catches a wrong extent (a lost last frame, a session gap applied to
// neighbours that differ only in flags, or at the first track), a wrong
// audio flag, or a disc duration that stops short.
TEST_F(DriveObjectTest, LayoutsGiveTracksWithTheirExtentAndKind) {
  const std::string ten_audio = "a600,a600,a600,a600,a600,a600,a600,a600,a600,a600";
  const struct {
    const char* name;
    std::string image;
    std::vector<TrackFacts> tracks;
    bool has_audio;
    LONG disc_seconds;
  } kCases[] = {
      {"twelve tracks",
       "synthetic:a1000,a1100,a1200,a1300,a1400,a1500,a1600,a1700,a1800,a1900,a2000,a2150",
       {{1000, true},
        {1100, true},
        {1200, true},
        {1300, true},
        {1400, true},
        {1500, true},
        {1600, true},
        {1700, true},
        {1800, true},
        {1900, true},
        {2000, true},
        {2150, true}},
       true,
       18650 / 75},
      {"ten seconds", "synthetic:a750,a300", {{750, true}, {300, true}}, true, 1050 / 75},
      // Session one ends at 6000; the data track starts 11400 later.
      {"data track in a second session",
       "synthetic:" + ten_audio + "|d3000",
       {{600, true},
        {600, true},
        {600, true},
        {600, true},
        {600, true},
        {600, true},
        {600, true},
        {600, true},
        {600, true},
        {600, true},
        {3000, false}},
       true,
       (6000 + 11400 + 3000) / 75},
      {"data track first",
       "synthetic:d1000,a2000,a3000",
       {{1000, false}, {2000, true}, {3000, true}},
       true,
       6000 / 75},
      {"pre-emphasis neighbours",
       "synthetic:a1000,a750p,a500c",
       {{1000, true}, {750, true}, {500, true}},
       true,
       2250 / 75},
      {"data only", "synthetic:d3000", {{3000, false}}, false, 3000 / 75},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    UseDrives(c.image);
    auto drive = MakeDrive();
    ASSERT_TRUE(drive);
    ASSERT_EQ(TrackCount(*drive), static_cast<LONG>(c.tracks.size()));
    for (std::size_t i = 0; i < c.tracks.size(); ++i) {
      SCOPED_TRACE(::testing::Message() << "track " << i + 1);
      auto track = TrackAt(*drive, static_cast<LONG>(i + 1));
      ASSERT_TRUE(track);
      EXPECT_EQ(static_cast<Track*>(track.Get())->index(), static_cast<LONG>(i));
      LONG seconds = -1, bytes = -1;
      VARIANT_BOOL audio = -2;
      EXPECT_EQ(track->get_Duration(&seconds), S_OK);
      EXPECT_EQ(track->get_Size(&bytes), S_OK);
      EXPECT_EQ(track->get_IsAudio(&audio), S_OK);
      EXPECT_EQ(seconds, c.tracks[i].frames / 75);
      EXPECT_EQ(bytes, c.tracks[i].frames * 2352);
      EXPECT_EQ(audio, c.tracks[i].audio ? 1 : 0);
    }
    VARIANT_BOOL has_audio = -2;
    LONG disc_seconds = -1;
    EXPECT_EQ(drive->get_HasAudioCD(&has_audio), S_OK);
    EXPECT_EQ(has_audio, c.has_audio ? 1 : 0);
    EXPECT_EQ(drive->get_Duration(&disc_seconds), S_OK);
    EXPECT_EQ(disc_seconds, c.disc_seconds);
    drive->Shutdown();
  }
}

// Catches a Refresh that rebuilds on an unchanged disc (new Track objects,
// lost CDDB records) or sends more than one READ TOC for it.
TEST_F(DriveObjectTest, RefreshOnTheSameDiscKeepsTracksAndRecords) {
  UseDrives("synthetic:a4500,a750");
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  auto first = TrackAt(*drive, 1);
  InstallRecords(*drive, 2);
  VynVirtualResetCommandCounts(0);

  EXPECT_EQ(drive->Refresh(), S_OK);
  EXPECT_EQ(drive->Refresh(), S_OK);
  EXPECT_EQ(TrackAt(*drive, 1), first);
  EXPECT_EQ(TrackCount(*drive), 2);
  LONG records = -1;
  EXPECT_EQ(drive->GetCDDBRecordNumber(&records), S_OK);
  EXPECT_EQ(records, 2);
  EXPECT_EQ(drive->state().ActiveCddbRecord(), 0);
  EXPECT_EQ(CommandCount(mmc::kReadToc), 2u);
  EXPECT_EQ(CommandCount(mmc::kTestUnitReady), 0u);
}

// Catches tracks or CDDB records that survive a removed disc, a table that
// keeps answering for it, or a second rebuild while the tray stays empty.
TEST_F(DriveObjectTest, RemovedDiscDiscardsTracksAndRecords) {
  UseDrives("synthetic:a4500,a750");
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  auto kept = TrackAt(*drive, 2);
  InstallRecords(*drive, 1);

  ASSERT_EQ(VynVirtualRemoveDisc(0), VYN_VIRTUAL_OK);
  EXPECT_EQ(drive->Refresh(), S_OK);
  EXPECT_EQ(TrackCount(*drive), 0);
  LONG records = -1, seconds = -1;
  EXPECT_EQ(drive->GetCDDBRecordNumber(&records), S_OK);
  EXPECT_EQ(records, 0);
  EXPECT_EQ(drive->state().ActiveCddbRecord(), std::nullopt);
  EXPECT_EQ(drive->get_Duration(&seconds), S_OK);
  EXPECT_EQ(seconds, 0);
  VARIANT_BOOL has_audio = -2;
  EXPECT_EQ(drive->get_HasAudioCD(&has_audio), S_OK);
  EXPECT_EQ(has_audio, 0);
  EXPECT_EQ(kept->get_Duration(&seconds), DISP_E_EXCEPTION);
  EXPECT_EQ(TakeErrorDescription(), u"No such track on the disk");

  VynVirtualResetCommandCounts(0);
  EXPECT_EQ(drive->Refresh(), S_OK);
  EXPECT_EQ(CommandCount(mmc::kTestUnitReady), 0u) << "an empty tray rebuilt twice";
}

// Catches a kept Track that still answers for the old disc, or one that
// reads past the new table.
TEST_F(DriveObjectTest, KeptTrackDescribesItsIndexOnTheNewDisc) {
  UseDrives("synthetic:a1500,a3000,a4500");
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  auto second = TrackAt(*drive, 2);
  auto third = TrackAt(*drive, 3);

  ASSERT_EQ(VynVirtualInsertDisc(0, "synthetic:a750,d1500"), VYN_VIRTUAL_OK);
  EXPECT_EQ(drive->Refresh(), S_OK);
  LONG bytes = -1;
  VARIANT_BOOL audio = -2;
  EXPECT_EQ(second->get_Size(&bytes), S_OK);
  EXPECT_EQ(bytes, 1500 * 2352);
  EXPECT_EQ(second->get_IsAudio(&audio), S_OK);
  EXPECT_EQ(audio, 0);
  EXPECT_EQ(third->get_IsAudio(&audio), DISP_E_EXCEPTION);
  EXPECT_EQ(TakeErrorDescription(), u"No such track on the disk");
  EXPECT_NE(TrackAt(*drive, 2), second) << "a rebuild makes new Track objects";
}

// Catches Item's index rules lost in GetTrack's mapping.
TEST_F(DriveObjectTest, GetTrackFollowsTheCollectionsIndexRules) {
  UseDrives("synthetic:a1500,a3000");
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  auto first = TrackAt(*drive, 1);
  EXPECT_EQ(TrackAt(*drive, 0), first);
  ComPtr<ITrack> none;
  EXPECT_EQ(drive->GetTrack(3, none.Receive()), E_FAIL);
  EXPECT_FALSE(none);
  ComPtr<ITracksCollection> tracks;
  ASSERT_EQ(drive->get_Tracks(tracks.Receive()), S_OK);
  LONG count = -1;
  EXPECT_EQ(tracks->get_Count(&count), S_OK);
  EXPECT_EQ(count, 2);
}

// Catches a drive without a disc that reports tracks, or a failing first
// Refresh on an empty drive.
TEST_F(DriveObjectTest, EmptyDriveHasNoTracks) {
  UseDrives("empty");
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  EXPECT_EQ(TrackCount(*drive), 0);
  VARIANT_BOOL loaded = -2;
  EXPECT_EQ(drive->get_IsMediaLoaded(&loaded), S_OK);
  EXPECT_EQ(loaded, 0);
  Bstr name;
  EXPECT_EQ(drive->get_Name(name.Receive()), S_OK);
  EXPECT_EQ(name.Str(), u"VYN     Virtual CD 0    ");
}

// Catches tray commands with the wrong load/eject bits, Eject differing
// from OpenTray, or media presence read the wrong way round.
TEST_F(DriveObjectTest, TrayCommandsMoveTheTray) {
  UseDrives("synthetic:a4500");
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  VARIANT_BOOL loaded = -2;
  const struct {
    HRESULT (Drive::*member)();
    VARIANT_BOOL loaded_after;
  } kSteps[] = {
      {&Drive::OpenTray, 0}, {&Drive::CloseTray, 1}, {&Drive::Eject, 0}, {&Drive::CloseTray, 1}};
  for (const auto& step : kSteps) {
    EXPECT_EQ(((*drive).*step.member)(), S_OK);
    EXPECT_EQ(drive->get_IsMediaLoaded(&loaded), S_OK);
    EXPECT_EQ(loaded, step.loaded_after);
  }
  EXPECT_EQ(CommandCount(mmc::kStartStopUnit), 4u);
}

// Catches a wrong speed value, read and write fields that differ, or a
// command sent for speed 0.
TEST_F(DriveObjectTest, SetReadSpeedSendsTheValueInBothFields) {
  UseDrives("synthetic:a4500");
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  const struct {
    LONG speed;
    unsigned kbs;
  } kCases[] = {{4, 704}, {8, 1408}, {32, 0x1600}, {-1, 0xFFFF}, {400, 70400 & 0xFFFF}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.speed);
    EXPECT_EQ(drive->SetReadSpeed(c.speed), S_OK);
    unsigned read = 0, write = 0;
    EXPECT_EQ(VynVirtualGetLastSpeed(0, &read, &write), 1);
    EXPECT_EQ(read, c.kbs);
    EXPECT_EQ(write, c.kbs);
  }
  const unsigned sent = CommandCount(mmc::kSetCdSpeed);
  EXPECT_EQ(drive->SetReadSpeed(0), S_OK);
  EXPECT_EQ(CommandCount(mmc::kSetCdSpeed), sent);
}

// Catches a command time-out read as "no medium", or reported to the host.
TEST_F(DriveObjectTest, TimedOutCommandsStillAnswerAsLoadedAndSucceed) {
  UseDrives("empty");
  // The poll stays quiet: the lost commands are the host's alone.
  owner_.SetExtractionRunning(true);
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  VARIANT_BOOL loaded = -2;
  {
    // The ten-second command wait passes in ten milliseconds.
    ScaledClock fast(1000);
    ScopedClockOverride clock(fast);
    VynVirtualSetNeverComplete(1);
    testing::FinishWithin(std::chrono::seconds(30), [&] {
      EXPECT_EQ(drive->get_IsMediaLoaded(&loaded), S_OK);
      EXPECT_EQ(drive->OpenTray(), S_OK);
      EXPECT_EQ(drive->SetReadSpeed(4), S_OK);
      EXPECT_EQ(drive->Refresh(), S_OK);
    });
    VynVirtualSetNeverComplete(0);
  }
  EXPECT_EQ(loaded, 1);
}

// Catches an AutoRefresh that is not stored as given (sign-extended) or
// that does not start on.
TEST_F(DriveObjectTest, AutoRefreshKeepsTheValueAsGiven) {
  UseDrives("empty");
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  VARIANT_BOOL value = 0;
  EXPECT_EQ(drive->get_AutoRefresh(&value), S_OK);
  EXPECT_EQ(value, 1);
  for (VARIANT_BOOL given : {VARIANT_BOOL{-1}, VARIANT_BOOL{0}, VARIANT_BOOL{5}}) {
    EXPECT_EQ(drive->put_AutoRefresh(given), S_OK);
    EXPECT_EQ(drive->state().auto_refresh(), LONG{given});
    EXPECT_EQ(drive->get_AutoRefresh(&value), S_OK);
    EXPECT_EQ(value, given);
  }
}

// Catches a member that dereferences a null result pointer, or that
// reports "out of service" before checking it.
TEST_F(DriveObjectTest, NullResultPointersGiveEPointer) {
  UseDrives("synthetic:a4500");
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  auto track = TrackAt(*drive, 1);
  for (bool shut_down : {false, true}) {
    SCOPED_TRACE(shut_down ? "shut down" : "in service");
    if (shut_down)
      drive->Shutdown();
    EXPECT_EQ(drive->get_Name(nullptr), E_POINTER);
    EXPECT_EQ(drive->get_Tracks(nullptr), E_POINTER);
    EXPECT_EQ(drive->get_HasAudioCD(nullptr), E_POINTER);
    EXPECT_EQ(drive->GetTrackNumber(nullptr), E_POINTER);
    EXPECT_EQ(drive->GetTrack(1, nullptr), E_POINTER);
    EXPECT_EQ(drive->get_CDDBRecords(nullptr), E_POINTER);
    EXPECT_EQ(drive->get_Duration(nullptr), E_POINTER);
    EXPECT_EQ(drive->GetCDDBRecordNumber(nullptr), E_POINTER);
    EXPECT_EQ(drive->GetCDDBRecord(1, nullptr), E_POINTER);
    EXPECT_EQ(drive->get_IsMediaLoaded(nullptr), E_POINTER);
    EXPECT_EQ(drive->get_AutoRefresh(nullptr), E_POINTER);
    EXPECT_EQ(track->get_Duration(nullptr), E_POINTER);
    EXPECT_EQ(track->get_Size(nullptr), E_POINTER);
    EXPECT_EQ(track->get_IsAudio(nullptr), E_POINTER);
  }
}

// Catches a drive or a kept Track that reads its freed record after the
// control has shut the drive down, or sends a command for it.
TEST_F(DriveObjectTest, AfterShutdownEveryMemberAnswersNotConnected) {
  UseDrives("synthetic:a4500,a750");
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  auto track = TrackAt(*drive, 1);
  ComPtr<ITracksCollection> tracks;
  ASSERT_EQ(drive->get_Tracks(tracks.Receive()), S_OK);
  drive->Shutdown();
  drive->Shutdown();
  records_.clear();  // the control frees the records
  VynVirtualResetCommandCounts(0);

  LONG number = 0;
  VARIANT_BOOL flag = 0;
  Bstr name;
  ComPtr<ITracksCollection> no_tracks;
  ComPtr<ICDDBRecordsCollection> no_records;
  ComPtr<ITrack> no_track;
  ComPtr<ICDDBRecord> no_record;
  const HRESULT kResults[] = {
      drive->get_Name(name.Receive()),
      drive->get_Tracks(no_tracks.Receive()),
      drive->Refresh(),
      drive->get_HasAudioCD(&flag),
      drive->GetTrackNumber(&number),
      drive->GetTrack(1, no_track.Receive()),
      drive->get_CDDBRecords(no_records.Receive()),
      drive->get_Duration(&number),
      drive->OpenTray(),
      drive->CloseTray(),
      drive->Eject(),
      drive->SetReadSpeed(4),
      drive->GetCDDBRecordNumber(&number),
      drive->GetCDDBRecord(1, no_record.Receive()),
      drive->get_IsMediaLoaded(&flag),
      drive->get_AutoRefresh(&flag),
      drive->put_AutoRefresh(0),
      track->get_Duration(&number),
      track->get_Size(&number),
      track->get_IsAudio(&flag),
  };
  for (std::size_t i = 0; i < std::size(kResults); ++i)
    EXPECT_EQ(kResults[i], CO_E_OBJNOTCONNECTED) << "member " << i;
  EXPECT_FALSE(no_tracks);
  EXPECT_FALSE(no_track);
  EXPECT_EQ(tracks->get_Count(&number), S_OK);
  EXPECT_EQ(number, 0) << "the collection still holds the tracks";
  for (BYTE opcode : {mmc::kReadToc, mmc::kTestUnitReady, mmc::kStartStopUnit, mmc::kSetCdSpeed})
    EXPECT_EQ(CommandCount(opcode), 0u);
}

// Catches error information answered for the wrong interface.
TEST_F(DriveObjectTest, ErrorInfoIsSupportedForTheOwnInterfaceOnly) {
  UseDrives("synthetic:a4500");
  auto drive = MakeDrive();
  ASSERT_TRUE(drive);
  auto track = TrackAt(*drive, 1).As<ISupportErrorInfo>();
  ASSERT_TRUE(track);
  EXPECT_EQ(drive->InterfaceSupportsErrorInfo(IDrive::kIid), S_OK);
  EXPECT_EQ(drive->InterfaceSupportsErrorInfo(ITrack::kIid), S_FALSE);
  EXPECT_EQ(track->InterfaceSupportsErrorInfo(ITrack::kIid), S_OK);
  EXPECT_EQ(track->InterfaceSupportsErrorInfo(IDrive::kIid), S_FALSE);
}

// Catches a drive that keeps the module loaded after its release, or does
// not hold it while alive.
TEST_F(DriveObjectTest, LiveDriveHoldsAModuleLock) {
  UseDrives("empty;empty");
  auto first = MakeDrive(0);
  auto second = MakeDrive(1);
  EXPECT_EQ(ModuleLockCount(), 2);
  first = nullptr;
  EXPECT_EQ(ModuleLockCount(), 1);
}

}  // namespace
}  // namespace vyn
