// vynrip as a user runs it: a process, with the control registered into a
// private registry and the virtual drive serving a disc image, judged by
// its output, the files it leaves and its exit status.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>

#include "tests/cddb/test_cddb_server.h"
#include "tests/platform/win/registry_test_env.h"
#include "tests/tools/child_process.h"
#include "tests/tools/wav_reader.h"
#include "virtual/synthetic_image_writer.h"

namespace vyn::testing {
namespace {

using std::chrono::seconds;
constexpr std::size_t kSectorBytes = 2352;

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class VynRipTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    // vynrip prints normalised absolute paths.
    directory_ = std::filesystem::path(directory_).lexically_normal().string();
    output_ = directory_ + "/ripped";
    // Two short audio tracks of the synthetic pattern: 2 s and 1 s.
    auto cue = virtual_drive::WriteSyntheticImage("synthetic:a150,a75", directory_, "disc");
    ASSERT_TRUE(cue.ok()) << cue.error().message;
    cue_ = *cue;
    bin_ = ReadWholeFile(directory_ + "/disc.bin");
    ASSERT_EQ(bin_.size(), 225 * kSectorBytes);
    ToolRun registered = Tool({VYN_REGSVR, VYN_CONTROL_MODULE});
    ASSERT_EQ(registered.status, 0) << registered.err;
  }

  std::map<std::string, std::string> Environment() const {
    std::map<std::string, std::string> environment = {
        {"VYN_REGISTRY", store_path_},
        {"LD_LIBRARY_PATH", VYN_VIRTUAL_DIR},
        {"VYN_VIRTUAL_DRIVES", drives_.empty() ? cue_ : drives_},
    };
    for (const auto& [name, value] : extra_environment_)
      environment[name] = value;
    return environment;
  }

  ToolRun Tool(const std::vector<std::string>& argv) const {
    ChildProcess child(argv, Environment());
    ToolRun run;
    run.status = child.Wait(seconds(60));
    run.out = child.out();
    run.err = child.err();
    return run;
  }

  ToolRun Rip(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), VYN_RIP);
    return Tool(arguments);
  }

  std::vector<std::uint8_t> TrackBytes(std::size_t first_sector, std::size_t sectors) const {
    auto begin = bin_.begin() + static_cast<std::ptrdiff_t>(first_sector * kSectorBytes);
    return {begin, begin + static_cast<std::ptrdiff_t>(sectors * kSectorBytes)};
  }

  std::string cue_;
  std::string drives_;
  std::map<std::string, std::string> extra_environment_;
  std::string output_;
  std::vector<std::uint8_t> bin_;
};

// A rip that loses or shifts a sample, misnames a file or reports success
// wrongly: every track's WAV data equals the disc image's bytes.
TEST_F(VynRipTest, RipsEveryTrackByteExactWithPlainProgress) {
  ToolRun run = Rip({"rip", "-o", output_, "--overwrite"});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  const std::string first = output_ + "/Track 01.wav";
  const std::string second = output_ + "/Track 02.wav";
  for (const std::string& line :
       {"track 1 (1 of 2): ripping to " + first, std::string("track 1: 0%"),
        std::string("track 1: done"), std::string("batch: 1 of 2 done"),
        "track 2 (2 of 2): ripping to " + second, std::string("batch: 2 of 2 done"),
        "Ripped 2 of 2 tracks into " + output_}) {
    EXPECT_TRUE(Contains(run.out, line + "\n")) << line << "\n" << run.out;
  }
  EXPECT_FALSE(Contains(run.out, "\033[")) << "no terminal codes into a pipe";
  std::string why;
  auto one = ReadCdWav(first, &why);
  ASSERT_TRUE(one) << why;
  EXPECT_TRUE(*one == TrackBytes(0, 150));
  auto two = ReadCdWav(second, &why);
  ASSERT_TRUE(two) << why;
  EXPECT_TRUE(*two == TrackBytes(150, 75));
}

