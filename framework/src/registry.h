// What the library keeps about version objects outside them, for the whole
// process: the class each was built as, and the announcement each joined
// root made, with every object that the announcement's records name, so
// that destroying any of them leaves no other object naming it.
#ifndef TAMBERLO_SRC_REGISTRY_H_
#define TAMBERLO_SRC_REGISTRY_H_

#include <tamberlo/msg_base.h>

#include <cstdint>
#include <typeinfo>
#include <vector>

namespace tamberlo::registry {

/// One `roots` entry that an announcement wrote, with what it replaced.
struct Change {
  MsgBase* object;
  bool existed;
  MsgBase* previous;
};

/// Records the announcement that `root` made under `familyId`: the entries
/// it wrote and the other families' objects its `upstream` names.  Pending
/// until settled.  On failure nothing is recorded and the caller undoes
/// the changes.
void addJoin(MsgBase* root, std::int32_t familyId,
             const std::vector<Change>& changes,
             const std::vector<MsgBase*>& named);

/// Restores every entry in `changes` that still names `root`, newest
/// first, to what it replaced: an entry that names another root since was
/// written by a later announcement that stands, and what was replaced is
/// known to be alive (released() forgets it otherwise).  Allocates
/// nothing.
void undo(MsgBase* root, std::int32_t familyId,
          const std::vector<Change>& changes) noexcept;

/// Records that `object` is being built as the class `type`.
void recordIdentity(const MsgBase* object, const std::type_info& type);

/// Throws std::logic_error when `root`'s pending announcement replaced a
/// root of another class chain that holds one of the same versions; then
/// lets the announcement stand.
void commitJoin(MsgBase* root);

}  // namespace tamberlo::registry

#endif  // TAMBERLO_SRC_REGISTRY_H_
