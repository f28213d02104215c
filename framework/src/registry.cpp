// The library's records about version objects, for the whole process and
// every module: a family's shared library, its clients and this library
// all build through the same exported functions, so each sees the others'
// objects.  One lock guards the records; the objects' own maps are touched
// only on the thread that uses their joined chains.
#include "registry.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <typeinfo>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#if __has_include(<cxxabi.h>)
#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#endif

namespace {

using tamberlo::registry::Change;

// An announcement of a joined root, kept for as long as the root lives.
struct Join {
  std::int32_t familyId;
  bool pending;
  std::vector<Change> changes;
  std::vector<MsgBase*> named;  // other families' objects in its upstream
};

// A lock taken for a few instructions at a time, by every construction:
// cheaper than a mutex when nobody else holds it, which is nearly always.
class SpinLock {
 public:
  void lock() noexcept {
    while (held_.test_and_set(std::memory_order_acquire)) {
      std::this_thread::yield();
    }
  }
  void unlock() noexcept { held_.clear(std::memory_order_release); }

 private:
  std::atomic_flag held_ = ATOMIC_FLAG_INIT;
};

// The class each version object was built as, by its address: an open
// table with linear probing, which inserts without allocating but when it
// grows, and erases by moving later entries back.
class Identities {
 public:
  // Throws only when growing fails, with nothing changed.
  void put(const MsgBase* object, const std::type_info* type) {
    if ((used_ + 1) * 2 > slots_.size()) grow();
    Slot& slot = slots_[find(object)];
    if (slot.object == nullptr) ++used_;
    slot = {object, type};
  }
  [[nodiscard]] const std::type_info* get(const MsgBase* object) const {
    if (slots_.empty()) return nullptr;
    return slots_[find(object)].type;
  }
  void erase(const MsgBase* object) noexcept {
    if (slots_.empty()) return;
    std::size_t hole = find(object);
    if (slots_[hole].object == nullptr) return;
    --used_;
    // Each later entry of the run moves into the hole unless its home lies
    // cyclically after the hole and at or before the entry.
    for (std::size_t at = next(hole); slots_[at].object != nullptr;
         at = next(at)) {
      const std::size_t home = homeOf(slots_[at].object);
      if (((at - home) & mask()) >= ((at - hole) & mask())) {
        slots_[hole] = slots_[at];
        hole = at;
      }
    }
    slots_[hole] = {};
  }

 private:
  struct Slot {
    const MsgBase* object = nullptr;
    const std::type_info* type = nullptr;
  };

