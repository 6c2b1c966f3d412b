// Ctrl-C for a command-line host. While a watch lives, SIGINT no longer
// ends the process: the signal handler only writes a byte into a pipe, and
// a watcher thread reads it and calls the host's callback there, on an
// ordinary thread, so the callback may post messages, take locks and
// allocate. One watch per process at a time.
//
// Home thread: the creating thread; the callback runs on the watcher.
#pragma once

#include <functional>
#include <memory>
#include <thread>

#include "platform/com/result.h"

namespace vyn {

class ConsoleInterruptWatch {
 public:
  // Installs the handler and starts the watcher; fails when the pipe or
  // the handler cannot be set up, or another watch is active.
  static Result<std::unique_ptr<ConsoleInterruptWatch>> Start(std::function<void()> on_interrupt);
  // Stops the watcher and puts back the handler that was there before.
  ~ConsoleInterruptWatch();
  ConsoleInterruptWatch(const ConsoleInterruptWatch&) = delete;
  ConsoleInterruptWatch& operator=(const ConsoleInterruptWatch&) = delete;

 private:
  struct Pipes;
  ConsoleInterruptWatch(std::unique_ptr<Pipes> pipes, std::function<void()> on_interrupt);
  void Watch();

  std::unique_ptr<Pipes> pipes_;
  std::function<void()> on_interrupt_;
  std::thread watcher_;
};

}  // namespace vyn
