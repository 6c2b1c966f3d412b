// vynrip's exit statuses, for scripts.
#pragma once

namespace vyn::rip {

inline constexpr int kExitOk = 0;           // every track ended without error
inline constexpr int kExitFailed = 1;       // the control or a track reported an error
inline constexpr int kExitUsage = 2;        // a wrong command line
inline constexpr int kExitCancelled = 130;  // Ctrl-C, as shells report SIGINT

}  // namespace vyn::rip
