// vynrip rip: picks the tracks, names their files, queues them on the
// control, and runs the queue as one batch with progress, jitter notices,
// the overwrite question and Ctrl-C.
#include <cstdio>
#include <filesystem>

#include "platform/com/bstr.h"
#include "platform/text/code_page.h"
#include "platform/win/console.h"
#include "platform/win/message_box.h"
#include "tools/vynrip/com_session.h"
#include "tools/vynrip/commands.h"
#include "tools/vynrip/control_error.h"
#include "tools/vynrip/event_sink.h"
#include "tools/vynrip/exit_status.h"
#include "tools/vynrip/interrupt_relay.h"
#include "tools/vynrip/output_names.h"
#include "tools/vynrip/rip_run.h"

namespace vyn::rip {
namespace {

// Installs a message-box provider for the command's life.
class ScopedProvider {
 public:
  explicit ScopedProvider(std::shared_ptr<MessageBoxProvider> provider)
      : previous_(SetMessageBoxProvider(std::move(provider))) {}
  ~ScopedProvider() { SetMessageBoxProvider(previous_); }
  ScopedProvider(const ScopedProvider&) = delete;
  ScopedProvider& operator=(const ScopedProvider&) = delete;

 private:
  std::shared_ptr<MessageBoxProvider> previous_;
};

struct PlannedTrack {
  ComPtr<ITrack> track;
  TrackLabel label;
  std::string output_name;  // what the control is given
};

// The file name for one track: the template filled from the active CDDB
// record, or "Track NN".
Result<std::string> TrackName(ITrack* track, int number, const std::string& name_template) {
  if (name_template.empty())
    return DefaultTrackName(number);
  Bstr wide_template(Utf8ToWide(name_template));
  Bstr name;
  if (Result<void> made =
          CallControl([&] { return track->GenerateFilename(wide_template.Get(), name.Receive()); });
      !made)
    return made.error();
  if (name.View().empty())
    return DefaultTrackName(number);
  return WideToUtf8(name.View());
}

// The tracks to rip, in disc order. Data tracks and (with --no-overwrite)
// tracks whose file exists are left out with a notice.
Result<std::vector<PlannedTrack>> PlanTracks(IDrive* drive,
                                             long count,
                                             const Options& options,
                                             const std::string& folder) {
  for (const TrackRange& range : options.tracks) {
    if (range.last > count) {
      return Error{E_INVALIDARG, "there is no track " + std::to_string(range.last) +
                                     " (the disc has " + std::to_string(count) + ")"};
    }
  }
  std::vector<PlannedTrack> planned;
  for (long number = 1; number <= count; ++number) {
    if (!IsSelected(options.tracks, static_cast<int>(number)))
      continue;
    ComPtr<ITrack> track;
    if (Result<void> got = CallControl([&] { return drive->GetTrack(number, track.Receive()); });
        !got)
      return got.error();
    VARIANT_BOOL audio = VARIANT_FALSE;
    if (Result<void> read = CallControl([&] { return track->get_IsAudio(&audio); }); !read)
      return read.error();
    if (!audio) {
      std::printf("track %ld: data track, skipped\n", number);
      continue;
    }
    auto name = TrackName(track.Get(), static_cast<int>(number), options.name_template);
    if (!name)
      return name.error();
    PlannedTrack plan;
    plan.track = track;
    plan.output_name = OutputName(folder, *name);
    plan.label.number = static_cast<int>(number);
    plan.label.file = WavFileFor(plan.output_name);
    std::error_code ignored;
    if (options.overwrite == OverwritePolicy::kKeep &&
        std::filesystem::exists(plan.label.file, ignored)) {
      std::printf("track %ld: %s exists, skipped (--no-overwrite)\n", number,
                  plan.label.file.c_str());
      continue;
    }
    planned.push_back(std::move(plan));
  }
  for (std::size_t i = 0; i < planned.size(); ++i) {
    planned[i].label.position = static_cast<int>(i + 1);
    planned[i].label.count = static_cast<int>(planned.size());
  }
  return planned;
}

// The control's settings for this batch: an empty queue (nothing left from
// before runs again), jitter correction, the overwrite prompt, the speed.
Result<void> Configure(IVynCDRipper* control, IDrive* drive, const Options& options) {
  return CallControl([&] {
    HRESULT hr = control->ClearQueue();
    if (SUCCEEDED(hr))
      hr = control->put_JitterCorrection(options.jitter ? VARIANT_TRUE : VARIANT_FALSE);
    if (SUCCEEDED(hr)) {
      bool prompt = options.overwrite != OverwritePolicy::kReplace;
      hr = control->put_OverwritePrompt(prompt ? VARIANT_TRUE : VARIANT_FALSE);
    }
    if (SUCCEEDED(hr) && options.speed)
      hr = drive->SetReadSpeed(options.speed->factor);
    return hr;
  });
}

std::unique_ptr<ProgressDisplay> MakeDisplay() {
  if (IsConsole(ConsoleStream::kOutput))
    return MakeTerminalBars(stdout, ConsoleColumns(ConsoleStream::kOutput));
  return MakePlainLines(stdout);
}

int Summarize(const RipRun& run, const std::string& folder) {
  const BatchTracker& tracker = run.tracker();
  for (std::size_t i = 0; i < run.jobs().size(); ++i) {
    JobOutcome outcome = tracker.outcome(static_cast<int>(i));
    if (outcome == JobOutcome::kNotRun)
      std::printf("track %d: %s\n", run.jobs()[i].number, OutcomeWord(outcome));
  }
  std::printf("Ripped %d of %zu tracks into %s", tracker.done_count(), run.jobs().size(),
              folder.c_str());
  if (run.jitter_notices() > 0)
    std::printf(" (%d jitter notices)", run.jitter_notices());
  std::printf("\n");
  if (tracker.AllDone() && tracker.error().empty())
    return kExitOk;
  if (!tracker.error().empty())
    std::fprintf(stderr, "vynrip: %s\n", tracker.error().c_str());
  return tracker.cancel_requested() ? kExitCancelled : kExitFailed;
}

}  // namespace

int RunRipCommand(const Options& options) {
  auto session = ComSession::Open();
  if (!session)
    return ReportFailure(session.error().message);
  auto drive = session->Drive(options.drive);
  if (!drive)
    return ReportFailure(drive.error().message);
  IDrive* d = drive->Get();
  LONG count = 0;
  if (Result<void> counted = CallControl([&] { return d->GetTrackNumber(&count); }); !counted)
    return ReportFailure(counted.error().message);
  if (count == 0)
    return ReportFailure("drive " + std::to_string(options.drive) + " has no disc");
  if (!options.name_template.empty()) {
    std::fprintf(stderr, "Looking the disc up on the CDDB server for the file names...\n");
    if (Result<void> loaded = CallControl([&] { return d->LoadCDDBData(); }); !loaded)
      return ReportFailure("CDDB lookup failed: " + loaded.error().message);
  }

  const std::string folder = AbsoluteFolder(options.output_dir);
  auto planned = PlanTracks(d, count, options, folder);
  if (!planned)
    return ReportFailure(planned.error().message);
  if (planned->empty()) {
    if (options.overwrite == OverwritePolicy::kKeep && !options.tracks.empty())
      return kExitOk;
    return ReportFailure("nothing to rip: no audio track selected");
  }

  IVynCDRipper* control = session->control();
  if (Result<void> configured = Configure(control, d, options); !configured)
    return ReportFailure(configured.error().message);
  auto question = std::make_shared<TerminalQuestion>(options.overwrite == OverwritePolicy::kKeep
                                                         ? QuestionMode::kAlwaysNo
                                                         : QuestionMode::kAskOnTerminal);
  ScopedProvider provider(question);
  std::unique_ptr<ProgressDisplay> display = MakeDisplay();

  std::vector<TrackLabel> labels;
  for (const PlannedTrack& plan : *planned)
    labels.push_back(plan.label);
  RipRun run(control, std::move(labels), display.get(), question.get());
  auto events = EventSubscription::Advise(control, &run);
  if (!events)
    return ReportFailure(events.error().message);
  auto relay = InterruptRelay::Start([&run] { run.Interrupt(); });
  if (!relay)
    return ReportFailure(relay.error().message);

  for (const PlannedTrack& plan : *planned) {
    Bstr name(Utf8ToWide(plan.output_name));
    if (Result<void> queued =
            CallControl([&] { return plan.track->QueueExtractToWav(name.Get()); });
        !queued)
      return ReportFailure(queued.error().message);
  }
  std::printf("Ripping %zu track%s from drive %d into %s\n", planned->size(),
              planned->size() == 1 ? "" : "s", options.drive, folder.c_str());
  std::fflush(stdout);
  if (Result<void> started = CallControl([&] { return control->RunQueue(); }); !started)
    return ReportFailure(started.error().message);
  run.WaitUntilOver();
  return Summarize(run, folder);
}

}  // namespace vyn::rip
