// Building chains and finding versions in them: time, heap allocations and
// bytes per chain, and how both behave as live chains and the null entries
// of absent-family lookups accumulate.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>

#include "alloc_counter.h"
#include "bench_support.h"

namespace {

using benchmark::Counter;

// Chains built by this file so far.  None is ever freed, so this is also
// how many of them are live.
std::int64_t chainsBuilt = 0;

MsgBase* buildChain(int family) {
  ++chainsBuilt;
  return MsgBase::getInstance(family);
}

// Family ids from here up are never built, so every lookup of one is absent.
constexpr std::int32_t kFirstAbsentId = 1000;

/// Reports `count` per item, where every iteration handled `items` items.
Counter perItem(double count, benchmark::State& state, std::int64_t items) {
  return Counter(count / static_cast<double>(state.iterations() * items));
}

/// Reports elapsed time per item, in seconds.
Counter timePerItem(std::int64_t items) {
  return Counter(static_cast<double>(items),
                 Counter::kIsIterationInvariantRate | Counter::kInvert);
}

// Heap use between construction and report(), per item.
class HeapUse {
 public:
  HeapUse() : before_(allocationsSoFar()) {}

  void report(benchmark::State& state, std::int64_t items) const {
    const AllocCount after = allocationsSoFar();
    state.counters["allocs"] =
        perItem(static_cast<double>(after.allocations - before_.allocations),
                state, items);
    state.counters["bytes"] =
        perItem(static_cast<double>(after.bytes - before_.bytes), state, items);
  }

