// vynrip's help texts: the overview and one per command.
#pragma once

#include <string>

#include "tools/vynrip/command_line.h"

namespace vyn::rip {

// The command's usage; Command::kNone gives the overview.
std::string UsageText(Command command);

}  // namespace vyn::rip
