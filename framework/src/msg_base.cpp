#include <tamberlo/msg_base.h>

#include <cstdint>
#include <unordered_set>
#include <utility>
#include <vector>

#include "announcement.h"

namespace {

// One `roots` entry that an announcement wrote, with what it replaced.
struct Change {
  MsgBase* object;
  bool existed;
  MsgBase* previous;
};

// The announcement that this thread's newest root built from a map made,
// kept until the constructor of its class has finished, so that a failure
// after the MsgBase part can take it back (AnnouncementGuard).
struct Pending {
  MsgBase* root = nullptr;
  std::int32_t familyId = 0;
  std::vector<Change> changes;
};

thread_local Pending pending;

// Restores every entry in `changes`, newest first.  Erasing and assigning
// existing entries allocates nothing, so this cannot fail.
void undo(std::int32_t familyId, std::vector<Change>& changes) noexcept {
  for (auto c = changes.rbegin(); c != changes.rend(); ++c) {
    if (c->existed) {
      c->object->roots[familyId] = c->previous;
    } else {
      c->object->roots.erase(familyId);
    }
  }
  changes.clear();
}

// Climbs the non-null `upstream` entries from `starts`, reaching each
// object once, and records `root` under `familyId` in every object reached
// that has no non-null `upstream` entry.  Records only once everything is
// found, and takes them back if one fails, so an exception leaves every map
// as it was.  `changes` receives what was replaced.
void announce(MsgBase* root, std::int32_t familyId,
              std::vector<MsgBase*> starts, std::vector<Change>& changes) {
  std::unordered_set<MsgBase*> reached;
  std::vector<MsgBase*> work;
  for (MsgBase* start : starts) {
    if (reached.insert(start).second) work.push_back(start);
  }
  std::vector<MsgBase*> recorders;
  while (!work.empty()) {
    MsgBase* object = work.back();
    work.pop_back();
    bool passesOn = false;
    for (const auto& entry : object->upstream) {
      if (entry.second == nullptr) continue;
      passesOn = true;
      if (reached.insert(entry.second).second) work.push_back(entry.second);
    }
    if (!passesOn) recorders.push_back(object);
  }

  changes.clear();
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
    undo(familyId, changes);
    throw;
  }
}

void withdraw(MsgBase* root) noexcept {
  if (pending.root != root) return;
  undo(pending.familyId, pending.changes);
  pending.root = nullptr;
}

}  // namespace

MsgBase::MsgBase(std::int32_t familyId, std::int32_t versionNo, MsgMap& links)
    : id(familyId), version(versionNo) {
  // A stale record under this address belongs to an object that is gone.
  if (pending.root == this) pending.root = nullptr;
  if (links.empty()) {
    roots[id] = this;
  } else {
    std::vector<MsgBase*> starts;
    for (const auto& [key, object] : links) {
      if (key != id && object != nullptr) starts.push_back(object);
    }
    if (!starts.empty()) {
      announce(this, id, std::move(starts), pending.changes);
      pending.root = this;
      pending.familyId = id;
    }
  }
  try {
    upstream = links;
    older[id] = nullptr;
  } catch (...) {
    withdraw(this);
    throw;
  }
}

void MsgBase::setRoot(MsgBase* root, std::int32_t familyId) {
  std::vector<Change> changes;
  announce(root, familyId, {this}, changes);
}

MsgBase* MsgBase::getVersion(std::int32_t familyId, std::int32_t versionNo) {
  // Each step depends only on the object it stands on, so a walk that comes
  // back to an object would go round for ever.  Brent's method notices the
  // return without remembering the path: `mark` jumps ahead to the walk's
  // position after 1, 2, 4, ... steps, and a walk that meets it again is in
  // a cycle, which answers null.
  MsgBase* at = this;
  MsgBase* mark = this;
  std::uint64_t sinceMark = 0;
  std::uint64_t markEvery = 1;
  for (;;) {
    MsgBase* next = at->roots[familyId];
    if (next == nullptr || next == at) {
      if (familyId != at->id) return nullptr;
      if (versionNo == at->version) return at;
      next = at->older[at->id];
      if (next == nullptr) return nullptr;
    }
    if (next == mark) return nullptr;
    if (++sinceMark == markEvery) {
      mark = next;
      markEvery *= 2;
      sinceMark = 0;
    }
    at = next;
  }
}

AnnouncementGuard::~AnnouncementGuard() {
  if (std::uncaught_exceptions() > uncaught_) {
    withdraw(root_);
  } else if (pending.root == root_) {
    pending.root = nullptr;
    pending.changes.clear();
  }
}
