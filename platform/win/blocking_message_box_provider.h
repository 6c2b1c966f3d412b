// A base for message-box providers whose question blocks (a terminal
// prompt, a scripted answer that takes time). Show asks the question on a
// helper thread and meanwhile keeps the calling thread's queue going, as a
// modal dialog's loop does: sent messages are answered and posted messages
// dispatched (WM_QUIT stays queued for the thread's own loop). Cancel ends
// every open question with its box's default answer.
//
// Thread-safe. Ask runs on helper threads, one per open question, so it
// must be thread-safe too; it should return soon after its cancel event is
// set. MessageBoxW keeps the provider alive while a question is open.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/win/event.h"
#include "platform/win/message_box.h"

namespace vyn {

class BlockingMessageBoxProvider : public MessageBoxProvider {
 public:
  int Show(const MessageBoxRequest& request) final;
  // Ends every open question: each Show returns the box's default answer
  // once its Ask has returned.
  void Cancel();

 protected:
  // Asks the question and returns the button chosen (an answer that is not
  // one of the box's buttons gives the default answer). `cancelled` is set
  // when the question should be abandoned.
  virtual int Ask(const MessageBoxRequest& request, const Event& cancelled) = 0;

 private:
  std::mutex mutex_;
  std::vector<Event> open_;  // cancel events of the open questions; guarded by mutex_
};

}  // namespace vyn
