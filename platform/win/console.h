// The process's terminal, as a command-line host sees it: whether a
// standard stream is a terminal (bars or plain lines), how wide it is, and
// one line of an answer typed on standard input. The one place that knows
// about terminal devices.
//
// Thread-safe: every function works on the process's standard streams only.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vyn {

enum class ConsoleStream { kInput, kOutput, kError };

// True when the stream is connected to a terminal.
bool IsConsole(ConsoleStream stream);
// The terminal's width in columns; 80 when the stream is not a terminal or
// does not say.
int ConsoleColumns(ConsoleStream stream);
// Reads one line from standard input, without its line end. Nothing when
// input ends, fails, or `abandoned` answers true before a line is complete
// (it is asked every few tens of milliseconds, on the calling thread).
std::optional<std::string> ReadConsoleLine(const std::function<bool()>& abandoned);

}  // namespace vyn
