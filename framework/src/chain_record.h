// What the library keeps about a chain, only inside the chain or for its
// owner: the record of the versions a root's construction built, named by
// the root, and the construction under way on each thread.
#ifndef TAMBERLO_SRC_CHAIN_RECORD_H_
#define TAMBERLO_SRC_CHAIN_RECORD_H_

#include <tamberlo/chain.h>
#include <tamberlo/construction.h>
#include <tamberlo/msg_base.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace tamberlo::detail {

/// One version a construction built, and how to undo it.
struct Built {
  MsgBase* object;            // where it is placed
  std::uint64_t fingerprint;  // of its class; 0 when unknown
  // Its class's name, for messages while its module is loaded; null when
  // unknown.
  const ClassId* id;
  void (*destroy)(MsgBase*) noexcept;  // null: not for the library to end
  void (*reset)(MsgBase& live, const MsgBase& fresh);
  std::uint32_t size;   // of its allocation, when it has one of its own
  std::uint32_t align;  // and its alignment
  bool constructed;     // its constructor returned
  bool ownMemory;       // allocated on its own, not in the chain's block
};

/// `count` entries in a row, as a range: the one place that steps through
/// them by address.
class Entries {
 public:
  Entries() noexcept = default;
  Entries(Built* first, std::size_t count) noexcept
      : first_(first), count_(count) {}
  Built* begin() const noexcept { return first_; }
  // NOLINTNEXTLINE(cppcoreguidelines-pro-bounds-pointer-arithmetic)
  Built* end() const noexcept { return first_ + count_; }
  std::size_t size() const noexcept { return count_; }
  Built& operator[](std::size_t i) const noexcept {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-bounds-pointer-arithmetic)
    return first_[i];
  }

 private:
  Built* first_ = nullptr;
  std::size_t count_ = 0;
};

/// A version of a root joined to a graph, as a root that records it keeps
/// it: so that a root of another class claiming the family is refused, and
/// so that the root is found when an object it was built from goes, without
/// reading an object the record does not know alive.
struct ChainRecord;
struct Joined {
  MsgBase* root;
  ChainRecord* record;  // the root's
  std::int32_t familyId;
  std::int32_t versionNo;
  std::uint64_t fingerprint;
};

/// The record of one root's construction: every version it built, the root
/// first, then each older version after the one that built it, so that
/// the oldest comes last.  The root names it in its `roots` map under a
/// negative key (recordNamedBy): no family's, and in the one map that
/// checks of the chain's wiring, today's and those compiled before, leave
/// to the library.
struct ChainRecord {
  MsgBase* root = nullptr;
  Built* built = nullptr;  // `count` entries
  std::size_t count = 0;
  bool builtInBlock = false;
  // The allocation that holds this record and the versions placed in it.
  unsigned char* block = nullptr;
  std::size_t blockSize = 0;
  std::size_t blockAlign = 0;
  std::size_t blockUsed = 0;
  std::size_t chainBytes = 0;  // what the chain needs in one block
  // How the owner built the root, for a prototype to reset from.
  RootPlan plan{};
  // An owner frees the chain; the chain of a root built by its own
  // constructor stays, with this record, which holds its first versions.
  bool owned = false;
  ChainRecord* prototype = nullptr;
  // The roots recorded by this chain's root, each version of each, and those
  // that another of their family has replaced since, which stay joined
  // through what their maps name; and the records that list this chain's
  // root so.  Kept both ways, so that either end's going takes itself out
  // of the other, whatever the maps say by then.  Null until one joins.
  std::vector<Joined>* joined = nullptr;
  std::vector<ChainRecord*>* listedIn = nullptr;
};

/// The versions `record` built, the root first.
inline Entries entriesOf(const ChainRecord& record) noexcept {
  return {record.built, record.count};
}

/// `record`'s root is listed by no record any more.
void dropListings(ChainRecord& record) noexcept;
/// `record` lists no root any more.
void dropJoined(ChainRecord& record) noexcept;

/// The family id of a record's holder: no version's (family ids are not
/// negative).
inline constexpr std::int32_t kRecordFamily =
    std::numeric_limits<std::int32_t>::min();

/// Where the record of a root built by its own constructor lies: in an
/// object of its own, a MsgBase of no family with empty maps, so that the
/// map entry that names it names what its type says.
struct RecordHolder : MsgBase {
  RecordHolder();
  ChainRecord record;
};

/// A record in an owner's block lies a multiple of this far into the
/// block, which the root begins.
inline constexpr std::size_t kRecordStep = 16;

// A 30-bit digest of an object's address, which a holder's key carries so
// that a copy, which copies the entry, holds it under a key that is not
// its own.
inline std::uint32_t addressDigest(const MsgBase* object) noexcept {
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
  const auto address =
      static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(object));
  return static_cast<std::uint32_t>((address * 0x9E3779B97F4A7C15U) >> 34U);
}

/// How many kRecordSteps an owner's record may lie into its block.
inline constexpr std::size_t kMaxRecordSteps = 0x7ffe;

// The keys under which a root names its own record in its `roots` map,
// each of them negative, so no family's, and none the holder's family id.
// An owner's record lies `steps` (1 to kMaxRecordSteps) kRecordSteps into
// the root's block, and the entry names the root itself, which no copy's
// does.  Another's lies in a holder, which the entry names, as a copy's
// entry does: its key has bit 30 set, over 30 bits of the root's digest.
inline constexpr std::uint32_t kHolderKey = 1U << 30U;
inline std::int32_t ownerKey(std::size_t steps) noexcept {
  return std::numeric_limits<std::int32_t>::min() +
         static_cast<std::int32_t>(steps);
}
inline std::int32_t holderKey(const MsgBase* root) noexcept {
  return std::numeric_limits<std::int32_t>::min() +
         static_cast<std::int32_t>(kHolderKey | addressDigest(root));
}

