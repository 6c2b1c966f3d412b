// Ripping speed and memory: a full 74-minute synthetic disc (about 783 MB)
// written out as a disc image, served by the virtual drive from that image,
// and ripped track by track to WAV files on the local disk, with jitter
// correction off and on. The ceiling is the same image copied into the same
// per-track files by a plain reader/writer. The reader alone and the WAV
// sink alone (fed from memory) show where a rip's time goes. Prints MB/s,
// multiples of real time and the process's peak RSS.
//
//   extract_rip_bench [folder] [tracks]
//
// `folder` (default: the system's temporary folder) holds the image and the
// output; `tracks` (default 20) splits the disc into that many tracks.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "extract/sector_reader.h"
#include "extract/wav_file_sink.h"
#include "tests/extract/rip_track.h"
#include "tests/extract/virtual_disc.h"
#include "virtual/synthetic_image_writer.h"

namespace vyn {
namespace {

constexpr std::int32_t kDiscFrames = 74 * 60 * 75;  // 333,000 sectors
constexpr double kRealTimeBytesPerSecond = 176400;
constexpr double kMegabyte = 1e6;

using Clock = std::chrono::steady_clock;

double PeakRssMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

// Every phase starts with the previous one's output written back, so none
// pays for another's dirty pages.
Clock::time_point StartPhase() {
  ::sync();
  return Clock::now();
}

void Report(const char* name, std::uint64_t bytes, Clock::duration elapsed, double ceiling_mbs) {
  const double seconds = std::chrono::duration<double>(elapsed).count();
  const double mbs = bytes / kMegabyte / seconds;
  std::printf("%-28s %8.1f MB in %6.2f s  %7.1f MB/s  %6.0fx real time", name, bytes / kMegabyte,
              seconds, mbs, bytes / kRealTimeBytesPerSecond / seconds);
  if (ceiling_mbs > 0)
    std::printf("  %.2fx the plain copy's time", ceiling_mbs / mbs);
  std::printf("  peak RSS %.1f MB\n", PeakRssMegabytes());
}

// The plain copy: the image's bytes of each track into its own file, in
// 64 KiB blocks, with nothing in between.
std::uint64_t PlainCopy(const std::string& image, const DiscToc& toc, const std::string& folder) {
  const int in = ::open(image.c_str(), O_RDONLY | O_CLOEXEC);
  std::vector<char> block(64 * 1024);
  std::uint64_t total = 0;
  for (int number = 1; number <= toc.TrackCount(); ++number) {
    const std::string path = folder + "/copy" + std::to_string(number) + ".raw";
    const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    off_t at = static_cast<off_t>(TrackStartLba(toc, number)) * kFrameBytes;
    std::uint64_t left = static_cast<std::uint64_t>(TrackSizeBytes(toc, number));
    while (left > 0) {
      const std::size_t want = std::min<std::uint64_t>(left, block.size());
      const ssize_t got = ::pread(in, block.data(), want, at);
      if (got <= 0 || ::write(out, block.data(), static_cast<std::size_t>(got)) != got)
        break;
      at += got;
      left -= static_cast<std::uint64_t>(got);
      total += static_cast<std::uint64_t>(got);
    }
    ::close(out);
    std::filesystem::remove(path);
  }
  ::close(in);
  return total;
}

std::uint64_t RipDisc(testing::VirtualDisc& disc,
                      std::int32_t correction,
                      const std::string& folder) {
  std::atomic<std::int32_t> flag{correction};
  SectorReader reader(flag);
  std::uint64_t total = 0;
  for (int index = 0; index < disc.drive().toc.TrackCount(); ++index) {
    const std::filesystem::path path = folder + "/track" + std::to_string(index + 1) + ".wav";
    testing::RipOutcome outcome = testing::RipTrack(reader, disc.drive(), index, path);
    if (!outcome.error.empty())
      std::fprintf(stderr, "track %d: %s\n", index + 1, outcome.error.c_str());
    total += outcome.bytes;
    std::filesystem::remove(path);
  }
  return total;
}

// The reader alone, its chunks dropped: the cost of the drive's commands.
std::uint64_t ReadDisc(testing::VirtualDisc& disc, std::int32_t correction) {
  std::atomic<std::int32_t> flag{correction};
  SectorReader reader(flag);
  std::vector<BYTE> chunk(kChunkBytes);
  std::uint64_t total = 0;
  for (int index = 0; index < disc.drive().toc.TrackCount(); ++index) {
    reader.Prepare(disc.drive(), index);
    std::uint32_t length = 0;
    while (reader.ReadNext(chunk, &length) != ReadStatus::kFailed && length > 0)
      total += length;
    reader.Release();
  }
  return total;
}

// The WAV sink alone, fed the same number of bytes from memory: the cost of
// the pipe, the writer thread and the file.
std::uint64_t WriteOnly(const DiscToc& toc, const std::string& folder) {
  std::vector<BYTE> chunk(kChunkBytes, 0x5a);
  std::uint64_t total = 0;
  for (int number = 1; number <= toc.TrackCount(); ++number) {
    const std::filesystem::path path = folder + "/sink" + std::to_string(number) + ".wav";
    auto sink = WavFileSink::Open(path.u16string());
    if (!sink)
      return total;
    std::uint64_t left = static_cast<std::uint64_t>(TrackSizeBytes(toc, number));
    while (left > 0) {
      const std::size_t now = std::min<std::uint64_t>(left, chunk.size());
      if (!(*sink)->Write(std::span(chunk).first(now)))
        break;
      left -= now;
      total += now;
    }
    (void)(*sink)->Finish();
    std::filesystem::remove(path);
  }
  return total;
}

int Run(const std::string& root, int tracks) {
  const std::string folder = root + "/vyn-rip-bench-" + std::to_string(::getpid());
  std::filesystem::create_directories(folder);
  std::string description = "synthetic:";
  for (int i = 0; i < tracks; ++i) {
    const std::int32_t frames = kDiscFrames / tracks + (i == 0 ? kDiscFrames % tracks : 0);
    description += (i ? ",a" : "a") + std::to_string(frames);
  }
  auto cue = virtual_drive::WriteSyntheticImage(description, folder, "disc");
  if (!cue) {
    std::fprintf(stderr, "cannot write the image: %s\n", cue.error().message.c_str());
    return 1;
  }
  const std::string image = folder + "/disc.bin";
  {
    testing::VirtualDisc disc(cue.value());
    if (!disc.ok()) {
      std::fprintf(stderr, "the virtual drive did not load the image\n");
      return 1;
    }
    std::printf("disc: %d tracks, %d sectors; output in %s\n", disc.drive().toc.TrackCount(),
                kDiscFrames, folder.c_str());
    // Warm the page cache so every run reads the image from memory.
    PlainCopy(image, disc.drive().toc, folder);

    auto start = StartPhase();
    std::uint64_t bytes = PlainCopy(image, disc.drive().toc, folder);
    const auto copy_time = Clock::now() - start;
    const double copy_mbs = bytes / kMegabyte / std::chrono::duration<double>(copy_time).count();
    Report("plain copy (ceiling)", bytes, copy_time, 0);

    start = StartPhase();
    bytes = ReadDisc(disc, 0);
    Report("read only, correction off", bytes, Clock::now() - start, copy_mbs);

    start = StartPhase();
    bytes = ReadDisc(disc, 1);
    Report("read only, correction on", bytes, Clock::now() - start, copy_mbs);

    start = StartPhase();
    bytes = WriteOnly(disc.drive().toc, folder);
    Report("WAV sink only", bytes, Clock::now() - start, copy_mbs);

    start = StartPhase();
    bytes = RipDisc(disc, 0, folder);
    Report("rip, correction off", bytes, Clock::now() - start, copy_mbs);

    start = StartPhase();
    bytes = RipDisc(disc, 1, folder);
    Report("rip, correction on", bytes, Clock::now() - start, copy_mbs);
  }
  std::filesystem::remove_all(folder);
  return 0;
}

}  // namespace
}  // namespace vyn

int main(int argc, char** argv) {
  const std::string root = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const int tracks = argc > 2 ? std::atoi(argv[2]) : 20;
  return vyn::Run(root, tracks > 0 ? tracks : 20);
}
