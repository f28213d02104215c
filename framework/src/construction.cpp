// The construction transaction of each thread, and the records of chains.
// A root's construction, however many modules its versions' constructors
// are compiled in, is one transaction: each buildOlder call asks here where
// to build its older version, so the library knows, without guessing, which
// object under construction is an older version and which a new root; a
// failure anywhere frees every version built since the failing call began.
// When the root's construction stands, its versions become its chain's
// record, which the root names and an owner frees.
#include <tamberlo/chain.h>
#include <tamberlo/construction.h>
#include <tamberlo/msg_base.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "chain_record.h"
#include "construction_state.h"

namespace tamberlo::detail {

// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
TAMBERLO_THREAD Construction* tConstruction TAMBERLO_TLS_MODEL = nullptr;

namespace {

Construction& firstConstruction() {
  // Freed when the thread ends; objects destroyed after that, statics of
  // the main thread among them, find none.
  struct Owner {
    std::unique_ptr<Construction> construction;
    Owner() = default;
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    ~Owner() { tConstruction = nullptr; }
  };
  thread_local Owner owner;
  owner.construction = std::make_unique<Construction>();
  tConstruction = owner.construction.get();
  return *tConstruction;
}

inline Construction& here() {
  Construction* c = tConstruction;
  return c != nullptr ? *c : firstConstruction();
}

// Alignments are powers of two.
constexpr std::size_t roundUp(std::size_t n, std::size_t align) {
  return (n + align - 1) & ~(align - 1);
}

void* allocate(std::size_t size, std::size_t align) {
  if (align > __STDCPP_DEFAULT_NEW_ALIGNMENT__) {
    return ::operator new (size, std::align_val_t{align});
  }
  return ::operator new(size);
}

// Unsized: Clang leaves sized deallocation off by default.
void release(void* memory, std::size_t /*size*/, std::size_t align) noexcept {
  if (align > __STDCPP_DEFAULT_NEW_ALIGNMENT__) {
    ::operator delete (memory, std::align_val_t{align});
  } else {
    ::operator delete(memory);
  }
}

// A MsgBase with four empty maps, which a record's MsgBase part copies:
// the protected constructor would record the object in its own maps.
const MsgBase& blank() {
  struct Blank : MsgBase {
    Blank() : MsgBase(kRecordFamily, 0, none()) {
      older.clear();
      roots.clear();
    }
    static MsgMap& none() {
      static MsgMap empty;
      return empty;
    }
  };
  static const Blank value;
  return value;
}

// Room in the record's block for `size` bytes aligned to `align`, or null.
void* takeFromBlock(ChainRecord& record, std::size_t size, std::size_t align) {
  if (align > record.blockAlign) return nullptr;
  const std::size_t at = roundUp(record.blockUsed, align);
  if (at > record.blockSize || size > record.blockSize - at) return nullptr;
  record.blockUsed = at + size;
  // NOLINTNEXTLINE(cppcoreguidelines-pro-bounds-pointer-arithmetic)
  return record.block + at;
}

// Frees a record and the block it lies in, whose versions are gone: a
// holder at its start, for a record without an owner.
void freeRecord(ChainRecord* record) noexcept {
  if (!record->builtInBlock) delete[] record->built;
  dropListings(*record);
  dropJoined(*record);
  unsigned char* block = record->block;
  const std::size_t size = record->blockSize;
  const std::size_t align = record->blockAlign;
  if (record->owned) {
    record->~ChainRecord();
  } else {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
    std::launder(reinterpret_cast<RecordHolder*>(block))->~RecordHolder();
  }
  release(block, size, align);
}

// Ends the version of `entry`: destroys it if it was built, frees its
// memory if it has its own.
void end(const Built& entry) noexcept {
  if (entry.constructed && entry.destroy != nullptr) {
    entry.destroy(entry.object);
  }
  if (entry.ownMemory) release(entry.object, entry.size, entry.align);
}

// Frees every version from `mark` on, the newest first.
void rollBack(Construction& c, std::size_t mark) noexcept {
  while (c.entries.size() > mark) {
    const Built entry = c.entries.back();
    c.entries.pop_back();
    end(entry);
  }
}

// A record for a root built by its own constructor: a holder at the start
// of a block that also holds the first older version, `size` bytes aligned
// to `align`, and the entries of a chain of a few versions.  It is part of
// the chain, which no owner frees.
ChainRecord* newRootRecord(std::size_t size, std::size_t align) {
  constexpr std::size_t kEntries = 8;
  align = std::max({align, alignof(RecordHolder), alignof(Built)});
  const std::size_t used = sizeof(RecordHolder);
  const std::size_t bytes =
      roundUp(roundUp(used, align) + size, alignof(Built)) +
      kEntries * sizeof(Built);
  auto* block = static_cast<unsigned char*>(allocate(bytes, align));
  ChainRecord* record = nullptr;
  try {
    // The first one builds the blank it copies, which allocates.
    record = &(new (block) RecordHolder())->record;
  } catch (...) {
    release(block, bytes, align);
    throw;
  }
  record->block = block;
  record->blockSize = bytes;
  record->blockAlign = align;
  record->blockUsed = used;
  return record;
}

// The entry by which `root` names `record`, its own.
MsgMap::iterator nameRecord(MsgBase* root, ChainRecord* record) {
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
  auto* at = reinterpret_cast<unsigned char*>(record);
  if (record->owned &&
      // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
      record->block == reinterpret_cast<unsigned char*>(root)) {
    const auto steps =
        static_cast<std::size_t>(at - record->block) / kRecordStep;
    return root->roots.emplace_hint(root->roots.begin(), ownerKey(steps), root);
  }
  return root->roots.emplace_hint(
      root->roots.begin(), holderKey(root),
      // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
      std::launder(reinterpret_cast<RecordHolder*>(record->block)));
}

// Where the older version of the construction at root frame `f` goes: in
// its record's block where there is room, else an allocation of its own.
void* placeOlder(Frame& f, std::size_t size, std::size_t align,
                 bool& ownMemory) {
  if (f.record == nullptr) {
    f.record = newRootRecord(size, align);
    f.ownsRecord = true;
  }
  if (void* place = takeFromBlock(*f.record, size, align)) {
    ownMemory = false;
    return place;
  }
  ownMemory = true;
  return allocate(size, align);
}

// Opens the construction of a new root, `self`: a frame, and the root's own
// entry.  A root that buildChain placed brings the record it lies beside.
std::size_t openRoot(Construction& c, MsgBase& self, Fingerprint fingerprint,
                     const VersionOps& ops) {
  const bool placed = &self == c.placedRoot;
  c.entries.push_back({&self, fingerprint, ops.id,
                       placed ? ops.destroy : nullptr, ops.reset, 0, 0, true,
                       false});
  try {
    c.frames.push_back({&self, c.entries.size() - 1, 0,
                        placed ? c.placedRecord : nullptr, false, false,
                        false});
  } catch (...) {
    c.entries.pop_back();
    throw;
  }
  if (placed) c.placedRoot = nullptr;
  return c.frames.size() - 1;
}

// Ends a root frame that did not stand: its record, if it made one, and
// its announcement go.
void abandonRoot(Construction& c, const Frame& f) noexcept {
  c.entries.resize(f.rootEntry);
  if (f.ownsRecord) freeRecord(f.record);
  takeBackPending(f.self);
}

// Keeps the entries of the root frame `f` in its record: in its block where
// there is room, else in an array of their own.
void keepEntries(Construction& c, const Frame& f) {
  ChainRecord& record = *f.record;
  const std::size_t count = c.entries.size() - f.rootEntry;
  auto* kept = static_cast<Built*>(
      takeFromBlock(record, count * sizeof(Built), alignof(Built)));
  record.builtInBlock = kept != nullptr;
  if (kept == nullptr) kept = new Built[count];
  std::copy(c.entries.begin() + static_cast<std::ptrdiff_t>(f.rootEntry),
            c.entries.end(), kept);
  record.built = kept;
  record.count = count;
  // What one block would need, laid out as buildChain lays it: the root,
  // the record, every older version and the entries.  When all of it is in
  // the block, that is what the block holds.
  const Entries entries = entriesOf(record);
  if (record.builtInBlock &&
      std::none_of(entries.begin(), entries.end(),
                   [](const Built& b) { return b.ownMemory; })) {
    record.chainBytes = record.blockUsed;
    return;
  }
  std::size_t bytes =
      roundUp(record.plan.size, kRecordStep) + sizeof(ChainRecord);
  for (std::size_t i = 1; i < count; ++i) {
    bytes = roundUp(bytes, entries[i].align) + entries[i].size;
  }
  record.chainBytes = roundUp(bytes, alignof(Built)) + count * sizeof(Built);
}

// Lets the root of frame `f` stand: its record is kept and named by the
// root, and its announcement stands.
void standRoot(Construction& c, const Frame& f) {
  ChainRecord& record = *f.record;
  keepEntries(c, f);
  auto named = f.self->roots.end();
  try {
    named = nameRecord(f.self, &record);
    if (!c.pending.empty()) {
      standPending(f.self, &record, entriesOf(record));
    }
  } catch (...) {
    if (named != f.self->roots.end()) f.self->roots.erase(named);
    if (!record.builtInBlock) delete[] record.built;
    record.built = nullptr;
    record.count = 0;
    throw;
  }
  record.root = f.self;
  c.entries.resize(f.rootEntry);
}

}  // namespace

RecordHolder::RecordHolder() : MsgBase(blank()) { record.owned = false; }

ChainRecord* recordOf(MsgBase* object) noexcept {
  // Up the family's own links, at most as far as a walk that does not come
  // back to where it was (Brent's method, as getVersion).
  MsgBase* mark = object;
  for (std::uint64_t steps = 1; object != nullptr; ++steps) {
    if (ChainRecord* record = recordNamedBy(object)) return record;
    const auto up = object->upstream.find(object->id);
    object = up == object->upstream.end() ? nullptr : up->second;
    if (object == mark) return nullptr;
    if ((steps & (steps - 1)) == 0) mark = object;
  }
  return nullptr;
}

Construction& construction() { return here(); }

std::string spelled(std::string_view name) {
  constexpr std::string_view kGcc = "{anonymous}";
  std::string out;
  for (std::size_t at = 0; at < name.size();) {
    if (name.substr(at, kGcc.size()) == kGcc) {
      out += "(anonymous namespace)";
      at += kGcc.size();
    } else {
      out += name[at++];
    }
  }
  return out;
}

OlderPlace beginOlder(MsgBase& self, Fingerprint fingerprint,
                      const VersionOps& ops, std::uint32_t size,
                      std::uint32_t align, Fingerprint olderFingerprint,
                      const VersionOps& older) {
  Construction& c = here();
  const bool isRoot = &self != c.expected;
  const std::size_t root =
      isRoot ? openRoot(c, self, fingerprint, ops) : c.expectedRoot;
  c.expected = nullptr;
  bool ownMemory = false;
  void* place = nullptr;
  try {
    place = placeOlder(c.frames[root], size, align, ownMemory);
    c.entries.push_back({static_cast<MsgBase*>(place), olderFingerprint,
                         older.id, older.destroy, older.reset, size, align,
                         false, ownMemory});
  } catch (...) {
    if (ownMemory) release(place, size, align);
    if (isRoot) {
      abandonRoot(c, c.frames[root]);
      c.frames.pop_back();
    }
    throw;
  }
  c.expected = place;
  c.expectedRoot = root;
  return {static_cast<std::uint32_t>(root),
          static_cast<std::uint32_t>(c.entries.size() - 1), place, isRoot};
}

void finishRoot(const OlderPlace& call) {
  Construction& c = here();
  c.entries[call.slot].constructed = true;  // before the record keeps it
  standRoot(c, c.frames[call.root]);
}

void endOlder(const OlderPlace& call, BuildEnd how) noexcept {
  Construction& c = here();
  // A root's call that is done left its entries to its record.
  if (how == BuildEnd::kBuilt || (how == BuildEnd::kDone && !call.isRoot)) {
    c.entries[call.slot].constructed = true;
  }
  if (how != BuildEnd::kDone) {
    c.expected = nullptr;
    rollBack(c, call.slot);
    if (call.isRoot) abandonRoot(c, c.frames[call.root]);
  }
  if (call.isRoot) c.frames.pop_back();
}

void builtOldest(MsgBase& self, Fingerprint fingerprint,
                 const VersionOps& ops) {
  Construction& c = here();
  if (&self == c.expected) {
    c.expected = nullptr;
    return;
  }
  // A root of one version: its record holds it alone.
  const std::size_t root = openRoot(c, self, fingerprint, ops);
  try {
    Frame& f = c.frames[root];
    if (f.record == nullptr) {
      f.record = newRootRecord(0, 1);
      f.ownsRecord = true;
    }
    standRoot(c, f);
  } catch (...) {
    abandonRoot(c, c.frames[root]);
    c.frames.pop_back();
    throw;
  }
  c.frames.pop_back();
}

ChainRecord* buildChain(const RootPlan& plan, MsgMap& links) {
  Construction& c = here();
  // The root first, so that the pointer to it is the block's; the record
  // and, where the last chain says how much room they take, the older
  // versions and the entries after it.
  const std::size_t align = std::max(plan.align, kRecordStep);
  const std::size_t recordAt = roundUp(plan.size, kRecordStep);
  if (recordAt / kRecordStep > kMaxRecordSteps) {
    throwMisuse("tamberlo::Chain: a root of ", std::to_string(plan.size),
                " bytes, more than an owner's record can lie beyond");
  }
  const std::size_t size =
      std::max(plan.chainBytes,
               recordAt + sizeof(ChainRecord) + alignof(Built) + sizeof(Built));
  auto* block = static_cast<unsigned char*>(allocate(size, align));
  // NOLINTNEXTLINE(cppcoreguidelines-pro-bounds-pointer-arithmetic)
  auto* record = new (block + recordAt) ChainRecord();
  record->block = block;
  record->blockSize = size;
  record->blockAlign = align;
  record->blockUsed = recordAt + sizeof(ChainRecord);
  record->plan = plan;
  record->owned = true;
  c.placedRoot = block;
  c.placedRecord = record;
  MsgBase* root = nullptr;
  try {
    root = plan.construct(block, links);
  } catch (...) {
    c.placedRoot = nullptr;
    freeRecord(record);
    throw;
  }
  c.placedRoot = nullptr;
  if (record->root == nullptr) {
    // A constructor wired by hand records nothing: the root alone is known,
    // and freed with its block.
    record->built = static_cast<Built*>(
        takeFromBlock(*record, sizeof(Built), alignof(Built)));
    record->builtInBlock = true;
    entriesOf(*record)[0] = {root,
                             plan.fingerprint,
                             plan.ops->id,
                             plan.ops->destroy,
                             plan.ops->reset,
                             0,
                             0,
                             true,
                             false};
    record->count = 1;
    record->root = root;
    record->chainBytes = size;
  }
  return record;
}

MsgBase* rootOf(const ChainRecord& record) noexcept { return record.root; }

void releaseRecordOf(MsgBase* root) noexcept {
  const RecordEntry named = findRecord(root);
  ChainRecord* record = named.record;
  if (record == nullptr) return;
  // The root goes: no record lists it, and its record, which may stay with
  // its chain, lists no root.
  dropListings(*record);
  dropJoined(*record);
  // A chain of the root alone: its record holds no version.
  if (record->owned || record->count != 1) return;
  root->roots.erase(named.entry);
  freeRecord(record);
}

std::size_t chainBytesOf(const ChainRecord& record) noexcept {
  return record.chainBytes;
}

void freeChain(ChainRecord* record) noexcept {
  if (record == nullptr) return;
  if (record->prototype != nullptr) freeChain(record->prototype);
  // The oldest first: each destructor takes its version out of the graph,
  // and the version above it no longer names it.
  const Entries entries = entriesOf(*record);
  for (std::size_t i = entries.size(); i-- > 0;) end(entries[i]);
  freeRecord(record);
}

void resetChain(ChainRecord& record) {
  if (record.prototype == nullptr) {
    MsgMap none;
    record.prototype = buildChain(record.plan, none);
  }
  const Entries live = entriesOf(record);
  const Entries fresh = entriesOf(*record.prototype);
  // Every check before any write, so that a refusal changes nothing.
  const bool alike =
      std::equal(live.begin(), live.end(), fresh.begin(), fresh.end(),
                 [](const Built& a, const Built& b) {
                   return a.fingerprint == b.fingerprint;
                 });
  if (!alike) {
    throwMisuse(
        "tamberlo::Chain::reset: a fresh chain of ",
        spelled(std::string_view(live[0].id->name, live[0].id->nameLength)),
        " holds other versions than this one");
  }
  for (const Built& b : live) {
    if (b.reset == nullptr) {
      throwMisuse("tamberlo::Chain::reset: ",
                  spelled(std::string_view(b.id->name, b.id->nameLength)),
                  " lists no fields (TAMBERLO_FIELDS), so its stored fields "
                  "cannot be told");
    }
  }
  for (std::size_t i = 0; i < live.size(); ++i) {
    live[i].reset(*live[i].object, *fresh[i].object);
  }
}

}  // namespace tamberlo::detail
