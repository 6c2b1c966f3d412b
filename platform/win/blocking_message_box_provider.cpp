#include "platform/win/blocking_message_box_provider.h"

#include <algorithm>
#include <atomic>

#include "platform/win/message_pump.h"
#include "platform/win/message_queue.h"
#include "platform/win/thread.h"

namespace vyn {
namespace {

// One open question: written by the helper thread, read by the asker.
struct Question {
  MessageBoxRequest request;
  Event cancelled{EventReset::kManual};
  std::shared_ptr<MessageQueue> asker;
  std::atomic<int> answer{0};
  std::atomic<bool> answered{false};
};

}  // namespace

int BlockingMessageBoxProvider::Show(const MessageBoxRequest& request) {
  auto question = std::make_shared<Question>();
  question->request = request;
  question->asker = MessageQueue::ForCurrentThread();
  {
    std::lock_guard lock(mutex_);
    open_.push_back(question->cancelled);
  }
  int answer = DefaultAnswer(request.type);
  auto helper = Thread::Start([this, question] {
    question->answer = Ask(question->request, question->cancelled);
    question->answered = true;
    question->asker->Nudge();
  });
  if (helper.ok()) {
    PumpMessagesUntil([&] { return question->answered.load(); }, Deadline::Never(),
                      std::chrono::milliseconds::max());
    helper->Join();
    int chosen = question->answer;
    if (!question->cancelled.IsSet() && IsAnswerOf(request.type, chosen))
      answer = chosen;
  }
  {
    std::lock_guard lock(mutex_);
    std::erase_if(open_,
                  [&](const Event& e) { return e.handle() == question->cancelled.handle(); });
  }
  return answer;
}

void BlockingMessageBoxProvider::Cancel() {
  std::lock_guard lock(mutex_);
  for (const Event& cancelled : open_)
    cancelled.Set();
}

}  // namespace vyn
