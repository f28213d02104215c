// MsgBase::getInstance lives with the catalogue because it is the one place
// that knows which families the library can build.
#include <tamberlo/chain.h>
#include <tamberlo/msg15_v5.h>
#include <tamberlo/msg16_v2.h>
#include <tamberlo/msg_base.h>

#include <atomic>
#include <cstddef>

namespace {

// A root of V with its chain, as an owner builds it, but owned by nobody:
// it lives until the process ends.  The size the last one took lets every
// later one lie in one allocation.
template <typename V>
MsgBase* build(MsgMap& links) {
  static std::atomic<std::size_t> lastBytes{0};
  const tamberlo::detail::RootPlan plan{
      sizeof(V),
      alignof(V),
      &tamberlo::detail::constructAt<V>,
      &tamberlo::detail::kOps<V>,
      tamberlo::detail::kFingerprint<V>,
      lastBytes.load(std::memory_order_relaxed)};
  const tamberlo::detail::ChainRecord& record =
      *tamberlo::detail::buildChain(plan, links);
  lastBytes.store(tamberlo::detail::chainBytesOf(record),
                  std::memory_order_relaxed);
  return tamberlo::detail::rootOf(record);
}

}  // namespace

MsgBase* MsgBase::getInstance(int type) {
  // Never written: every root is built from an empty map, so it records
  // itself as its family's root and no two chains are joined.  Being only
  // read, it is safe to share between threads.
  static MsgMap registry;
  switch (type) {
    case 15:
      return build<Msg15_v5>(registry);
    case 16:
      return build<Msg16_v2>(registry);
    default:
      return nullptr;
  }
}
