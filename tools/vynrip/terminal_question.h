// The overwrite question on the terminal. The control asks through a
// message box while a batch runs; this provider puts the question to the
// user on standard error and reads y or n from standard input. With
// --no-overwrite, or with no terminal to ask on, the answer is No (the file
// is kept, and the control ends the batch with "Cancelled by user.").
// Ctrl-C while the question is open answers No too, so an interrupted rip
// never replaces a file.
//
// Thread-safe, as a provider must be: Ask runs on a helper thread.
#pragma once

#include <functional>
#include <mutex>
#include <string>

#include "platform/win/blocking_message_box_provider.h"
#include "platform/win/event.h"

namespace vyn::rip {

enum class QuestionMode { kAskOnTerminal, kAlwaysNo };

class TerminalQuestion final : public BlockingMessageBoxProvider {
 public:
  explicit TerminalQuestion(QuestionMode mode) : mode_(mode) {}

  // Names what the next question is about (the file the control is about
  // to write); called on the host's thread.
  void SetSubject(std::string subject);
  // Answers an open question, and every later one, with No.
  void Interrupt() { interrupted_.Set(); }

 protected:
  int Ask(const MessageBoxRequest& request, const Event& cancelled) override;

 private:
  const QuestionMode mode_;
  Event interrupted_{EventReset::kManual};
  std::mutex mutex_;
  std::string subject_;  // guarded by mutex_
};

}  // namespace vyn::rip
