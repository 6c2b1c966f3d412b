#include "extract/extraction_worker.h"

#include <array>

#include "control/event_window.h"
#include "control/messages.h"
#include "drive/drive_state.h"
#include "extract/output_file_policy.h"
#include "extract/sector_reader.h"
#include "platform/text/code_page.h"

namespace vyn {
namespace {

constexpr int kComplete = 100;

Error Failure(Message message) {
  return {E_FAIL, MessageText(message)};
}

// The drive as the job's reader needs it: its address and a copy of its
// table as it is now. A drive that has left service reads as no drive
// (every read silence); the control's drives stay in service while it runs.
DriveRecord SourceOf(const ExtractionJob& job) {
  DriveRecord source;
  if (auto drive = job.drive.lock()) {
    if (auto toc = drive->Toc())
      source.toc = std::move(toc.value());
    if (auto address = drive->Address()) {
      source.transport = address->transport;
      source.host_adapter = address->host_adapter;
      source.target = address->target;
      source.lun = address->lun;
    }
  }
  return source;
}

}  // namespace

ExtractionWorker::ExtractionWorker(ExtractionContext& context, const ExtractionSeams& seams)
    : context_(context), seams_(seams) {
  if (seams_.make_reader)
    reader_ = seams_.make_reader(context_.jitter_correction_flag());
  else
    reader_ = std::make_unique<SectorReader>(context_.jitter_correction_flag());
}

void ExtractionWorker::Run(const std::vector<ExtractionJob>& jobs) {
  for (const ExtractionJob& job : jobs) {
    if (RunJob(job) == After::kEndRun)
      break;
  }
}

ExtractionWorker::After ExtractionWorker::RunJob(const ExtractionJob& job) {
  auto output = SetUp(job);
  if (!output) {
    RaiseError(output.error().message);
    return After::kEndRun;
  }
  std::unique_ptr<WavFileSink> sink = std::move(output.value());

  const DriveRecord source = SourceOf(job);
  reader_->Prepare(source, job.track_index);
  Post(kMsgExtractionStart);

  std::array<BYTE, kChunkBytes> chunk;
  int last_progress = -1;
  bool cancel_seen = false;
  bool failed = false;
  while (reader_->bytes_remaining() > 0) {
    std::uint32_t length = 0;
    const ReadStatus status = reader_->ReadNext(chunk, &length);
    // A cancel seen after the last delivery drops the chunk just read.
    if (cancel_seen)
      break;
    if (status == ReadStatus::kFailed) {
      RaiseError(MessageText(reader_->error()));
      failed = true;
      break;
    }
    if (status == ReadStatus::kChunkAfterJitterMiss)
      Post(kMsgJitterDetected);
    if (sink) {
      if (auto written = sink->Write(std::span(chunk).first(length)); !written) {
        RaiseError(written.error().message);
        failed = true;
        break;
      }
    }
    cancel_seen = context_.cancel_requested();
    if (reader_->progress() != last_progress) {
      last_progress = reader_->progress();
      Post(kMsgProgress, static_cast<WPARAM>(last_progress));
    }
  }
  if (!context_.cancel_requested())
    Post(kMsgProgress, kComplete);
  Post(kMsgExtractionEnd);
  reader_->Release();

  if (sink) {
    auto finished = sink->Finish();
    // A job that failed has said why; a sink that then cannot finish
    // cleanly is the same failure, not a second one.
    if (!finished && !failed) {
      RaiseError(finished.error().message);
      return After::kEndRun;
    }
  }
  sink.reset();
  return failed || context_.cancel_requested() ? After::kEndRun : After::kNextJob;
}

Result<std::unique_ptr<WavFileSink>> ExtractionWorker::SetUp(const ExtractionJob& job) {
  switch (job.kind) {
    case JobKind::kWav:
      return SetUpWav(job);
    case JobKind::kEncoder:
      if (auto ready = SetUpEncoder(job); !ready)
        return ready.error();
      return std::unique_ptr<WavFileSink>();
  }
  return Failure(Message::kUnknownJobKind);
}

Result<std::unique_ptr<WavFileSink>> ExtractionWorker::SetUpWav(const ExtractionJob& job) {
  EnsureOutputDirectory(*seams_.files, DirectoryPart(job.output_name));
  auto name = WavOutputName(job.output_name);
  if (!name)
    return name.error();
  if (auto cleared =
          ClearWayForFile(*seams_.files, name.value(), [this] { return context_.AskOverwrite(); });
      !cleared) {
    return cleared.error();
  }
  return WavFileSink::Open(name.value(), seams_.sink);
}

// The encoder bridge is not built yet: an encoder job makes its directory
// and then reports that its encoder could not be started.
Result<void> ExtractionWorker::SetUpEncoder(const ExtractionJob& job) {
  EnsureOutputDirectory(*seams_.files, DirectoryPart(job.output_name));
  return Failure(Message::kEncoderCannotStart);
}

void ExtractionWorker::RaiseError(std::string_view ansi_text) {
  const std::u16string text = AnsiToWide(ansi_text);
  Post(kMsgExtractionError, reinterpret_cast<WPARAM>(text.c_str()));
}

Result<Thread> StartExtractionRun(ExtractionContext& context,
                                  std::vector<ExtractionJob> jobs,
                                  ExtractionSeams seams) {
  const ThreadStarter start = seams.start_thread;
  return start([&context, jobs = std::move(jobs), seams = std::move(seams)] {
    {
      ExtractionWorker worker(context, seams);
      worker.Run(jobs);
    }
    context.EndRun();
  });
}

}  // namespace vyn
