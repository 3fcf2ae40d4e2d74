#pragma once
// Counts every operator new of the test executable, for tests that prove a
// pass allocates nothing per item. Replaces the global operator new, so
// include it in exactly one source file of an executable of its own.
#include <atomic>
#include <cstdlib>
#include <new>

namespace korvalog::testing {
inline std::atomic<long> gAllocations{0};
inline long AllocationCount() { return gAllocations.load(std::memory_order_relaxed); }
}  // namespace korvalog::testing

void* operator new(std::size_t n) {
  korvalog::testing::gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
