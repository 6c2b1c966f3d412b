#include "tools/vynrip/terminal_question.h"

#include <cstdio>

#include "platform/text/code_page.h"
#include "platform/win/console.h"

namespace vyn::rip {

void TerminalQuestion::SetSubject(std::string subject) {
  std::lock_guard lock(mutex_);
  subject_ = std::move(subject);
}

int TerminalQuestion::Ask(const MessageBoxRequest& request, const Event& cancelled) {
  std::string subject;
  {
    std::lock_guard lock(mutex_);
    subject = subject_;
  }
  const std::string about = subject.empty() ? "" : subject + ": ";
  if (interrupted_.IsSet())
    return IDNO;
  if (mode_ == QuestionMode::kAlwaysNo) {
    std::fprintf(stderr, "\n%sexists; kept (--no-overwrite)\n", about.c_str());
    return IDNO;
  }
  if (!IsConsole(ConsoleStream::kInput)) {
    std::fprintf(stderr, "\n%sexists; kept (no terminal to ask; --overwrite replaces it)\n",
                 about.c_str());
    return IDNO;
  }
  std::fprintf(stderr, "\n%s%s [y/N] ", about.c_str(), WideToUtf8(request.text).c_str());
  std::fflush(stderr);
  std::optional<std::string> line =
      ReadConsoleLine([&] { return cancelled.IsSet() || interrupted_.IsSet(); });
  if (!line) {
    std::fputc('\n', stderr);
    return IDNO;
  }
  return !line->empty() && (line->front() == 'y' || line->front() == 'Y') ? IDYES : IDNO;
}

}  // namespace vyn::rip
