// vynrip: a command-line host of the CD ripper control. It creates the
// control through the class registry, calls it through its dual
// interfaces, hears its events through a connection point and pumps the
// main thread's message queue while it waits, as every host does.
//
//   vynrip drives | toc [-d N] | cddb [-d N] | rip [options]   (--help for each)
#include <cstdio>
#include <string>
#include <vector>

#include "platform/com/co_create.h"
#include "tools/vynrip/commands.h"
#include "tools/vynrip/exit_status.h"
#include "tools/vynrip/usage.h"

namespace vyn::rip {
namespace {

int Run(const Options& options) {
  switch (options.command) {
    case Command::kDrives:
      return RunDrivesCommand(options);
    case Command::kToc:
      return RunTocCommand(options);
    case Command::kCddb:
      return RunCddbCommand(options);
    case Command::kRip:
      return RunRipCommand(options);
    case Command::kNone:
      break;
  }
  std::fputs(UsageText(Command::kNone).c_str(), stdout);
  return kExitOk;
}

}  // namespace

int ReportFailure(const std::string& text) {
  std::fflush(stdout);
  std::fprintf(stderr, "vynrip: %s\n", text.c_str());
  return kExitFailed;
}

}  // namespace vyn::rip

int main(int argc, char** argv) {
  using namespace vyn::rip;
  auto options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!options) {
    std::fprintf(stderr, "vynrip: %s\n%s", options.error().message.c_str(),
                 UsageText(Command::kNone).c_str());
    return kExitUsage;
  }
  if (options->help) {
    std::fputs(UsageText(options->command).c_str(), stdout);
    return kExitOk;
  }
  CoInitialize(nullptr);
  int status = Run(*options);
  CoUninitialize();
  return status;
}