// A track list that is ignored, or a relative folder that drifts as the
// control changes the current directory, puts files in the wrong place.
TEST_F(VynRipTest, RipsOnlyTheSelectedTracksIntoARelativeFolder) {
  std::filesystem::path old = std::filesystem::current_path();
  std::filesystem::current_path(directory_);
  ToolRun run = Rip({"rip", "-t", "2", "-o", "nested/out", "--overwrite"});
  std::filesystem::current_path(old);
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_FALSE(std::filesystem::exists(directory_ + "/nested/out/Track 01.wav"));
  std::string why;
  auto two = ReadCdWav(directory_ + "/nested/out/Track 02.wav", &why);
  ASSERT_TRUE(two) << why;
  EXPECT_TRUE(*two == TrackBytes(150, 75));
  EXPECT_TRUE(Contains(run.out, "Ripped 1 of 1 tracks")) << run.out;
}

// The listing commands show what the control reports, and a drive without
// a disc is an error, not an empty success.
TEST_F(VynRipTest, DrivesAndTocShowTheDisc) {
  drives_ = cue_ + ";empty";
  ToolRun drives = Rip({"drives"});
  EXPECT_EQ(drives.status, 0) << drives.err;
  EXPECT_TRUE(Contains(drives.out, "1: ")) << drives.out;
  EXPECT_TRUE(Contains(drives.out, "(2 tracks, 0:03)")) << drives.out;
  EXPECT_TRUE(Contains(drives.out, "2: ")) << drives.out;
  EXPECT_TRUE(Contains(drives.out, "(no disc)")) << drives.out;

  ToolRun toc = Rip({"toc"});
  EXPECT_EQ(toc.status, 0) << toc.err;
  EXPECT_TRUE(Contains(toc.out, "Tracks: 2, 0:03")) << toc.out;
  // Starts 0 and 150; sizes 150 and 75 sectors in MiB.
  EXPECT_TRUE(Contains(toc.out, "00:00.00 0")) << toc.out;
  EXPECT_TRUE(Contains(toc.out, "00:02.00 150")) << toc.out;
  EXPECT_TRUE(Contains(toc.out, "0.34  yes")) << toc.out;
  EXPECT_TRUE(Contains(toc.out, "0.17  yes")) << toc.out;
  // Starts at 2 and 4 s with the lead-in, 3 s long, 2 tracks.
  EXPECT_TRUE(Contains(toc.out, "CDDB disc id: 06000302\n")) << toc.out;

  ToolRun empty = Rip({"toc", "-d", "2"});
  EXPECT_EQ(empty.status, 1);
  EXPECT_TRUE(Contains(empty.err, "vynrip: drive 2 has no disc")) << empty.err;
}

// Help, wrong command lines and the control's errors each give their own
// status and a text that says what is wrong.
TEST_F(VynRipTest, HelpAndErrorsGiveTheirStatusAndText) {
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string says;
  } kCases[] = {
      {{"--help"}, 0, "usage: vynrip COMMAND"},
      {{"rip", "--help"}, 0, "usage: vynrip rip [-d N]"},
      {{"toc", "--help"}, 0, "usage: vynrip toc [-d N]"},
      {{"cddb", "--help"}, 0, "usage: vynrip cddb [-d N]"},
      {{"drives", "--help"}, 0, "usage: vynrip drives"},
      {{}, 2, "vynrip: no command given"},
      {{"frobnicate"}, 2, "vynrip: unknown command 'frobnicate'"},
      {{"drives", "-t", "1"}, 2, "'drives' has no option '-t'"},
      {{"rip", "-t", "3-1"}, 2, "runs backwards"},
      {{"rip", "--speed", "fast"}, 2, "--speed needs"},
      {{"rip", "-t", "5", "-o", "x"}, 1, "vynrip: there is no track 5 (the disc has 2)"},
      {{"toc", "-d", "3"}, 1, "vynrip: there is no drive 3 (1 drive found)"},
  };
  for (const auto& c : kCases) {
    std::string joined;
    for (const std::string& argument : c.arguments)
      joined += argument + " ";
    SCOPED_TRACE(joined);
    ToolRun run = Rip(c.arguments);
    EXPECT_EQ(run.status, c.status) << run.out << run.err;
    EXPECT_TRUE(Contains(run.out + run.err, c.says)) << run.out << run.err;
  }
}

// Without registration a host cannot create the control; vynrip must say
// so and fail rather than report an empty machine.
TEST_F(VynRipTest, UnregisteredControlIsReported) {
  ToolRun unregistered = Tool({VYN_REGSVR, "-u", VYN_CONTROL_MODULE});
  ASSERT_EQ(unregistered.status, 0);
  ToolRun run = Rip({"drives"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "not registered")) << run.err;
}