  [[nodiscard]] std::size_t mask() const noexcept { return slots_.size() - 1; }
  [[nodiscard]] std::size_t next(std::size_t at) const noexcept {
    return (at + 1) & mask();
  }
  [[nodiscard]] std::size_t homeOf(const MsgBase* object) const noexcept {
    // Fibonacci hashing: objects lie at multiples of their alignment.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
    const auto bits = reinterpret_cast<std::uintptr_t>(object);
    return static_cast<std::size_t>(
               (static_cast<std::uint64_t>(bits) * 0x9E3779B97F4A7C15U) >>
               32U) &
           mask();
  }
  // The slot that holds `object`, or the empty one where it would go.
  [[nodiscard]] std::size_t find(const MsgBase* object) const noexcept {
    std::size_t at = homeOf(object);
    while (slots_[at].object != nullptr && slots_[at].object != object) {
      at = next(at);
    }
    return at;
  }
  void grow() {
    std::vector<Slot> old(slots_.empty() ? 64 : slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (slot.object != nullptr) slots_[find(slot.object)] = slot;
    }
  }

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

struct Records {
  SpinLock lock;
  Identities identities;
  std::unordered_map<MsgBase*, Join> joins;
  // Every object a join names (written to, replaced, or in upstream), to
  // the root whose join it is.
  std::unordered_multimap<MsgBase*, MsgBase*> mentions;
};

// Never destroyed: version objects in static storage may be destroyed
// after this library's own statics, and still report here.
Records& records() {
  // NOLINTNEXTLINE(cppcoreguidelines-owning-memory,cppcoreguidelines-avoid-non-const-global-variables)
  static auto* const all = new Records;
  return *all;
}

// A class's name as its source spells it, where the toolchain can tell.
std::string className(const std::type_info& type) {
#if __has_include(<cxxabi.h>)
  int status = 0;
  const std::unique_ptr<char, void (*)(void*)> name(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
  if (status == 0 && name != nullptr) return name.get();
#endif
  return type.name();
}

// The objects a join mentions, each once per mention.
template <typename F>
void forEachMention(const Join& join, F f) {
  for (const Change& c : join.changes) {
    f(c.object);
    if (c.previous != nullptr) f(c.previous);
  }
  for (MsgBase* o : join.named) f(o);
}

void eraseMention(Records& all, MsgBase* object, MsgBase* root) noexcept {
  auto [at, end] = all.mentions.equal_range(object);
  for (; at != end; ++at) {
    if (at->second == root) {
      all.mentions.erase(at);
      return;
    }
  }
}

void eraseMentions(Records& all, MsgBase* root, const Join& join) noexcept {
  forEachMention(join,
                 [&](MsgBase* object) { eraseMention(all, object, root); });
}

// A root's chain, newest first, each object once however its `older`
// links were rewritten.
std::vector<const MsgBase*> chainOf(const MsgBase* root) {
  std::vector<const MsgBase*> chain;
  std::unordered_set<const MsgBase*> seen;
  for (const MsgBase* x = root; x != nullptr && seen.insert(x).second;) {
    chain.push_back(x);
    const auto at = x->older.find(x->id);
    x = at == x->older.end() ? nullptr : at->second;
  }
  return chain;
}

// The classes of the first version number that `a`'s and `b`'s chains both
// hold with two different recorded classes; nulls when there is none.
std::pair<const std::type_info*, const std::type_info*> clash(
    const Records& all, const MsgBase* a, const MsgBase* b) {
  const std::vector<const MsgBase*> bs = chainOf(b);
  for (const MsgBase* x : chainOf(a)) {
    for (const MsgBase* y : bs) {
      if (y->version != x->version) continue;
      if (y->id != x->id || y->version != x->version) continue;
      const std::type_info* tx = all.identities.get(x);
      const std::type_info* ty = all.identities.get(y);
      if (tx != nullptr && ty != nullptr && *tx != *ty) return {tx, ty};
    }
  }
  return {nullptr, nullptr};
}

// Takes `object`, which is being destroyed, out of `root`'s join: an entry
// it replaced is no longer restored, its own maps are no longer restored,
// and the root's upstream no longer names it.
void forget(Records& all, MsgBase* root, Join& join,
            const MsgBase* object) noexcept {
  for (auto c = join.changes.begin(); c != join.changes.end();) {
    if (c->previous == object) {
      c->previous = nullptr;
      c->existed = false;
    }
    if (c->object != object) {
      ++c;
      continue;
    }
    if (c->previous != nullptr) eraseMention(all, c->previous, root);
    c = join.changes.erase(c);
  }
  for (auto n = join.named.begin(); n != join.named.end();) {
    n = *n == object ? join.named.erase(n) : std::next(n);
  }
  for (auto u = root->upstream.begin(); u != root->upstream.end();) {
    u = u->second == object ? root->upstream.erase(u) : std::next(u);
  }
}

}  // namespace

void tamberlo::registry::addJoin(MsgBase* root, std::int32_t familyId,
                                 const std::vector<Change>& changes,
                                 const std::vector<MsgBase*>& named) {
  Records& all = records();
  Join join{familyId, true, changes, named};
  const std::lock_guard<SpinLock> held(all.lock);
  const auto [at, added] = all.joins.emplace(root, std::move(join));
  if (!added) return;  // the same address announcing twice: keep the first
  try {
    forEachMention(at->second, [&](MsgBase* object) {
      all.mentions.emplace(object, root);
    });
  } catch (...) {
    eraseMentions(all, root, at->second);
    all.joins.erase(at);
    throw;
  }
}

void tamberlo::registry::undo(MsgBase* root, std::int32_t familyId,
                              const std::vector<Change>& changes) noexcept {
  for (auto c = changes.rbegin(); c != changes.rend(); ++c) {
    const auto entry = c->object->roots.find(familyId);
    if (entry == c->object->roots.end() || entry->second != root) continue;
    if (c->existed) {
      entry->second = c->previous;
    } else {
      c->object->roots.erase(entry);
    }
  }
}

void tamberlo::registry::recordIdentity(const MsgBase* object,
                                        const std::type_info& type) {
  Records& all = records();
  const std::lock_guard<SpinLock> held(all.lock);
  all.identities.put(object, &type);
}

void tamberlo::registry::commitJoin(MsgBase* root) {
  Records& all = records();
  const std::lock_guard<SpinLock> held(all.lock);
  const auto at = all.joins.find(root);
  if (at == all.joins.end() || !at->second.pending) return;
  // The roots of this family already in the graph: each one this
  // announcement replaced, and each recorder that is one itself.
  for (const Change& c : at->second.changes) {
    for (MsgBase* other : {c.existed ? c.previous : nullptr, c.object}) {
      if (other == nullptr || other == root || other->id != root->id) continue;
      const auto [holder, claimant] = clash(all, other, root);
      if (holder != nullptr) {
        throw std::logic_error(
            "tamberlo: " + className(*claimant) + " claims family " +
            std::to_string(root->id) + " in a joined graph where " +
            className(*holder) + " holds it: family ids must be unique");
      }
    }
  }
  at->second.pending = false;
}

void tamberlo::detail::settleAnnouncement(MsgBase* root, bool stands) noexcept {
  Records& all = records();
  const std::lock_guard<SpinLock> held(all.lock);
  const auto at = all.joins.find(root);
  if (at == all.joins.end()) return;
  if (stands) {
    at->second.pending = false;
    return;
  }
  registry::undo(root, at->second.familyId, at->second.changes);
  eraseMentions(all, root, at->second);
  all.joins.erase(at);
}

void tamberlo::detail::released(MsgBase* object) noexcept {
  Records& all = records();
  const std::lock_guard<SpinLock> held(all.lock);
  all.identities.erase(object);
  if (const auto at = all.joins.find(object); at != all.joins.end()) {
    registry::undo(object, at->second.familyId, at->second.changes);
    eraseMentions(all, object, at->second);
    all.joins.erase(at);
  }
  // Whatever another root's join says of this object goes with it.
  while (true) {
    const auto m = all.mentions.find(object);
    if (m == all.mentions.end()) break;
    MsgBase* root = m->second;
    all.mentions.erase(m);
    const auto at = all.joins.find(root);
    if (at != all.joins.end()) forget(all, root, at->second, object);
  }
}

bool tamberlo::detail::builtAs(const MsgBase* object,
                               const void* type) noexcept {
  Records& all = records();
  const std::lock_guard<SpinLock> held(all.lock);
  const std::type_info* built = all.identities.get(object);
  return built == nullptr ||
         *built == *static_cast<const std::type_info*>(type);
}
