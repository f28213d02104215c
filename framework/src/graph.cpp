// The graph operations that keep every name true: announcing a root to the
// families it joins, letting the announcement stand or taking it back, and
// taking a destroyed object out of the graph.  Everything they know is in
// the objects' maps and their chains' records: who records a root is found
// by climbing `upstream`, as the announcement itself climbed it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "chain_record.h"
#include "construction_state.h"
#include "few.h"

namespace tamberlo::detail {
namespace {

// The objects a walk has reached: a few in place, as walks along one chain
// reach, and a set past that, so that a walk stays linear in its graph.
class Reached {
 public:
  // Whether `object` is new to the walk; records it.
  bool add(MsgBase* object) {
    if (many_.empty()) {
      if (std::find(few_.begin(), few_.end(), object) != few_.end()) {
        return false;
      }
      if (few_.size() < kFew) {
        few_.push_back(object);
        return true;
      }
      many_.insert(few_.begin(), few_.end());
    }
    return many_.insert(object).second;
  }
  [[nodiscard]] bool has(MsgBase* object) const {
    return many_.empty()
               ? std::find(few_.begin(), few_.end(), object) != few_.end()
               : many_.count(object) != 0;
  }

 private:
  static constexpr std::size_t kFew = 16;
  Few<MsgBase*, kFew> few_;
  std::unordered_set<MsgBase*> many_;
};

using Objects = Few<MsgBase*, 4>;

// The objects that record what climbs from `starts`: those reached along
// non-null `upstream` entries that have none themselves.
Objects recordersFrom(const Objects& starts) {
  Reached reached;
  Few<MsgBase*, 16> work;
  for (MsgBase* start : starts) {
    if (reached.add(start)) work.push_back(start);
  }
  Objects recorders;
  while (!work.empty()) {
    MsgBase* object = work.back();
    work.pop_back();
    bool passesOn = false;
    for (const auto& entry : object->upstream) {
      if (entry.second == nullptr) continue;
      passesOn = true;
      if (reached.add(entry.second)) work.push_back(entry.second);
    }
    if (!passesOn) recorders.push_back(object);
  }
  return recorders;
}

// Those that record `object`'s own announcement, or the announcements that
// climbed through it: itself when it has no upstream.
Objects recordersOf(MsgBase* object) {
  Objects starts;
  for (const auto& entry : object->upstream) {
    if (entry.second != nullptr) starts.push_back(entry.second);
  }
  if (!starts.empty()) return recordersFrom(starts);
  Objects itself;
  itself.push_back(object);
  return itself;
}

// Whether `object`, or a version above it in its family, is `through`.
bool climbsTo(MsgBase* object, const MsgBase* through) {
  MsgBase* mark = object;
  for (std::uint64_t steps = 1; object != nullptr; ++steps) {
    if (object == through) return true;
    const auto up = object->upstream.find(object->id);
    object = up == object->upstream.end() ? nullptr : up->second;
    if (object == mark) return false;
    if ((steps & (steps - 1)) == 0) mark = object;
  }
  return false;
}

// Whether root `joined` joined the graph through `through`: an object its
// map named is `through` or a version below it.
bool joinedThrough(const MsgBase& joined, const MsgBase* through) {
  return std::any_of(
      joined.upstream.begin(), joined.upstream.end(), [&](const auto& entry) {
        return entry.first != joined.id && entry.second != nullptr &&
               climbsTo(entry.second, through);
      });
}

void eraseNames(MsgMap& map, const MsgBase* named) noexcept {
  for (auto at = map.begin(); at != map.end();) {
    at = at->second == named ? map.erase(at) : std::next(at);
  }
}

// The roots recorded by `recorder`: those its map names, and those its
// record keeps, replaced ones among them.
template <typename F>
void forEachRecorded(MsgBase* recorder, F f) {
  for (const auto& [familyId, named] : recorder->roots) {
    // Negative keys are no family's: the recorder's own record.
    if (familyId >= 0 && named != nullptr && named != recorder) f(named);
  }
  if (const ChainRecord* record = recordNamedBy(recorder)) {
    if (record->joined != nullptr) {
      for (const Joined& j : *record->joined) f(j.root);
    }
  }
}

// A root that leaves the graph, with those that record its announcement.
struct Leaving {
  MsgBase* root;
  Objects recorders;
};

// Adds to `leaving` every root recorded by `recorders` that joined through
// `through`, and those joined through each of them, found on the graph as
// it is, before anything changes.
void collectJoinedThrough(const MsgBase* through, const Objects& recorders,
                          Reached& seen, std::vector<Leaving>& leaving) {
  std::size_t next = leaving.size();
  auto scan = [&](const MsgBase* via, const Objects& at) {
    for (MsgBase* recorder : at) {
      forEachRecorded(recorder, [&](MsgBase* joined) {
        if (joined == via || seen.has(joined) || !joinedThrough(*joined, via)) {
          return;
        }
        seen.add(joined);
        leaving.push_back({joined, recordersOf(joined)});
      });
    }
  };
  scan(through, recorders);
  for (; next < leaving.size(); ++next) {
    // Copied: push_back in scan may move the vector.
    const Leaving at = leaving[next];
    scan(at.root, at.recorders);
  }
}

// `root` is recorded nowhere among `recorders`, nor by any record.
void forget(MsgBase* root, const Objects& recorders) noexcept {
  for (MsgBase* recorder : recorders) {
    if (recorder != root) eraseNames(recorder->roots, root);
  }
  if (ChainRecord* record = recordNamedBy(root)) dropListings(*record);
}

// Every root in `leaving` leaves the graph: nothing records it, and its map
// names no other family.
void leave(const std::vector<Leaving>& leaving) noexcept {
  for (const Leaving& l : leaving) {
    forget(l.root, l.recorders);
    for (auto at = l.root->upstream.begin(); at != l.root->upstream.end();) {
      at = at->first != l.root->id && at->second != nullptr
               ? l.root->upstream.erase(at)
               : std::next(at);
    }
  }
}

std::string nameOf(const Built& entry) {
  if (entry.id == nullptr) return "a version";
  return spelled(std::string_view(entry.id->name, entry.id->nameLength));
}

// Throws when a root of `root`'s family that `recorder` records holds a
// version under a number of `entries` as another class: the recorder's own
// chain, when it is of the family, and the roots its record keeps.  Reads
// only the recorder and its record.
void checkClasses(MsgBase* recorder, const MsgBase* root, Entries entries) {
  const ChainRecord* record = recordNamedBy(recorder);
  if (record == nullptr) return;
  auto refuseAnother = [&](std::int32_t versionNo, std::uint64_t fingerprint) {
    for (const Built& mine : entries) {
      if (mine.fingerprint == 0 || fingerprint == 0 ||
          mine.object->version != versionNo ||
          mine.fingerprint == fingerprint) {
        continue;
      }
      throw std::logic_error("tamberlo: " + nameOf(entries[0]) +
                             " claims family " + std::to_string(root->id) +
                             " in a joined graph where another class "
                             "holds its version " +
                             std::to_string(versionNo) +
                             ": family ids must be unique");
    }
  };
  if (recorder->id == root->id) {
    for (const Built& b : entriesOf(*record)) {
      refuseAnother(b.object->version, b.fingerprint);
    }
  }
  if (record->joined != nullptr) {
    for (const Joined& j : *record->joined) {
      if (j.familyId == root->id && j.root != root) {
        refuseAnother(j.versionNo, j.fingerprint);
      }
    }
  }
}

std::vector<Pending>::iterator pendingOf(Construction& c, const MsgBase* root) {
  return std::find_if(c.pending.begin(), c.pending.end(),
                      [root](const Pending& p) { return p.root == root; });
}

}  // namespace

void dropListings(ChainRecord& record) noexcept {
  if (record.listedIn == nullptr) return;
  for (ChainRecord* lister : *record.listedIn) {
    auto& joined = *lister->joined;
    joined.erase(
        std::remove_if(joined.begin(), joined.end(),
                       [&](const Joined& j) { return j.record == &record; }),
        joined.end());
  }
  delete record.listedIn;
  record.listedIn = nullptr;
}

void dropJoined(ChainRecord& record) noexcept {
  if (record.joined == nullptr) return;
  for (const Joined& j : *record.joined) {
    auto& listers = *j.record->listedIn;
    listers.erase(std::remove(listers.begin(), listers.end(), &record),
                  listers.end());
  }
  delete record.joined;
  record.joined = nullptr;
}

bool isOriginal(const MsgBase* object) noexcept {
  const auto self = object->peer.find(object->id);
  return self != object->peer.end() && self->second == object;
}

Pending announce(MsgBase* root, std::int32_t familyId, const MsgMap& links) {
  Objects starts;
  for (const auto& [key, object] : links) {
    if (key != familyId && object != nullptr) starts.push_back(object);
  }
  Pending pending{root, {}, {}};
  const Objects recorders = recordersFrom(starts);
  pending.changes.reserve(recorders.size());
  try {
    for (MsgBase* object : recorders) {
      auto found = object->roots.find(familyId);
      if (found == object->roots.end()) {
        object->roots.emplace(familyId, root);
        pending.changes.push_back({object, false, nullptr});
      } else if (found->second == nullptr) {
        found->second = root;
        pending.changes.push_back({object, true, nullptr});
      } else if (found->second != root) {
        // Another root of the family is named: replaced only once this
        // one's construction stands, so a failure has nothing to restore.
        pending.deferred.push_back(object);
      }
    }
  } catch (...) {
    undo(root, familyId, pending.changes);
    throw;
  }
  return pending;
}

void announceNow(MsgBase* root, std::int32_t familyId, MsgBase* from) {
  std::vector<Change> changes;
  Objects starts;
  starts.push_back(from);
  const Objects recorders = recordersFrom(starts);
  changes.reserve(recorders.size());
  try {
    for (MsgBase* object : recorders) {
      auto found = object->roots.find(familyId);
      if (found != object->roots.end()) {
        changes.push_back({object, true, found->second});
        found->second = root;
      } else {
        object->roots.emplace(familyId, root);
        changes.push_back({object, false, nullptr});
      }
    }
  } catch (...) {
    undo(root, familyId, changes);
    throw;
  }
}

void announced(Pending& pending) {
  if (pending.changes.empty() && pending.deferred.empty()) return;
  Construction& c = construction();
  c.pending.reserve(c.pending.size() + 1);
  c.pending.push_back(std::move(pending));
}

void forgetPending(const MsgBase* object) noexcept {
  Construction* here = constructionIfAny();
  if (here == nullptr || here->pending.empty()) return;
  Construction& c = *here;
  const auto at = pendingOf(c, object);
  if (at != c.pending.end()) c.pending.erase(at);
}

bool takeBackPending(MsgBase* root) noexcept {
  Construction* here = constructionIfAny();
  if (here == nullptr || here->pending.empty()) return false;
  Construction& c = *here;
  const auto at = pendingOf(c, root);
  if (at == c.pending.end()) return false;
  undo(root, root->id, at->changes);
  c.pending.erase(at);
  return true;
}

void standPending(MsgBase* root, ChainRecord* own, Entries entries) {
  Construction* here = constructionIfAny();
  if (here == nullptr || here->pending.empty()) return;
  Construction& c = *here;
  const auto at = pendingOf(c, root);
  if (at == c.pending.end()) return;
  std::vector<MsgBase*> recorders;
  recorders.reserve(at->changes.size() + at->deferred.size());
  for (const Change& change : at->changes) recorders.push_back(change.object);
  recorders.insert(recorders.end(), at->deferred.begin(), at->deferred.end());
  // Checked before anything changes, against what the recorders keep: a
  // root that one of them names may be gone.
  for (MsgBase* recorder : recorders) {
    checkClasses(recorder, root, entries);
  }
  // Room for this root's versions in each recorder's record, and for those
  // records in this root's, so that the writes below cannot fail.  A root
  // without a record is listed nowhere: its classes are not known.
  std::vector<ChainRecord*> keeping;
  if (own != nullptr) {
    for (MsgBase* recorder : recorders) {
      ChainRecord* record = recordNamedBy(recorder);
      if (record == nullptr || record == own) continue;
      if (record->joined == nullptr) record->joined = new std::vector<Joined>;
      record->joined->reserve(record->joined->size() + entries.size());
      keeping.push_back(record);
    }
    if (own->listedIn == nullptr) own->listedIn = new std::vector<ChainRecord*>;
    own->listedIn->reserve(own->listedIn->size() + keeping.size());
  }
  for (MsgBase* recorder : at->deferred) {
    // Replaced; the root it named stays as it is, joined through what its
    // map names, which is how it is found when that goes.
    const auto named = recorder->roots.find(root->id);
    if (named != recorder->roots.end()) named->second = root;
  }
  for (ChainRecord* record : keeping) {
    for (const Built& b : entries) {
      record->joined->push_back(
          {root, own, root->id, b.object->version, b.fingerprint});
    }
    own->listedIn->push_back(record);
  }
  c.pending.erase(at);
}

void undo(MsgBase* root, std::int32_t familyId,
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

void unlink(MsgBase* object) noexcept {
  // Its newer version no longer names it as its older one, nor its older
  // one it as its newer.
  const auto up = object->upstream.find(object->id);
  if (up != object->upstream.end() && up->second != nullptr &&
      up->second != object) {
    const auto down = up->second->older.find(object->id);
    if (down != up->second->older.end() && down->second == object) {
      down->second = nullptr;
    }
  }
  const auto older = object->older.find(object->id);
  if (older != object->older.end() && older->second != nullptr &&
      older->second != object) {
    eraseNames(older->second->upstream, object);
  }
  try {
    // The roots joined through it leave the graph, and it is recorded
    // nowhere, each found on the graph as it is.
    const Objects recorders = recordersOf(object);
    Reached seen;
    seen.add(object);
    std::vector<Leaving> leaving;
    collectJoinedThrough(object, recorders, seen, leaving);
    forget(object, recorders);
    leave(leaving);
  } catch (...) {
    // Only an allocation for a walk can fail; the names it would have
    // taken out stay.
  }
}

}  // namespace tamberlo::detail
