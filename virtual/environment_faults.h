// Faults for a whole process, read from the environment when the library
// starts, so a test can run an unmodified host against a faulty drive:
//
//   VYN_VIRTUAL_JITTER=bound[:seed]     READ CD jitter in stereo frames
//   VYN_VIRTUAL_UNREADABLE=a[-b],...    unreadable LBAs (ranges inclusive)
//   VYN_VIRTUAL_DELAY_MS=n              complete each request n ms late
//   VYN_VIRTUAL_NEVER_COMPLETE=1        never complete execute requests
//   VYN_VIRTUAL_IMMEDIATE=1             complete execute requests before
//                                       returning, as a synchronous driver
//
// They apply to every drive. Malformed values are reported on stderr and
// ignored. A value type; parsing is pure.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vyn::virtual_drive {

struct EnvironmentFaults {
  struct Range {
    std::int32_t first;
    std::int32_t count;
  };
  std::uint32_t jitter_bound = 0;
  std::uint32_t jitter_seed = 1;
  std::vector<Range> unreadable;
  std::uint32_t delay_ms = 0;
  bool never_complete = false;
  bool immediate = false;
};

// `lookup` returns a variable's value, or null when it is not set.
EnvironmentFaults ParseEnvironmentFaults(const std::function<const char*(const char*)>& lookup);

}  // namespace vyn::virtual_drive
