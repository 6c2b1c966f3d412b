// A tool run as a child process for a test: its standard output and error
// read through pipes, standard input from /dev/null, extra environment
// variables, signals, and deadlines that fail the test instead of hanging.
// Or, for the tool's interactive side, standard input and output on a
// pseudo-terminal of 80 columns that the test types into.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vyn::testing {

enum class ChildInput { kNull, kTerminal };

class ChildProcess {
 public:
  // Starts `argv[0]` with `argv`; `environment` is added to (or replaces
  // entries of) the test's own environment.
  ChildProcess(const std::vector<std::string>& argv,
               const std::map<std::string, std::string>& environment,
               ChildInput input = ChildInput::kNull);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Reads output until `seen(stdout so far)` holds; false when the child
  // closed its output or the time-out passed first.
  bool WaitForOutput(const std::function<bool(const std::string&)>& seen,
                     std::chrono::milliseconds timeout);
  // The same for standard error.
  bool WaitForError(const std::function<bool(const std::string&)>& seen,
                    std::chrono::milliseconds timeout);
  // Types `text` on the terminal (ChildInput::kTerminal only).
  void Type(const std::string& text);
  void Signal(int signal);
  // Reads the rest and waits for the exit; the exit status, or -1 when the
  // child had to be killed at the time-out or died of a signal.
  int Wait(std::chrono::milliseconds timeout);

  const std::string& out() const { return out_; }
  const std::string& err() const { return err_; }

 private:
  // Reads whatever is ready within `ms`; false once both pipes are closed.
  bool Pump(int ms);

  bool WaitFor(const std::string& stream,
               const std::function<bool(const std::string&)>& seen,
               std::chrono::milliseconds timeout);

  int pid_ = -1;
  int terminal_fd_ = -1;  // the terminal's master side; reads give stdout
  int out_fd_ = -1;
  int err_fd_ = -1;
  std::string out_;
  std::string err_;
  bool exited_ = false;
};

}  // namespace vyn::testing