// The CDDB paths as a user meets them: the lookup lists every record with
// the first active, a template names the files from that record (with the
// characters a file name cannot hold replaced) while the audio stays
// exact, and a server that refuses is an error that names the lookup,
// with no file made.
TEST_F(VynRipTest, CddbLookupAndTemplateNamesComeFromTheServer) {
  TestCddbServer server(
      FixtureResponder("211 Found inexact matches, list follows (until terminating `.')\n"
                       "rock 7a0b4c0d Some Artist / Some Album\n"
                       "jazz 7a0b4c0d Other Artist / Other Album\n"
                       ".\n"));
  extra_environment_ = {{"VYN_CDDB_SERVER", server.address()}, {"http_proxy", ""}};

  ToolRun lookup = Rip({"cddb"});
  ASSERT_EQ(lookup.status, 0) << lookup.out << lookup.err;
  EXPECT_TRUE(Contains(lookup.out, "Records: 2\n")) << lookup.out;
  EXPECT_TRUE(Contains(lookup.out, "1: Some Artist / Some Album  (active)\n")) << lookup.out;
  EXPECT_TRUE(Contains(lookup.out, "2: Other Artist / Other Album\n")) << lookup.out;
  EXPECT_TRUE(Contains(lookup.out, "TTITLE1=Second: Song?\n")) << lookup.out;

  ToolRun named = Rip({"rip", "-o", output_, "--overwrite", "--template", "%1 - %6 %2"});
  ASSERT_EQ(named.status, 0) << named.out << named.err;
  std::string why;
  auto one = ReadCdWav(output_ + "/Some Artist - 01 First Song.wav", &why);
  ASSERT_TRUE(one) << why << "\n" << named.out;
  EXPECT_TRUE(*one == TrackBytes(0, 150));
  auto two = ReadCdWav(output_ + "/Some Artist - 02 Second_ Song_.wav", &why);
  ASSERT_TRUE(two) << why << "\n" << named.out;
  EXPECT_TRUE(*two == TrackBytes(150, 75));

  TestCddbServer refusing(
      [](const std::string&) { return ServerReply{"HTTP/1.0 404 Not Found\r\n\r\n"}; });
  extra_environment_["VYN_CDDB_SERVER"] = refusing.address();
  const std::string elsewhere = directory_ + "/unnamed";
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"cddb"},
        std::vector<std::string>{"rip", "-o", elsewhere, "--template", "%2"}}) {
    ToolRun failed = Rip(arguments);
    EXPECT_EQ(failed.status, 1) << failed.out << failed.err;
    EXPECT_TRUE(Contains(failed.err, "vynrip: CDDB lookup failed: ")) << failed.err;
  }
  EXPECT_FALSE(std::filesystem::exists(elsewhere));
}

// An existing file must never be replaced without consent: with no
// terminal to ask on it is kept and the batch fails; --no-overwrite skips
// it; --overwrite replaces it.
TEST_F(VynRipTest, ExistingFilesFollowTheOverwritePolicy) {
  std::filesystem::create_directories(output_);
  const std::string first = output_ + "/Track 01.wav";
  auto plant = [&] { std::ofstream(first, std::ios::binary) << "keep me"; };
  auto kept = [&] {
    return ReadWholeFile(first) == std::vector<std::uint8_t>{'k', 'e', 'e', 'p', ' ', 'm', 'e'};
  };

  plant();
  ToolRun asked = Rip({"rip", "-o", output_});
  EXPECT_EQ(asked.status, 1) << asked.out << asked.err;
  EXPECT_TRUE(kept());
  EXPECT_TRUE(Contains(asked.err, "exists; kept (no terminal to ask")) << asked.err;
  EXPECT_TRUE(Contains(asked.out, "error: track 1: Cancelled by user.")) << asked.out;
  EXPECT_TRUE(Contains(asked.out, "track 2: not ripped")) << asked.out;

  ToolRun skipped = Rip({"rip", "-o", output_, "--no-overwrite"});
  EXPECT_EQ(skipped.status, 0) << skipped.out << skipped.err;
  EXPECT_TRUE(kept());
  EXPECT_TRUE(Contains(skipped.out, "track 1: " + first + " exists, skipped")) << skipped.out;
  EXPECT_TRUE(Contains(skipped.out, "Ripped 1 of 1 tracks")) << skipped.out;

  ToolRun replaced = Rip({"rip", "-o", output_, "--overwrite"});
  EXPECT_EQ(replaced.status, 0) << replaced.out << replaced.err;
  std::string why;
  auto one = ReadCdWav(first, &why);
  ASSERT_TRUE(one) << why;
  EXPECT_TRUE(*one == TrackBytes(0, 150));
}

