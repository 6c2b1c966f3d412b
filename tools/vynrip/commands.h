// vynrip's commands. Each runs on the main thread, talks to the control
// only through COM, writes its results to standard output and its errors
// (the control's texts) to standard error, and returns the exit status.
#pragma once

#include "tools/vynrip/command_line.h"

namespace vyn::rip {

int RunDrivesCommand(const Options& options);
int RunTocCommand(const Options& options);
int RunCddbCommand(const Options& options);
int RunRipCommand(const Options& options);

// "vynrip: <text>" on standard error; returns kExitFailed.
int ReportFailure(const std::string& text);

}  // namespace vyn::rip
