#include "tests/tools/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;

namespace vyn::testing {

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::map<std::string, std::string>& environment,
                           ChildInput input) {
  int out[2] = {-1, -1};
  int err[2];
  std::string terminal_name;
  if (input == ChildInput::kTerminal) {
    terminal_fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal_fd_ < 0 || ::grantpt(terminal_fd_) != 0 || ::unlockpt(terminal_fd_) != 0)
      return;
    terminal_name = ::ptsname(terminal_fd_);
  } else if (::pipe2(out, O_CLOEXEC) != 0) {
    return;
  }
  if (::pipe2(err, O_CLOEXEC) != 0)
    return;
  // Everything the child needs is made before the fork.
  std::map<std::string, std::string> merged;
  for (char** entry = environ; *entry; ++entry) {
    std::string text(*entry);
    std::size_t equals = text.find('=');
    if (equals != std::string::npos)
      merged[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto& [name, value] : environment)
    merged[name] = value;
  std::vector<std::string> env_texts;
  for (const auto& [name, value] : merged)
    env_texts.push_back(name + "=" + value);
  std::vector<char*> env_pointers;
  for (std::string& text : env_texts)
    env_pointers.push_back(text.data());
  env_pointers.push_back(nullptr);
  std::vector<std::string> arguments = argv;
  std::vector<char*> arg_pointers;
  for (std::string& argument : arguments)
    arg_pointers.push_back(argument.data());
  arg_pointers.push_back(nullptr);

  pid_ = ::fork();
  if (pid_ == 0) {
    if (input == ChildInput::kTerminal) {
      // A session of its own, with the terminal as its controlling one.
      ::setsid();
      int terminal = ::open(terminal_name.c_str(), O_RDWR);
      winsize size{};
      size.ws_row = 24;
      size.ws_col = 80;
      ::ioctl(terminal, TIOCSWINSZ, &size);
      ::dup2(terminal, STDIN_FILENO);
      ::dup2(terminal, STDOUT_FILENO);
    } else {
      int null_fd = ::open("/dev/null", O_RDONLY);
      ::dup2(null_fd, STDIN_FILENO);
      ::dup2(out[1], STDOUT_FILENO);
    }
    ::dup2(err[1], STDERR_FILENO);
    ::execve(arg_pointers[0], arg_pointers.data(), env_pointers.data());
    ::_exit(127);
  }
  if (out[1] >= 0)
    ::close(out[1]);
  ::close(err[1]);
  // The master side reads what the child writes to its terminal; reading
  // fails once no process holds the terminal open, which ends the output.
  out_fd_ = input == ChildInput::kTerminal ? ::dup(terminal_fd_) : out[0];
  err_fd_ = err[0];
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !exited_) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (out_fd_ >= 0)
    ::close(out_fd_);
  if (err_fd_ >= 0)
    ::close(err_fd_);
  if (terminal_fd_ >= 0)
    ::close(terminal_fd_);
}

bool ChildProcess::Pump(int ms) {
  pollfd fds[2] = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}};
  if (out_fd_ < 0 && err_fd_ < 0)
    return false;
  if (::poll(fds, 2, ms) <= 0)
    return true;
  std::string* sinks[2] = {&out_, &err_};
  int* descriptors[2] = {&out_fd_, &err_fd_};
  for (int i = 0; i < 2; ++i) {
    if (*descriptors[i] < 0 || !(fds[i].revents & (POLLIN | POLLHUP)))
      continue;
    char buffer[4096];
    ssize_t got = ::read(*descriptors[i], buffer, sizeof buffer);
    if (got > 0) {
      sinks[i]->append(buffer, static_cast<std::size_t>(got));
    } else {
      ::close(*descriptors[i]);
      *descriptors[i] = -1;
    }
  }
  return true;
}

bool ChildProcess::WaitFor(const std::string& stream,
                           const std::function<bool(const std::string&)>& seen,
                           std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!seen(stream)) {
    if (std::chrono::steady_clock::now() >= deadline || !Pump(20))
      return seen(stream);
  }
  return true;
}

bool ChildProcess::WaitForOutput(const std::function<bool(const std::string&)>& seen,
                                 std::chrono::milliseconds timeout) {
  return WaitFor(out_, seen, timeout);
}

bool ChildProcess::WaitForError(const std::function<bool(const std::string&)>& seen,
                                std::chrono::milliseconds timeout) {
  return WaitFor(err_, seen, timeout);
}

void ChildProcess::Type(const std::string& text) {
  if (terminal_fd_ >= 0)
    (void)!::write(terminal_fd_, text.data(), text.size());
}

void ChildProcess::Signal(int signal) {
  if (pid_ > 0 && !exited_)
    ::kill(pid_, signal);
}

int ChildProcess::Wait(std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (Pump(20)) {
    if (std::chrono::steady_clock::now() >= deadline)
      break;
  }
  int status = 0;
  while (::waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      exited_ = true;
      return -1;
    }
    ::usleep(10000);
  }
  exited_ = true;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace vyn::testing
