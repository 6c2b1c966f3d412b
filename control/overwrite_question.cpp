#include "control/overwrite_question.h"

namespace vyn {

OverwriteAnswer OverwriteQuestions::Ask(const std::function<bool(LPARAM id)>& deliver,
                                        const std::function<bool()>& cancelled) {
  auto question = std::make_shared<Question>();
  LPARAM id = 0;
  {
    std::lock_guard lock(mutex_);
    if (closed_)
      return OverwriteAnswer::kKeep;
    id = next_id_++;
    open_.emplace(id, question);
  }
  // Checked after registering: a cancel that comes later finds the question.
  if (cancelled() || !deliver(id)) {
    Forget(id);
    return OverwriteAnswer::kKeep;
  }
  std::unique_lock lock(mutex_);
  answered_.wait(lock, [&] { return question->answered; });
  return question->answer;
}

OverwriteAnswer OverwriteQuestions::Answer(LPARAM id,
                                           const std::function<OverwriteAnswer()>& decide) {
  if (id == 0)
    return decide();
  {
    std::lock_guard lock(mutex_);
    if (!open_.count(id))
      return OverwriteAnswer::kKeep;
  }
  // The decision may show a message box and run a nested loop; a cancel or
  // close meanwhile answers the worker, and this answer then comes too late.
  OverwriteAnswer decided = decide();
  std::lock_guard lock(mutex_);
  auto found = open_.find(id);
  if (found == open_.end())
    return OverwriteAnswer::kKeep;
  found->second->answer = decided;
  found->second->answered = true;
  open_.erase(found);
  answered_.notify_all();
  return decided;
}

void OverwriteQuestions::AbandonAll() {
  std::lock_guard lock(mutex_);
  AbandonAllLocked();
}

void OverwriteQuestions::Close() {
  std::lock_guard lock(mutex_);
  closed_ = true;
  AbandonAllLocked();
}

void OverwriteQuestions::Forget(LPARAM id) {
  std::lock_guard lock(mutex_);
  open_.erase(id);
}

void OverwriteQuestions::AbandonAllLocked() {
  for (auto& [id, question] : open_) {
    question->answer = OverwriteAnswer::kKeep;
    question->answered = true;
  }
  open_.clear();
  answered_.notify_all();
}

}  // namespace vyn
