// vynrip toc: the disc's tracks and its CDDB disc id. Number, duration,
// size and the audio flag come from the Track objects; start addresses and
// the disc id from the drive's disc-layout interface, when the control
// offers it.
#include <cstdio>
#include <map>

#include "platform/com/bstr.h"
#include "platform/text/code_page.h"
#include "tools/vynrip/com_session.h"
#include "tools/vynrip/commands.h"
#include "tools/vynrip/control_error.h"
#include "tools/vynrip/drive_text.h"
#include "tools/vynrip/exit_status.h"

namespace vyn::rip {
namespace {

constexpr long kLeadOutTrackNumber = 170;

// Start addresses by track number, from the layout's entries.
std::map<long, long> TrackStarts(IDiscLayout* layout) {
  std::map<long, long> starts;
  LONG entries = 0;
  if (FAILED(layout->get_EntryCount(&entries)))
    return starts;
  for (LONG entry = 1; entry <= entries; ++entry) {
    LONG number = 0;
    LONG lba = 0;
    if (SUCCEEDED(layout->EntryTrackNumber(entry, &number)) &&
        SUCCEEDED(layout->EntryStartAddress(entry, &lba)) && number != kLeadOutTrackNumber)
      starts[number] = lba;
  }
  return starts;
}

std::string DiscIdLine(IDiscLayout* layout) {
  if (!layout)
    return "not available (this control does not expose the disc layout)";
  Bstr id;
  if (Result<void> got = CallControl([&] { return layout->get_CddbDiscId(id.Receive()); }); !got)
    return "not available (" + got.error().message + ")";
  return WideToUtf8(id.View());
}

}  // namespace

int RunTocCommand(const Options& options) {
  auto session = ComSession::Open();
  if (!session)
    return ReportFailure(session.error().message);
  auto drive = session->Drive(options.drive);
  if (!drive)
    return ReportFailure(drive.error().message);
  IDrive* d = drive->Get();
  std::printf("Drive %d: %s\n", options.drive, DriveName(d).c_str());
  std::optional<long> count = TrackCount(d);
  if (!count || *count == 0)
    return ReportFailure("drive " + std::to_string(options.drive) + " has no disc");

  ComPtr<IDiscLayout> layout = drive->As<IDiscLayout>();
  std::map<long, long> starts = layout ? TrackStarts(layout.Get()) : std::map<long, long>{};
  LONG disc_seconds = 0;
  (void)d->get_Duration(&disc_seconds);
  std::printf("Tracks: %ld, %s\n", *count, MinutesSeconds(disc_seconds).c_str());
  std::printf("CDDB disc id: %s\n", DiscIdLine(layout.Get()).c_str());
  std::printf("%5s  %-20s  %8s  %10s  %s\n", "track", "start (mm:ss.ff lba)", "duration",
              "size (MiB)", "audio");
  for (long number = 1; number <= *count; ++number) {
    ComPtr<ITrack> track;
    if (Result<void> got = CallControl([&] { return d->GetTrack(number, track.Receive()); }); !got)
      return ReportFailure(got.error().message);
    LONG seconds = 0;
    LONG bytes = 0;
    VARIANT_BOOL audio = VARIANT_FALSE;
    Result<void> read = CallControl([&] {
      HRESULT hr = track->get_Duration(&seconds);
      if (SUCCEEDED(hr))
        hr = track->get_Size(&bytes);
      if (SUCCEEDED(hr))
        hr = track->get_IsAudio(&audio);
      return hr;
    });
    if (!read)
      return ReportFailure("track " + std::to_string(number) + ": " + read.error().message);
    std::string start = "-";
    if (auto found = starts.find(number); found != starts.end())
      start = FramePosition(found->second) + " " + std::to_string(found->second);
    std::printf("%5ld  %-20s  %8s  %10.2f  %s\n", number, start.c_str(),
                MinutesSeconds(seconds).c_str(), static_cast<double>(bytes) / 1048576.0,
                audio ? "yes" : "no");
  }
  return kExitOk;
}

}  // namespace vyn::rip
