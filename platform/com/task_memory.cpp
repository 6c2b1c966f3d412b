#include "platform/com/task_memory.h"

#include <cstdlib>

void* CoTaskMemAlloc(std::size_t bytes) {
  return std::malloc(bytes ? bytes : 1);
}
void CoTaskMemFree(void* memory) {
  std::free(memory);
}
