// The control's two job lists: the single job of the last ExtractToWav or
// ExtractToEncoder call, and the batch queue, which keeps its jobs until
// it is cleared (running it does not empty it). A run never reads these
// lists: it is handed a copy when it starts, so the host may add to or
// clear the queue during a run without touching that run.
//
// Thread-safe: the host's thread uses it; one mutex guards both lists, so
// a copy is never taken while a list changes, whichever thread calls.
#pragma once

#include <mutex>
#include <vector>

#include "extract/extraction_job.h"

namespace vyn {

class JobLists {
 public:
  // Makes `job` the single job; a copy of the list for the run.
  std::vector<ExtractionJob> SelectSingle(ExtractionJob job);
  // A copy of the queue for the run; empty when the queue is.
  std::vector<ExtractionJob> QueueCopy() const;
  void Enqueue(ExtractionJob job);
  void ClearQueue();
  // Drops both lists (the control's destruction).
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::vector<ExtractionJob> single_job_;  // guarded by mutex_
  std::vector<ExtractionJob> queue_;       // guarded by mutex_
};

}  // namespace vyn
