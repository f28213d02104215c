// Counts the heap allocations this thread makes through operator new, and
// reads the process's resident set size, so that benchmarks can report what
// a chain costs in memory as well as in time.
#ifndef TAMBERLO_BENCH_ALLOC_COUNTER_H_
#define TAMBERLO_BENCH_ALLOC_COUNTER_H_

#include <cstddef>
#include <cstdint>

/// Allocations and bytes requested through the global operator new.
struct AllocCount {
  std::uint64_t allocations = 0;
  std::uint64_t bytes = 0;
};

/// This thread's totals since it started.  The library's own `new` resolves
/// to the replacement in this binary, so its allocations are included.
AllocCount allocationsSoFar();

/// Resident set size in bytes from /proc/self/status, or 0 where there is
/// no such file.
std::uint64_t residentBytes();

#endif  // TAMBERLO_BENCH_ALLOC_COUNTER_H_
