#include "platform/win/local_memory.h"

#include <cstdlib>

#include "platform/win/last_error.h"

HLOCAL LocalAlloc(UINT flags, std::size_t bytes) {
  // Zero bytes still gives a distinct block, as callers may store and free it.
  const std::size_t size = bytes ? bytes : 1;
  HLOCAL memory = (flags & LMEM_ZEROINIT) ? std::calloc(1, size) : std::malloc(size);
  if (!memory)
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return memory;
}

HLOCAL LocalFree(HLOCAL memory) {
  std::free(memory);
  return nullptr;
}