/// The entry by which `root` names its own record, and that record, or
/// roots.end() and null.  Reads only `root`'s `roots` map and, for an entry
/// that is the root's own, the record it says where to find.  Inline:
/// every typed lookup asks.
struct RecordEntry {
  MsgMap::const_iterator entry;
  ChainRecord* record;
};
inline RecordEntry findRecord(const MsgBase* root) noexcept {
  // Negative keys come first; the library writes only this one there.
  for (auto at = root->roots.begin(); at != root->roots.end() && at->first < 0;
       ++at) {
    const auto bits =
        static_cast<std::uint32_t>(static_cast<std::int64_t>(at->first) -
                                   std::numeric_limits<std::int32_t>::min());
    MsgBase* named = at->second;
    ChainRecord* record = nullptr;
    if ((bits & kHolderKey) != 0) {
      if ((bits & (kHolderKey - 1)) == addressDigest(root) &&
          named != nullptr && named->id == kRecordFamily) {
        record = &static_cast<RecordHolder*>(named)->record;
      }
    } else if (named == root && bits != 0 && bits <= kMaxRecordSteps) {
      // NOLINTBEGIN(cppcoreguidelines-pro-type-reinterpret-cast,cppcoreguidelines-pro-bounds-pointer-arithmetic)
      record = std::launder(reinterpret_cast<ChainRecord*>(
          reinterpret_cast<unsigned char*>(named) + bits * kRecordStep));
      // NOLINTEND(cppcoreguidelines-pro-type-reinterpret-cast,cppcoreguidelines-pro-bounds-pointer-arithmetic)
    }
    if (record != nullptr && record->root == root) return {at, record};
  }
  return {root->roots.end(), nullptr};
}

/// The record that `root` names as its own, or null.
inline ChainRecord* recordNamedBy(const MsgBase* root) noexcept {
  return findRecord(root).record;
}

/// The record of the chain that `object` belongs to: its own, or that of a
/// version above it along the `upstream` links of its family.  Null when
/// none names one (a chain wired by hand, or built by earlier code).
ChainRecord* recordOf(MsgBase* object) noexcept;

/// The entry of `object` in `record`, or null.  Inline, and from the
/// oldest, which most typed lookups ask for.
inline const Built* entryOf(const ChainRecord& record,
                            const MsgBase* object) noexcept {
  const Entries entries = entriesOf(record);
  for (std::size_t i = entries.size(); i-- > 0;) {
    if (entries[i].object == object) return &entries[i];
  }
  return nullptr;
}

/// One `roots` entry that an announcement wrote, with what it replaced.
struct Change {
  MsgBase* object;
  bool existed;
  MsgBase* previous;
};

/// A root's announcement while its construction is under way: the entries
/// it wrote where none named a root, and the recorders where another root
/// of its family is named, which it replaces only once its construction
/// stands.
struct Pending {
  MsgBase* root;
  std::vector<Change> changes;
  std::vector<MsgBase*> deferred;
};

/// Announces `root` of `familyId` to the objects that `links` names under
/// other ids, climbing to those that record it: writes it where none names
/// a root, and defers the rest.  Throws with nothing written.
Pending announce(MsgBase* root, std::int32_t familyId, const MsgMap& links);
/// setRoot: announces `root` of `familyId` from `from`, recording it at
/// once wherever the climb ends, over what was there.  Throws with nothing
/// written.
void announceNow(MsgBase* root, std::int32_t familyId, MsgBase* from);
/// Keeps `pending` until `pending.root`'s construction ends.
void announced(Pending& pending);
/// Forgets any announcement of an earlier object at `object`'s address.
void forgetPending(const MsgBase* object) noexcept;
/// Takes back `root`'s pending announcement on this thread, if it has one:
/// restores what it wrote.  Whether it had one.
bool takeBackPending(MsgBase* root) noexcept;
/// Lets `root`'s pending announcement on this thread stand, if it has one:
/// writes what it deferred, after checking the classes of `entries` (the
/// root's chain) against those of each root of its
/// family that its recorders keep: std::logic_error naming the root's
/// class when one holds a version under the same number as another class.
/// Reads no root it replaces, which code built before may have destroyed
/// without saying so.
void standPending(MsgBase* root, ChainRecord* own, Entries entries);

/// Restores each entry in `changes` that still names `root`, newest first.
void undo(MsgBase* root, std::int32_t familyId,
          const std::vector<Change>& changes) noexcept;

/// Takes `object`, which is being destroyed, out of its graph: the roots
/// joined through it leave the graph, its announcement is taken back, and
/// its older version no longer names it.  Climbs only live objects: every
/// object that an original's `upstream` names is alive.
void unlink(MsgBase* object) noexcept;

/// A class's name as a message gives it: the anonymous namespace spelled
/// alike whichever compiler spelled the name.
std::string spelled(std::string_view name);

/// Frees the record of a root alone in its chain that no owner frees, as
/// the root is destroyed.  A longer chain without an owner stays, record
/// and versions, as it always does.
void releaseRecordOf(MsgBase* root) noexcept;

/// Whether `object` is an original rather than a copy: every constructor
/// records the object itself in `peer` under its own id.
bool isOriginal(const MsgBase* object) noexcept;

}  // namespace tamberlo::detail

#endif  // TAMBERLO_SRC_CHAIN_RECORD_H_
