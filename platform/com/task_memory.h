// The task allocator: memory that one side of an interface allocates and the
// other frees (ProgIDFromCLSID's result, for one).
#pragma once

#include <cstddef>

void* CoTaskMemAlloc(std::size_t bytes);
void CoTaskMemFree(void* memory);
