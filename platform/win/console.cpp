#include "platform/win/console.h"

#include <errno.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vyn {
namespace {

constexpr int kDefaultColumns = 80;
// How often a pending read asks whether it is abandoned.
constexpr int kAbandonCheckMs = 50;

int DescriptorOf(ConsoleStream stream) {
  switch (stream) {
    case ConsoleStream::kInput:
      return STDIN_FILENO;
    case ConsoleStream::kOutput:
      return STDOUT_FILENO;
    case ConsoleStream::kError:
      return STDERR_FILENO;
  }
  return -1;
}

}  // namespace

bool IsConsole(ConsoleStream stream) {
  return ::isatty(DescriptorOf(stream)) == 1;
}

int ConsoleColumns(ConsoleStream stream) {
  winsize size{};
  if (::ioctl(DescriptorOf(stream), TIOCGWINSZ, &size) != 0 || size.ws_col == 0)
    return kDefaultColumns;
  return size.ws_col;
}

std::optional<std::string> ReadConsoleLine(const std::function<bool()>& abandoned) {
  // Byte by byte, so nothing typed after the line is taken from the next
  // reader.
  std::string line;
  for (;;) {
    if (abandoned())
      return std::nullopt;
    pollfd input{STDIN_FILENO, POLLIN, 0};
    int ready = ::poll(&input, 1, kAbandonCheckMs);
    if (ready < 0 && errno != EINTR)
      return std::nullopt;
    if (ready <= 0)
      continue;
    char c = 0;
    ssize_t got = ::read(STDIN_FILENO, &c, 1);
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0)
      return line.empty() ? std::nullopt : std::optional<std::string>(line);
    if (c == '\n')
      return line;
    if (c != '\r')
      line += c;
  }
}

}  // namespace vyn
