// OverwriteQuestions: the worker's one synchronous exchange with the host's
// thread. The worker registers a question, has a message delivered to the
// host's helper window and waits; the host's thread answers it when it
// handles that message. Cancelling the run or closing the window answers
// every waiting question with "keep" at once, so a worker never waits on a
// host that has stopped listening, and a host that waits for its worker
// never deadlocks with it.
//
// Thread-safe: Ask runs on the worker, Answer on the host's thread,
// AbandonAll and Close on any thread.
#pragma once

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "platform/win/types.h"

namespace vyn {

enum class OverwriteAnswer : int { kKeep = 0, kReplace = 1 };

class OverwriteQuestions {
 public:
  // Worker. Registers a question with a fresh non-zero id, calls
  // `deliver(id)` to send it to the host's thread and waits for the answer.
  // kKeep when the channel is closed, `cancelled()` holds once the question
  // is registered, delivery fails, or the question is abandoned.
  OverwriteAnswer Ask(const std::function<bool(LPARAM id)>& deliver,
                      const std::function<bool()>& cancelled);
  // Host's thread, on the question's message. A question that is no longer
  // open gives kKeep without calling `decide`; id 0 (a plain send that did
  // not go through Ask) calls `decide` and returns its answer.
  OverwriteAnswer Answer(LPARAM id, const std::function<OverwriteAnswer()>& decide);
  // Answers every open question with kKeep.
  void AbandonAll();
  // AbandonAll, and every later Ask answers kKeep at once.
  void Close();

 private:
  struct Question {
    bool answered = false;
    OverwriteAnswer answer = OverwriteAnswer::kKeep;
  };

  void Forget(LPARAM id);
  void AbandonAllLocked();

  std::mutex mutex_;
  std::condition_variable answered_;
  bool closed_ = false;                               // guarded by mutex_
  LPARAM next_id_ = 1;                                // guarded by mutex_
  std::map<LPARAM, std::shared_ptr<Question>> open_;  // guarded by mutex_
};

}  // namespace vyn