 private:
  AllocCount before_;
};

void chainLoop(benchmark::State& state, int family) {
  const HeapUse heap;
  for (auto _ : state) {
    MsgBase* root = buildChain(family);
    benchmark::DoNotOptimize(root);
  }
  heap.report(state, 1);
}

void BM_GetInstance15(benchmark::State& state) { chainLoop(state, 15); }

void BM_GetInstance16(benchmark::State& state) { chainLoop(state, 16); }

// A chain that an owner builds and frees, as a program that handles
// messages one at a time does: each lands on the memory the last one freed.
void BM_OwnedChain15(benchmark::State& state) {
  const HeapUse heap;
  for (auto _ : state) {
    tamberlo::Chain<Msg15_v5> chain;
    benchmark::DoNotOptimize(&chain.root());
  }
  heap.report(state, 1);
}

// From the root, for each version 5 to 2 and for version 1, which the
// family does not have (the walk goes to the oldest and gives null).
void BM_GetVersion15(benchmark::State& state) {
  const auto versionNo = static_cast<std::int32_t>(state.range(0));
  MsgBase* root = buildChain(15);
  // The first walk inserts the null entries that every later one finds.
  MsgBase* found = root->getVersion(15, versionNo);
  const bool right = versionNo == 1
                         ? found == nullptr
                         : found != nullptr && found->version == versionNo;
  if (!right) state.SkipWithError("getVersion found the wrong version");
  const HeapUse heap;
  for (auto _ : state) {
    benchmark::DoNotOptimize(root->getVersion(15, versionNo));
    benchmark::ClobberMemory();
  }
  heap.report(state, 1);
}

void BM_GetVersionAbsent(benchmark::State& state) {
  MsgBase* root = buildChain(15);
  if (root->getVersion(kFirstAbsentId, 1) != nullptr) {
    state.SkipWithError("an absent family was found");
  }
  const HeapUse heap;
  for (auto _ : state) {
    benchmark::DoNotOptimize(root->getVersion(kFirstAbsentId, 1));
    benchmark::ClobberMemory();
  }
  heap.report(state, 1);
}

// Builds range(0) more family-15 chains in one timed pass and keeps them.
void BM_ChainGrowth(benchmark::State& state) {
  const std::int64_t chains = state.range(0);
  const std::uint64_t rssBefore = residentBytes();
  const HeapUse heap;
  for (auto _ : state) {
    for (std::int64_t i = 0; i < chains; ++i) {
      MsgBase* root = buildChain(15);
      benchmark::DoNotOptimize(root);
    }
  }
  heap.report(state, chains);
  const std::uint64_t rssAfter = residentBytes();
  state.counters["rss"] =
      perItem(static_cast<double>(rssAfter - rssBefore), state, chains);
  state.counters["live_chains"] = Counter(static_cast<double>(chainsBuilt));
  state.counters["time"] = timePerItem(chains);
}

// Looks up range(0) distinct absent families on a fresh root; each lookup
// leaves a null entry behind in the root's `roots`.
void BM_AbsentLookups(benchmark::State& state) {
  const std::int64_t ids = state.range(0);
  MsgBase* root = buildChain(15);
  const std::uint64_t rssBefore = residentBytes();
  const HeapUse heap;
  for (auto _ : state) {
    for (std::int64_t i = 0; i < ids; ++i) {
      const auto id = static_cast<std::int32_t>(kFirstAbsentId + i);
      benchmark::DoNotOptimize(root->getVersion(id, 1));
    }
  }
  heap.report(state, ids);
  const std::uint64_t rssAfter = residentBytes();
  state.counters["rss"] =
      perItem(static_cast<double>(rssAfter - rssBefore), state, ids);
  state.counters["time"] = timePerItem(ids);
}

// A root whose `roots` already holds `ids` null entries besides its own;
// built once per size and shared by the lookups below, which add none.
MsgBase* rootWithAbsentIds(std::int64_t ids) {
  static std::map<std::int64_t, MsgBase*> prepared;
  MsgBase*& root = prepared[ids];
  if (root == nullptr) {
    root = buildChain(15);
    for (std::int64_t i = 0; i < ids; ++i) {
      root->getVersion(static_cast<std::int32_t>(kFirstAbsentId + i), 1);
    }
    root->getVersion(15, 2);  // the walk's own null entries
  }
  return root;
}

void BM_GetVersion15v2_WithAbsentIds(benchmark::State& state) {
  MsgBase* root = rootWithAbsentIds(state.range(0));
  const HeapUse heap;
  for (auto _ : state) {
    benchmark::DoNotOptimize(root->getVersion(15, 2));
    benchmark::ClobberMemory();
  }
  heap.report(state, 1);
}

void BM_GetVersionAbsent_WithAbsentIds(benchmark::State& state) {
  const std::int64_t ids = state.range(0);
  MsgBase* root = rootWithAbsentIds(ids);
  const auto id = static_cast<std::int32_t>(kFirstAbsentId + ids / 2);
  const HeapUse heap;
  for (auto _ : state) {
    benchmark::DoNotOptimize(root->getVersion(id, 1));
    benchmark::ClobberMemory();
  }
  heap.report(state, 1);
}

// Every new chain lands on memory nothing has touched yet, since none is
// ever freed.  This is what the machine charges for the first write to a
// page: the part of getInstance's time that is not the library's code.
// Assumes 4 KiB pages.
constexpr std::size_t kPageBytes = 4096;
constexpr benchmark::IterationCount kPagesTouched = 4096;  // a 16 MiB block

void BM_FirstTouchPage(benchmark::State& state) {
  auto* block = static_cast<unsigned char*>(
      std::malloc(static_cast<std::size_t>(kPagesTouched) * kPageBytes));
  if (block == nullptr) {
    state.SkipWithError("no memory");
    return;
  }
  std::size_t offset = 0;
  for (auto _ : state) {
    block[offset] = 1;
    offset += kPageBytes;
    benchmark::ClobberMemory();
  }
  std::free(block);
}

// A case that builds chains must not run for as many iterations as it
// likes: this count bounds the memory each one holds.
constexpr benchmark::IterationCount kChainsPerRun = 20000;

}  // namespace

// Cases that keep memory run once, whatever --benchmark_repetitions says:
// repeating them would multiply what they hold (or, for the page touch,
// reuse pages the first run already touched).
BENCHMARK(BM_FirstTouchPage)->Iterations(kPagesTouched)->Repetitions(1);
BENCHMARK(BM_GetInstance15)->Iterations(kChainsPerRun)->Repetitions(1);
BENCHMARK(BM_GetInstance16)->Iterations(kChainsPerRun)->Repetitions(1);
BENCHMARK(BM_OwnedChain15);
BENCHMARK(BM_GetVersion15)->DenseRange(1, 5);
BENCHMARK(BM_GetVersionAbsent);
BENCHMARK(BM_ChainGrowth)
    ->RangeMultiplier(10)
    ->Range(1, 1000000)
    ->Iterations(1)
    ->Repetitions(1);
BENCHMARK(BM_AbsentLookups)
    ->RangeMultiplier(10)
    ->Range(1, 100000)
    ->Iterations(1)
    ->Repetitions(1);
BENCHMARK(BM_GetVersion15v2_WithAbsentIds)
    ->RangeMultiplier(10)
    ->Range(1, 100000);
BENCHMARK(BM_GetVersionAbsent_WithAbsentIds)
    ->RangeMultiplier(10)
    ->Range(1, 100000);
