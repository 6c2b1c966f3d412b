// Counts the calling thread's heap allocations, for tests that show a path
// allocates nothing. Linking allocation_counter.cpp replaces the global
// operator new of the test program.
#pragma once

#include <cstdint>

namespace vyn::testing {

// Allocations made by `operator new` on the calling thread so far.
std::uint64_t AllocationsOnThisThread();

}  // namespace vyn::testing