// The interactive side, on a terminal: progress as two bars redrawn in
// place, and an existing file asked about, kept on "n" and replaced on
// "y".
TEST_F(VynRipTest, OnATerminalBarsAreDrawnAndAnExistingFileIsAskedAbout) {
  {
    ChildProcess child({VYN_RIP, "rip", "-o", output_, "--overwrite"}, Environment(),
                       ChildInput::kTerminal);
    ASSERT_EQ(child.Wait(seconds(60)), 0) << child.out() << child.err();
    EXPECT_TRUE(Contains(child.out(), "\r\033[K")) << "bars redrawn in place";
    EXPECT_TRUE(Contains(child.out(), "2 of 2 done")) << child.out();
    EXPECT_FALSE(Contains(child.out(), "track 1: 0%")) << "no plain progress lines";
  }
  const std::string first = output_ + "/Track 01.wav";
  for (const std::string answer : {"n", "y"}) {
    SCOPED_TRACE(answer);
    std::ofstream(first, std::ios::binary) << "keep me";
    ChildProcess child({VYN_RIP, "rip", "-t", "1", "-o", output_}, Environment(),
                       ChildInput::kTerminal);
    ASSERT_TRUE(child.WaitForError(
        [](const std::string& err) { return Contains(err, "overwrite it? [y/N] "); }, seconds(60)))
        << child.err();
    child.Type(answer + "\n");
    const int status = child.Wait(seconds(60));
    std::string why;
    auto ripped = ReadCdWav(first, &why);
    if (answer == "y") {
      EXPECT_EQ(status, 0) << child.out() << child.err();
      ASSERT_TRUE(ripped) << why;
      EXPECT_TRUE(*ripped == TrackBytes(0, 150));
    } else {
      EXPECT_EQ(status, 1) << child.out() << child.err();
      EXPECT_TRUE(ReadWholeFile(first) ==
                  std::vector<std::uint8_t>({'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
    }
  }
}

// Ctrl-C must cancel through the control, not kill the process: the batch
// stops, the status says cancelled, and the file being written is a valid
// WAV holding exactly the audio read so far.
TEST_F(VynRipTest, InterruptCancelsAndLeavesAValidFile) {
  auto cue = virtual_drive::WriteSyntheticImage("synthetic:a4500,a75", directory_, "long");
  ASSERT_TRUE(cue.ok()) << cue.error().message;
  drives_ = *cue;
  extra_environment_["VYN_VIRTUAL_DELAY_MS"] = "20";
  std::vector<std::uint8_t> bin = ReadWholeFile(directory_ + "/long.bin");

  ChildProcess child({VYN_RIP, "rip", "-o", output_, "--overwrite"}, Environment());
  ASSERT_TRUE(child.WaitForOutput(
      [](const std::string& out) { return Contains(out, "track 1: 0%\n"); }, seconds(60)))
      << child.out() << child.err();
  child.Signal(SIGINT);
  int status = child.Wait(seconds(60));
  EXPECT_EQ(status, 130) << child.out() << child.err();
  EXPECT_TRUE(Contains(child.out(), "cancelling")) << child.out();
  EXPECT_TRUE(Contains(child.out(), "track 1: cancelled")) << child.out();
  EXPECT_TRUE(Contains(child.out(), "track 2: not ripped")) << child.out();
  EXPECT_FALSE(std::filesystem::exists(output_ + "/Track 02.wav"));
  std::string why;
  auto partial = ReadCdWav(output_ + "/Track 01.wav", &why);
  ASSERT_TRUE(partial) << why;
  EXPECT_GT(partial->size(), 0u);
  EXPECT_LT(partial->size(), 4500 * kSectorBytes);
  EXPECT_TRUE(std::equal(partial->begin(), partial->end(), bin.begin()))
      << "the file holds the start of the track";
}

}  // namespace
}  // namespace vyn::testing
