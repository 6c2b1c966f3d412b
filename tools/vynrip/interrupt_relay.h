// Brings Ctrl-C to the host thread. The console watch calls back on its own
// thread; the relay posts a message to a hidden window of the host thread,
// whose procedure runs the host's handler when the thread pumps its queue
// (in the command's wait, or in the open overwrite question's loop). So the
// handler may call the control, which only its home thread may do.
//
// Home thread: the creating thread (the window's owner).
#pragma once

#include <functional>
#include <memory>

#include "platform/com/result.h"
#include "platform/win/console_interrupt.h"
#include "platform/win/window_types.h"

namespace vyn::rip {

class InterruptRelay {
 public:
  static Result<std::unique_ptr<InterruptRelay>> Start(std::function<void()> on_interrupt);
  ~InterruptRelay();
  InterruptRelay(const InterruptRelay&) = delete;
  InterruptRelay& operator=(const InterruptRelay&) = delete;

 private:
  explicit InterruptRelay(std::function<void()> on_interrupt)
      : on_interrupt_(std::move(on_interrupt)) {}
  static LRESULT WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  std::function<void()> on_interrupt_;
  HWND window_ = nullptr;
  std::unique_ptr<ConsoleInterruptWatch> watch_;
};

}  // namespace vyn::rip
