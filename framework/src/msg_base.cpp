#include <tamberlo/msg_base.h>

#include <algorithm>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "registry.h"

namespace {

using tamberlo::registry::Change;

// Whether `links` names an object under another family's id than `id`, so
// that a root built from it announces itself.  An older version's map names
// only its own family: that common case is told without a walk.
bool namesOtherFamily(const MsgMap& links, std::int32_t id) {
  if (links.size() == 1 && links.begin()->first == id) return false;
  return std::any_of(links.begin(), links.end(), [id](const auto& entry) {
    return entry.first != id && entry.second != nullptr;
  });
}

// Climbs the non-null `upstream` entries from `starts`, reaching each
// object once, and records `root` under `familyId` in every object reached
// that has no non-null `upstream` entry.  Records only once everything is
// found, and takes them back if one fails, so an exception leaves every map
// as it was.  `changes` receives what was replaced.
void announce(MsgBase* root, std::int32_t familyId,
              const std::vector<MsgBase*>& starts,
              std::vector<Change>& changes) {
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
    tamberlo::registry::undo(root, familyId, changes);
    throw;
  }
}

// One step of getVersion from `at`: the object to go on to, or null when
// the lookup ends there with `answer`.
MsgBase* lookupStep(MsgBase* at, std::int32_t familyId, std::int32_t versionNo,
                    MsgBase*& answer) {
  MsgBase* next = at->roots[familyId];
  if (next != nullptr && next != at) return next;
  answer = nullptr;
  if (familyId != at->id) return nullptr;
  if (versionNo == at->version) {
    answer = at;
    return nullptr;
  }
  return at->older[at->id];
}

}  // namespace

MsgBase::MsgBase(std::int32_t familyId, std::int32_t versionNo, MsgMap& links)
    : id(familyId), version(versionNo) {
  if (links.empty()) {
    roots[id] = this;
  } else if (namesOtherFamily(links, id)) {
    std::vector<MsgBase*> starts;
    for (const auto& [key, object] : links) {
      if (key != id && object != nullptr) starts.push_back(object);
    }
    std::vector<Change> changes;
    announce(this, id, starts, changes);
    // The library keeps the record for as long as this object lives, so
    // that a failed construction, or this object's end, takes it back.
    try {
      tamberlo::registry::addJoin(this, id, changes, starts);
    } catch (...) {
      tamberlo::registry::undo(this, id, changes);
      throw;
    }
  }
  try {
    upstream = links;
    older[id] = nullptr;
  } catch (...) {
    tamberlo::detail::settleAnnouncement(this, false);
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
  // return without remembering the path: `mark` jumps to the walk's
  // position after 1, 2, 4, 8, ... steps, and a walk that meets it again
  // is in a cycle, which answers null.
  MsgBase* answer = nullptr;
  MsgBase* at = lookupStep(this, familyId, versionNo, answer);
  MsgBase* mark = this;
  for (std::uint64_t steps = 1; at != nullptr; ++steps) {
    if (at == mark) return nullptr;
    if ((steps & (steps - 1)) == 0) mark = at;
    at = lookupStep(at, familyId, versionNo, answer);
  }
  return answer;
}
