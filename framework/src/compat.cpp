// Exports that clients built against earlier builds of this library call
// from their inline code, kept so that those clients run unrebuilt, each
// with what it meant then, on the construction of today.  Today's headers
// call none of them but `released`.
#include <tamberlo/export.h>
#include <tamberlo/msg_base.h>

#include <cstddef>
#include <cstdint>

#include "chain_record.h"
#include "construction_state.h"

namespace tamberlo::detail {

// Their declarations, as those headers made them.

/// Where an earlier buildOlder's construction stood, as openFrame returned
/// it; that code keeps it and hands it back.
struct FrameMark {
  std::size_t mark;  // here: the frame's place in the construction
  MsgBase* outer;
  bool below;
};

TAMBERLO_API void settleAnnouncement(MsgBase* root, bool stands) noexcept;
TAMBERLO_API bool builtAs(const MsgBase* object, const void* type) noexcept;
TAMBERLO_API FrameMark openFrame(MsgBase& self, const void* type);
TAMBERLO_API void adoptVersion(MsgBase* older,
                               void (*destroy)(MsgBase*) noexcept);
TAMBERLO_API void commitFrame(MsgBase& self, const FrameMark& frame);
TAMBERLO_API void closeFrame(const FrameMark& frame, bool committed) noexcept;

// Ends the announcement that `root` made while it was built on this thread,
// if it is still pending: it stands, or what it wrote is restored.  Code
// built with it called it once a construction stood (`stands`) or failed.
void settleAnnouncement(MsgBase* root, bool stands) noexcept {
  if (!stands) {
    takeBackPending(root);
    return;
  }
  try {
    standPending(root, nullptr, {});
  } catch (...) {
    // Without classes recorded nothing is refused; only an allocation can
    // fail, and the announcement then stays as it was written.
  }
}

// Whether `object` may be handed out as the class `type`, a std::type_info:
// the identity that code recorded is no longer kept, so always; today's
// typed lookup checks the fingerprints recorded with each chain.
bool builtAs(const MsgBase* /*object*/, const void* /*type*/) noexcept {
  return true;
}

// A buildOlder call of that code, which builds its older version with
// `new` and hands it over after it was built: it places nothing, so which
// frame builds an older version is told as that code told it, by the
// innermost frame of the same family named in `self`'s upstream map.
FrameMark openFrame(MsgBase& self, const void* /*type*/) {
  Construction& c = construction();
  MsgBase* outer = c.frames.empty() ? nullptr : c.frames.back().self;
  const auto above = self.upstream.find(self.id);
  const bool below = outer != nullptr && c.frames.back().legacy &&
                     outer->id == self.id && above != self.upstream.end() &&
                     above->second == outer;
  c.frames.push_back(
      {&self, c.entries.size(), c.entries.size(), nullptr, false, true, below});
  return {c.frames.size() - 1, outer, below};
}

void adoptVersion(MsgBase* older, void (*destroy)(MsgBase*) noexcept) {
  Construction& c = construction();
  try {
    c.entries.push_back(
        {older, 0, nullptr, destroy, nullptr, 0, 0, true, false});
  } catch (...) {
    destroy(older);
    throw;
  }
}

void commitFrame(MsgBase& self, const FrameMark& frame) {
  if (frame.below) return;
  // A root: its versions are its chain for good, recorded nowhere.
  standPending(&self, nullptr, {});
  Construction& c = construction();
  c.entries.resize(c.frames[frame.mark].mark);
}

void closeFrame(const FrameMark& frame, bool committed) noexcept {
  // Opened by openFrame, so there is one.
  Construction& c = *constructionIfAny();
  const Frame f = c.frames[frame.mark];
  c.frames.resize(frame.mark);
  if (committed) return;
  while (c.entries.size() > f.mark) {
    const Built entry = c.entries.back();
    c.entries.pop_back();
    entry.destroy(entry.object);
  }
}

}  // namespace tamberlo::detail
