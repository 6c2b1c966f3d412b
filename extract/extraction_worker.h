// ExtractionWorker: one extraction run, a single job or a batch, on a
// thread of its own. For each job in turn it settles the output (Part of
// the set-up: directory, name, an existing file, the WAV sink), reads the
// track chunk by chunk, hands each chunk to the output and reports start,
// progress, jitter misses, errors and the end as posted events, in the
// order the host must see them:
//   success:      start, progress 0.. (jitter among them), 100, end
//   cancelled:    start, progress.., end (no 100, no error)
//   set-up fails: error only
//   read/deliver: start, progress.., error, 100, end
//   finish fails: start, progress.., 100, end, error
// Any failure or a cancellation ends the whole run: later jobs do not
// start. A cancel is seen after each delivered chunk and acted on after
// the next read, so a cancelled job's output holds what was delivered and
// is finished normally.
//
// Home thread: the worker's. The run owns its copy of the jobs; the
// control that started it outlives it (its destruction cancels and waits).
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "extract/extraction_context.h"
#include "extract/extraction_job.h"
#include "extract/track_reader.h"
#include "extract/wav_file_sink.h"
#include "platform/com/result.h"
#include "platform/win/file_system.h"
#include "platform/win/thread.h"

namespace vyn {

// What a run uses besides its context; production uses the defaults, tests
// make one piece fail.
struct ExtractionSeams {
  FileSystem* files = &SystemFileSystem();
  WavSinkSeams sink;
  // The run's reader; null: a SectorReader on the drives' transports.
  std::function<std::unique_ptr<TrackReader>(const std::atomic<LONG>& correction)> make_reader;
  ThreadStarter start_thread = &Thread::Start;
};

class ExtractionWorker {
 public:
  ExtractionWorker(ExtractionContext& context, const ExtractionSeams& seams);

  // Runs `jobs` in order on the calling thread until the last one is done,
  // one fails, or the run is cancelled. Leaves ending the run to the caller.
  void Run(const std::vector<ExtractionJob>& jobs);

 private:
  enum class After { kNextJob, kEndRun };

  After RunJob(const ExtractionJob& job);
  // The job's output, ready for the first chunk; null for a kind that has
  // no output object of its own.
  Result<std::unique_ptr<WavFileSink>> SetUp(const ExtractionJob& job);
  Result<std::unique_ptr<WavFileSink>> SetUpWav(const ExtractionJob& job);
  Result<void> SetUpEncoder(const ExtractionJob& job);
  void RaiseError(std::string_view ansi_text);
  void Post(UINT message, WPARAM wparam = 0) { context_.PostEvent(message, wparam); }

  ExtractionContext& context_;
  const ExtractionSeams& seams_;
  std::unique_ptr<TrackReader> reader_;
};

// Starts a run of `jobs` on a new thread; when it is over the thread calls
// the context's EndRun. The caller has claimed the run. On failure nothing
// runs and the run is not ended; the error carries the system's code.
Result<Thread> StartExtractionRun(ExtractionContext& context,
                                  std::vector<ExtractionJob> jobs,
                                  ExtractionSeams seams = {});

}  // namespace vyn
