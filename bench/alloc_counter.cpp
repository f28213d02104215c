// Replaces the global operator new and operator delete of this binary.  The
// other forms (array, nothrow) forward to these by default; the aligned
// forms are left alone, since nothing here allocates over-aligned types.
#include "alloc_counter.h"

#include <cstdlib>
#include <fstream>
#include <new>
#include <string>

namespace {
// Per thread, so counting needs no atomics and benchmarks on one thread do
// not see another thread's allocations.
thread_local AllocCount counted;
}  // namespace

AllocCount allocationsSoFar() { return counted; }

std::uint64_t residentBytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      std::uint64_t kib = 0;
      status >> kib;
      return kib * 1024;
    }
    status.ignore(1 << 16, '\n');
  }
  return 0;
}

void* operator new(std::size_t size) {
  ++counted.allocations;
  counted.bytes += size;
  for (;;) {
    if (void* p = std::malloc(size != 0 ? size : 1)) return p;
    std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw std::bad_alloc();
    handler();
  }
}

void operator delete(void* p) noexcept { std::free(p); }

void operator delete(void* p, std::size_t) noexcept { std::free(p); }
