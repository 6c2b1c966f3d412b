// Ripping speed and memory: a full 74-minute synthetic disc (about 783 MB)
// written out as a disc image, served by the virtual drive from that image,
// and ripped track by track to WAV files on the local disk, with jitter
// correction off and on. The ceiling is the same image copied into the same
// per-track files by a plain reader/writer. The reader alone and the WAV
// sink alone (fed from memory) show where a rip's time goes. Prints MB/s,
// multiples of real time and the process's peak RSS. The drive completes
// commands before returning; two more rips show the cost of completing
// them on the library's thread instead.
//
//   extract_rip_bench [folder] [tracks] [phase]
//
// `folder` (default: the system's temporary folder) holds the image and the
// output; `tracks` (default 20) splits the disc into that many tracks;
// `phase` (default: all) runs only the phases whose names contain it.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "extract/sector_reader.h"
#include "extract/wav_file_sink.h"
#include "tests/extract/rip_track.h"
#include "tests/extract/virtual_disc.h"
#include "virtual/synthetic_image_writer.h"
#include "virtual/virtual_control.h"

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

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct PhaseStart {
  Clock::time_point wall;
  double cpu_seconds;
};

// Every phase starts with the previous one's output written back, so none
// pays for another's dirty pages.
PhaseStart StartPhase() {
  ::sync();
  return {Clock::now(), ProcessCpuSeconds()};
}

// Also prints the CPU time of all the process's threads: above the wall
// time when reading and writing overlap.
void Report(const char* name, std::uint64_t bytes, const PhaseStart& start, double ceiling_mbs) {
  const double seconds = std::chrono::duration<double>(Clock::now() - start.wall).count();
  const double cpu = ProcessCpuSeconds() - start.cpu_seconds;
  const double mbs = bytes / kMegabyte / seconds;
  std::printf("%-28s %8.1f MB in %5.2f s (CPU %5.2f s) %7.1f MB/s %6.0fx real time", name,
              bytes / kMegabyte, seconds, cpu, mbs, bytes / kRealTimeBytesPerSecond / seconds);
  if (ceiling_mbs > 0)
    std::printf("  %.2fx the copy's time", ceiling_mbs / mbs);
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

// The drive completes each command on the library's thread, as an
// asynchronous driver does: every command then costs two thread switches.
std::uint64_t Queued(const std::function<std::uint64_t()>& run) {
  VynVirtualSetImmediateCompletion(0);
  const std::uint64_t bytes = run();
  VynVirtualSetImmediateCompletion(1);
  return bytes;
}

int Run(const std::string& root, int tracks, const std::string& only) {
  auto wanted = [&](const char* name) { return std::string(name).find(only) != std::string::npos; };
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
    // Commands complete before the library returns, as a synchronous driver
    // (and the drive-letter pass-through) does, so the figures show the
    // ripper's own cost.
    VynVirtualSetImmediateCompletion(1);
    // Warm the page cache so every run reads the image from memory.
    PlainCopy(image, disc.drive().toc, folder);

    PhaseStart start = StartPhase();
    const std::uint64_t copied = PlainCopy(image, disc.drive().toc, folder);
    const double copy_seconds = std::chrono::duration<double>(Clock::now() - start.wall).count();
    const double copy_mbs = copied / kMegabyte / copy_seconds;
    Report("plain copy (ceiling)", copied, start, 0);

    const DiscToc& toc = disc.drive().toc;
    const struct {
      const char* name;
      std::function<std::uint64_t()> run;
    } kPhases[] = {
        {"read only, correction off", [&] { return ReadDisc(disc, 0); }},
        {"read only, correction on", [&] { return ReadDisc(disc, 1); }},
        {"WAV sink only", [&] { return WriteOnly(toc, folder); }},
        {"rip, correction off", [&] { return RipDisc(disc, 0, folder); }},
        {"rip, correction on", [&] { return RipDisc(disc, 1, folder); }},
        {"rip, off, queued completion",
         [&] { return Queued([&] { return RipDisc(disc, 0, folder); }); }},
        {"rip, on, queued completion",
         [&] { return Queued([&] { return RipDisc(disc, 1, folder); }); }},
    };
    for (const auto& phase : kPhases) {
      if (!wanted(phase.name))
        continue;
      start = StartPhase();
      const std::uint64_t bytes = phase.run();
      Report(phase.name, bytes, start, copy_mbs);
    }
  }
  std::filesystem::remove_all(folder);
  return 0;
}

}  // namespace
}  // namespace vyn

int main(int argc, char** argv) {
  const std::string root = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const int tracks = argc > 2 ? std::atoi(argv[2]) : 20;
  return vyn::Run(root, tracks > 0 ? tracks : 20, argc > 3 ? argv[3] : "");
}
