#include "extract/job_lists.h"

namespace vyn {

std::vector<ExtractionJob> JobLists::SelectSingle(ExtractionJob job) {
  std::lock_guard lock(mutex_);
  single_job_.clear();
  single_job_.push_back(std::move(job));
  return single_job_;
}

std::vector<ExtractionJob> JobLists::QueueCopy() const {
  std::lock_guard lock(mutex_);
  return queue_;
}

void JobLists::Enqueue(ExtractionJob job) {
  std::lock_guard lock(mutex_);
  queue_.push_back(std::move(job));
}

void JobLists::ClearQueue() {
  std::lock_guard lock(mutex_);
  queue_.clear();
}

void JobLists::Clear() {
  std::lock_guard lock(mutex_);
  single_job_.clear();
  queue_.clear();
}

}  // namespace vyn
