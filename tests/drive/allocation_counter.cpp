#include "tests/drive/allocation_counter.h"

#include <cstdlib>
#include <new>

namespace vyn::testing {
namespace {

thread_local std::uint64_t t_allocations = 0;

void* Allocate(std::size_t size) {
  ++t_allocations;
  return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

std::uint64_t AllocationsOnThisThread() {
  return t_allocations;
}

}  // namespace vyn::testing

void* operator new(std::size_t size) {
  if (void* memory = vyn::testing::Allocate(size))
    return memory;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return vyn::testing::Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return vyn::testing::Allocate(size);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}
