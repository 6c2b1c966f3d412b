#include "extract/output_file_policy.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/virtual/temp_folder.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using virtual_drive::TempFolder;

std::u16string Wide(const fs::path& path) {
  return path.u16string();
}

// Every test starts and ends in the same current directory, which the
// directory step changes for the whole process.
class OutputFilePolicyTest : public ::testing::Test {
 protected:
  void SetUp() override { start_ = fs::current_path(); }
  void TearDown() override { fs::current_path(start_); }

  fs::path start_;
  TempFolder folder_;
};

// The system's file system, but deleting fails: a file held open
// elsewhere or on a read-only medium.
class UndeletableFiles final : public FileSystem {
 public:
  EntryKind KindOf(std::u16string_view path) override { return SystemFileSystem().KindOf(path); }
  Result<void> ClearReadOnly(std::u16string_view path) override {
    return SystemFileSystem().ClearReadOnly(path);
  }
  Result<void> DeleteFile(std::u16string_view) override { return Error{E_ACCESSDENIED, "in use"}; }
  Result<void> CreateDirectory(std::u16string_view path) override {
    return SystemFileSystem().CreateDirectory(path);
  }
  Result<void> SetCurrentDirectory(std::u16string_view path) override {
    return SystemFileSystem().SetCurrentDirectory(path);
  }
  Result<std::u16string> CurrentDirectory() override {
    return SystemFileSystem().CurrentDirectory();
  }
};

// Catches a lost or doubled extension, a case-sensitive test, and a name
// that overruns the 260-character buffer instead of being refused.
TEST_F(OutputFilePolicyTest, WavNamesGetTheExtensionOnceAndMustFit) {
  static const struct {
    std::u16string name;
    std::u16string expected;  // empty: refused
  } kCases[] = {
      {u"track", u"track.wav"},
      {u"track.wav", u"track.wav"},
      {u"Track.WaV", u"Track.WaV"},
      {u"track.mp3", u"track.mp3.wav"},
      {u"wav", u"wav.wav"},
      {u"", u".wav"},
      {u"/music/a.wav.bak", u"/music/a.wav.bak.wav"},
      {std::u16string(255, u'x'), std::u16string(255, u'x') + u".wav"},  // 259 + terminator
      {std::u16string(256, u'x'), u""},
      {std::u16string(255, u'x') + u".WAV", std::u16string(255, u'x') + u".WAV"},
      {std::u16string(300, u'x') + u".wav", u""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(fs::path(c.name).string());
    auto name = WavOutputName(c.name);
    if (c.expected.empty()) {
      ASSERT_FALSE(name);
      EXPECT_EQ(name.error().message, "Output file name is too long.");
    } else {
      ASSERT_TRUE(name);
      EXPECT_EQ(name.value(), c.expected);
    }
  }
}

// Catches a directory part that drops or keeps the wrong separator.
TEST_F(OutputFilePolicyTest, DirectoryPartEndsAtTheLastSeparator) {
  EXPECT_EQ(DirectoryPart(u"/a/b/c.wav"), u"/a/b/");
  EXPECT_EQ(DirectoryPart(u"/c.wav"), u"/");
  EXPECT_EQ(DirectoryPart(u"c.wav"), u"");
  EXPECT_EQ(DirectoryPart(u"a/"), u"a/");
}

// Catches missing levels left uncreated, creation in the wrong parent,
// blanks kept in a created name, and the current directory not following.
TEST_F(OutputFilePolicyTest, MissingLevelsAreCreatedTopDownAndEntered) {
  const fs::path base = fs::canonical(folder_.path());
  EnsureOutputDirectory(SystemFileSystem(), Wide(base / "one" / " two /"));
  EXPECT_TRUE(fs::is_directory(base / "one" / "two"));
  EXPECT_EQ(fs::current_path(), base / "one" / "two");

  // An existing directory is only entered.
  EnsureOutputDirectory(SystemFileSystem(), Wide(base / "one/"));
  EXPECT_EQ(fs::current_path(), base / "one");

  // The root is a directory like any other.
  EnsureOutputDirectory(SystemFileSystem(), u"/");
  EXPECT_EQ(fs::current_path(), fs::path("/"));
}

// Catches relative names that create directories against the rule (a
// first level that is missing creates nothing), and a name without a
// separator that creates anything at all.
TEST_F(OutputFilePolicyTest, RelativeNamesCreateOnlyBelowAnExistingLevel) {
  const fs::path base = fs::canonical(folder_.path());
  fs::current_path(base);
  EnsureOutputDirectory(SystemFileSystem(), u"");
  EnsureOutputDirectory(SystemFileSystem(), u"missing/deeper/");
  EXPECT_FALSE(fs::exists(base / "missing"));
  EXPECT_EQ(fs::current_path(), base);

  fs::create_directory(base / "here");
  EnsureOutputDirectory(SystemFileSystem(), u"here/new/");
  EXPECT_TRUE(fs::is_directory(base / "here" / "new"));
  EXPECT_EQ(fs::current_path(), base / "here" / "new");
}

// Catches a file that blocks a directory being replaced or reported.
TEST_F(OutputFilePolicyTest, AFileInTheWayIsLeftAlone) {
  const fs::path base = fs::canonical(folder_.path());
  folder_.Write("taken", "data");
  EnsureOutputDirectory(SystemFileSystem(), Wide(base / "taken" / "below/"));
  EXPECT_TRUE(fs::is_regular_file(base / "taken"));
}

// Catches a question not asked (or asked for a directory), a "No" that
// still deletes, a read-only file that is not replaced, and an undeletable
// file reported as replaced.
TEST_F(OutputFilePolicyTest, ExistingFilesAreReplacedOnlyWhenTheAnswerSaysSo) {
  const fs::path base = fs::canonical(folder_.path());
  const std::u16string name = Wide(base / "t.wav");
  int asked = 0;
  auto answer = [&](OverwriteAnswer a) {
    return [&asked, a] {
      ++asked;
      return a;
    };
  };

  ASSERT_TRUE(ClearWayForFile(SystemFileSystem(), name, answer(OverwriteAnswer::kKeep)));
  EXPECT_EQ(asked, 0) << "nothing there, nothing to ask";

  folder_.Write("t.wav", "old");
  ::chmod((base / "t.wav").c_str(), 0444);
  auto kept = ClearWayForFile(SystemFileSystem(), name, answer(OverwriteAnswer::kKeep));
  ASSERT_FALSE(kept);
  EXPECT_EQ(kept.error().message, "Cancelled by user.");
  EXPECT_EQ(fs::file_size(base / "t.wav"), 3u);
  EXPECT_EQ(fs::status(base / "t.wav").permissions() & fs::perms::all, fs::perms(0444));

  UndeletableFiles undeletable;
  auto stuck = ClearWayForFile(undeletable, name, answer(OverwriteAnswer::kReplace));
  ASSERT_FALSE(stuck);
  EXPECT_EQ(stuck.error().message, "Unable to overwrite.");

  ASSERT_TRUE(ClearWayForFile(SystemFileSystem(), name, answer(OverwriteAnswer::kReplace)));
  EXPECT_FALSE(fs::exists(base / "t.wav"));
  EXPECT_EQ(asked, 3);

  fs::create_directory(base / "d.wav");
  EXPECT_TRUE(
      ClearWayForFile(SystemFileSystem(), Wide(base / "d.wav"), answer(OverwriteAnswer::kKeep)));
  EXPECT_EQ(asked, 3) << "a directory is not an existing file";
}

}  // namespace
}  // namespace vyn
