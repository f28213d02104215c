/// \file
/// tamberlo::Chain: an owner for a chain.  It builds a new root and its
/// chain, and frees every version of it when it is destroyed, whichever
/// module built them.
#ifndef TAMBERLO_CHAIN_H_
#define TAMBERLO_CHAIN_H_

#include <tamberlo/construction.h>
#include <tamberlo/export.h>
#include <tamberlo/misuse.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/msg_map.h>

#include <atomic>
#include <cstddef>
#include <new>
#include <utility>

namespace tamberlo {

namespace detail {

/// The record of a chain that an owner holds; the library's.
struct ChainRecord;

/// How to build a root of one class, for the library, which allocates it.
struct RootPlan {
  std::size_t size;   ///< of the root's class
  std::size_t align;  ///< its alignment
  /// Builds the root at `place`, from `links`.
  MsgBase* (*construct)(void* place, MsgMap& links);
  const VersionOps* ops;    ///< the root's class
  Fingerprint fingerprint;  ///< its fingerprint
  /// The bytes the whole chain took when last built, 0 when unknown: with
  /// them the library places every version in one allocation.
  std::size_t chainBytes;
};

/// Builds a root by `plan` from `links`, with its chain, and returns its
/// record, which the caller owns.  Frees everything if anything throws.
TAMBERLO_API ChainRecord* buildChain(const RootPlan& plan, MsgMap& links);
/// The root of a chain.
TAMBERLO_API MsgBase* rootOf(const ChainRecord& record) noexcept;
/// The bytes the chain would take in one allocation, for the next build.
TAMBERLO_API std::size_t chainBytesOf(const ChainRecord& record) noexcept;
/// Gives every stored field of the chain the value a fresh chain holds.
/// Throws std::logic_error naming the class where one lists no fields.
TAMBERLO_API void resetChain(ChainRecord& record);
/// Destroys every version of the chain, the oldest first, and frees it.
TAMBERLO_API void freeChain(ChainRecord* record) noexcept;

template <typename V>
MsgBase* constructAt(void* place, MsgMap& links) {
  return new (place) V(links);
}

}  // namespace detail

/// Owns a chain: a new root of `V`, built from an empty map or from the
/// map given, with every version its construction built.
///
///     tamberlo::Chain<Msg15_v5> chain;
///     chain->getVersion<Msg15_v2>()->alt = 32808;
///
/// Destroying it destroys every version, whichever module built it, the
/// oldest first, and each takes its names out of the graph: the root's
/// announcement to the families it joined is taken back, and a root that
/// joined through one of them leaves the graph.  It can be moved, not
/// copied; a moved-from Chain owns nothing, and using it throws
/// std::logic_error.  Works for the library's families and for your own,
/// when each of their constructors is one tamberlo::buildOlder call.
template <typename V>
class Chain {
 public:
  /// A new root of V from an empty map: a chain of its own.
  Chain() {
    MsgMap none;
    build(none);
  }
  /// A new root of V from `links`, which may name the roots of other
  /// families, to which it announces itself.
  explicit Chain(MsgMap& links) { build(links); }

  Chain(const Chain&) = delete;
  Chain& operator=(const Chain&) = delete;
  /// Takes `other`'s chain; `other` owns nothing afterwards.
  Chain(Chain&& other) noexcept
      : record_(std::exchange(other.record_, nullptr)),
        root_(std::exchange(other.root_, nullptr)) {}
  /// Frees this chain and takes `other`'s.
  Chain& operator=(Chain&& other) noexcept {
    if (this != &other) {
      detail::freeChain(record_);
      record_ = std::exchange(other.record_, nullptr);
      root_ = std::exchange(other.root_, nullptr);
    }
    return *this;
  }
  /// Frees every version of the chain.
  ~Chain() { detail::freeChain(record_); }

  /// The root.
  [[nodiscard]] V& root() const {
    if (root_ == nullptr) movedFrom();
    return *root_;
  }
  /// The root.
  V& operator*() const { return root(); }
  /// The root's members.
  V* operator->() const { return &root(); }

  /// Gives every stored field of every version the value that a fresh
  /// chain holds: the default it declares, or a value-initialised one.
  /// Throws std::logic_error naming a class of the chain that lists no
  /// fields (TAMBERLO_FIELDS), whose stored fields it cannot tell, and
  /// changes nothing then.
  void reset() {
    if (root_ == nullptr) movedFrom();
    detail::resetChain(*record_);
  }

 private:
  [[noreturn]] static void movedFrom() {
    detail::throwMisuse("tamberlo::Chain<", detail::classNameOf<V>(),
                        ">: used after it was moved from");
  }

  void build(MsgMap& links) {
    static_assert(sizeof(V) <= std::size_t{512} * 1024 - 32,
                  "tamberlo::Chain of a version of about 512 KiB or more: "
                  "hold its large data through a pointer");
    // The size the last chain took: in one allocation from then on.  Per
    // module, and only ever a hint.
    static std::atomic<std::size_t> lastBytes{0};
    const detail::RootPlan plan{sizeof(V),
                                alignof(V),
                                &detail::constructAt<V>,
                                &detail::kOps<V>,
                                detail::kFingerprint<V>,
                                lastBytes.load(std::memory_order_relaxed)};
    record_ = detail::buildChain(plan, links);
    root_ = static_cast<V*>(detail::rootOf(*record_));
    lastBytes.store(detail::chainBytesOf(*record_), std::memory_order_relaxed);
  }

  detail::ChainRecord* record_ = nullptr;
  V* root_ = nullptr;
};

}  // namespace tamberlo

#endif  // TAMBERLO_CHAIN_H_
