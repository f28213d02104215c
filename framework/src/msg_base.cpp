#include <tamberlo/msg_base.h>
#include <tamberlo/wrong_version.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chain_record.h"
#include "construction_state.h"

namespace {

using tamberlo::detail::Pending;

// Whether `links` names an object under another family's id than `id`, so
// that a root built from it announces itself.  An older version's map names
// only its own family: that common case is told without a walk.
bool namesOtherFamily(const MsgMap& links, std::int32_t id) {
  if (links.size() == 1 && links.begin()->first == id) return false;
  return std::any_of(links.begin(), links.end(), [id](const auto& entry) {
    return entry.first != id && entry.second != nullptr;
  });
}

// A copy of a root, whose `peer` names its source under its own id,
// follows its source's entry for another family than its own: the library
// takes a destroyed root's announcement back from the objects that record
// it, not from their copies.  `named` is the copy's own entry.
#if defined(__GNUC__) || defined(__clang__)
[[gnu::noinline, gnu::cold]]
#endif
MsgBase*
sourceEntry(MsgBase* at, std::int32_t familyId, MsgBase* named) {
  const auto source = at->peer.find(at->id);
  if (source == at->peer.end() || source->second == nullptr ||
      source->second == at) {
    return named;
  }
  return source->second->roots[familyId];
}

// Where a lookup went down from: the object a `roots` entry led to last,
// or where it began.
struct Descent {
  MsgBase* anchor;
};

// One step of getVersion from `at`: the object to go on to, or null when
// the lookup ends there with `answer`.  A `roots` entry starts a new
// descent.
MsgBase* lookupStep(MsgBase* at, std::int32_t familyId, std::int32_t versionNo,
                    MsgBase*& answer, Descent& descent) {
  MsgBase* next = at->roots[familyId];
  if (next != nullptr && next != at) {
    if (familyId != at->id) next = sourceEntry(at, familyId, next);
    if (next != nullptr && next != at) {
      descent = {next};
      return next;
    }
  }
  answer = nullptr;
  if (familyId != at->id) return nullptr;
  if (versionNo == at->version) {
    answer = at;
    return nullptr;
  }
  return at->older[at->id];
}

// getVersion, with the descent that found its answer.  Each step depends
// only on the object it stands on, so a walk that comes back to an object
// would go round for ever.  Brent's method notices the return without
// remembering the path: `mark` jumps to the walk's position after 1, 2, 4,
// 8, ... steps, and a walk that meets it again is in a cycle, which
// answers null.
MsgBase* lookUp(MsgBase* from, std::int32_t familyId, std::int32_t versionNo,
                Descent& descent) {
  MsgBase* answer = nullptr;
  descent = {from};
  MsgBase* at = lookupStep(from, familyId, versionNo, answer, descent);
  MsgBase* mark = from;
  for (std::uint64_t steps = 1; at != nullptr; ++steps) {
    if (at == mark) return nullptr;
    if ((steps & (steps - 1)) == 0) mark = at;
    at = lookupStep(at, familyId, versionNo, answer, descent);
  }
  return answer;
}

[[noreturn]] void throwBuiltAsAnother(std::int32_t familyId,
                                      std::int32_t versionNo,
                                      const tamberlo::detail::ClassId& asked) {
  const std::string name =
      tamberlo::detail::spelled(std::string_view(asked.name, asked.nameLength));
  throw tamberlo::WrongVersion(
      "tamberlo::getVersion<" + name + ">: family " + std::to_string(familyId) +
      " version " + std::to_string(versionNo) +
      " was built as another class, or another layout of " + name +
      ", than this code knows: rebuild it against the headers the chain was "
      "built with");
}

}  // namespace

MsgBase::MsgBase(std::int32_t familyId, std::int32_t versionNo, MsgMap& links)
    : id(familyId), version(versionNo) {
  // An announcement left by an earlier object at this address is not this
  // one's.
  if (const auto* c = tamberlo::detail::constructionIfAny();
      c != nullptr && !c->pending.empty()) {
    tamberlo::detail::forgetPending(this);
  }
  // The maps are empty here: each entry goes in at its end, without a
  // search.
  if (links.empty()) {
    roots.emplace_hint(roots.end(), id, this);
  } else if (namesOtherFamily(links, id)) {
    // Pending until this root's construction ends: a failure takes it
    // back, and only a root that stands replaces another of its family.
    Pending pending = tamberlo::detail::announce(this, id, links);
    try {
      tamberlo::detail::announced(pending);
    } catch (...) {
      tamberlo::detail::undo(this, id, pending.changes);
      throw;
    }
  }
  try {
    // An older version's map has the one entry naming the version above.
    if (links.size() == 1) {
      upstream.emplace_hint(upstream.end(), *links.begin());
    } else {
      for (const auto& entry : links) {
        upstream.emplace_hint(upstream.end(), entry);
      }
    }
    older.emplace_hint(older.end(), id, nullptr);
  } catch (...) {
    tamberlo::detail::takeBackPending(this);
    throw;
  }
}

void MsgBase::setRoot(MsgBase* root, std::int32_t familyId) {
  tamberlo::detail::announceNow(root, familyId, this);
}

MsgBase* MsgBase::getVersion(std::int32_t familyId, std::int32_t versionNo) {
  Descent descent{};
  return lookUp(this, familyId, versionNo, descent);
}

MsgBase* tamberlo::detail::findVersion(MsgBase& from, std::int32_t familyId,
                                       std::int32_t versionNo,
                                       Fingerprint fingerprint,
                                       const ClassId& asked) {
  Descent descent{};
  MsgBase* found = lookUp(&from, familyId, versionNo, descent);
  if (found == nullptr) return nullptr;
  MsgBase* anchor = descent.anchor;
  // The record of the chain the answer was found in: its root's, which is
  // where a lookup goes down from, but for one from an older version,
  // whose root is found above it.  A copy, which may outlive its chain,
  // answers itself or its source's versions unchecked.
  const ChainRecord* record = recordNamedBy(anchor);
  if (record == nullptr && isOriginal(anchor)) record = recordOf(anchor);
  if (record == nullptr) return found;
  const Built* entry = entryOf(*record, found);
  if (entry == nullptr || entry->fingerprint == 0 ||
      entry->fingerprint == fingerprint) {
    return found;
  }
  throwBuiltAsAnother(familyId, versionNo, asked);
}

void tamberlo::detail::released(MsgBase* object) noexcept {
  // A construction that failed takes back what it wrote, exactly.
  takeBackPending(object);
  if (!isOriginal(object)) return;
  unlink(object);
  releaseRecordOf(object);
}
