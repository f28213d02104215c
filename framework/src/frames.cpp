// The construction transaction of each thread, for the whole process: the
// versions built below roots still under construction, however many
// modules their constructors are compiled in, so that a failure anywhere
// frees all of them.
#include <tamberlo/construction.h>

#include <array>
#include <cstddef>
#include <stdexcept>

#include "registry.h"

namespace {

struct Built {
  MsgBase* object;
  void (*destroy)(MsgBase*) noexcept;
};

// A fixed array, so that it needs no allocation and no guard.
struct Building {
  std::array<Built, tamberlo::kMaxUnderConstruction> built;
  std::size_t count;
  MsgBase* innermost;
};

// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
thread_local Building tBuilding{};

}  // namespace

tamberlo::detail::FrameMark tamberlo::detail::openFrame(MsgBase& self,
                                                        const void* type) {
  registry::recordIdentity(&self, *static_cast<const std::type_info*>(type));
  Building& state = tBuilding;
  // The version above built this one from its peer map, which named it.
  MsgBase* outer = state.innermost;
  const auto above = self.upstream.find(self.id);
  const bool below = outer != nullptr && outer->id == self.id &&
                     above != self.upstream.end() && above->second == outer;
  state.innermost = &self;
  return {state.count, outer, below};
}

void tamberlo::detail::adoptVersion(MsgBase* older,
                                    void (*destroy)(MsgBase*) noexcept) {
  Building& state = tBuilding;
  if (state.count == state.built.size()) {
    destroy(older);
    throw std::length_error(
        "tamberlo::buildOlder: more than 256 versions under construction on "
        "one thread");
  }
  state.built.at(state.count++) = {older, destroy};
}

void tamberlo::detail::commitFrame(MsgBase& self, const FrameMark& frame) {
  // An older version's versions stay on the list, for the buildOlder of the
  // version above it, which built it and may yet fail.
  if (frame.below) return;
  // Only a root built from a map naming another family joined a graph.
  for (const auto& [key, named] : self.upstream) {
    if (key != self.id && named != nullptr) {
      registry::commitJoin(&self);
      break;
    }
  }
  tBuilding.count = frame.mark;
}

void tamberlo::detail::closeFrame(const FrameMark& frame,
                                  bool committed) noexcept {
  Building& state = tBuilding;
  state.innermost = frame.outer;
  if (committed) return;
  while (state.count > frame.mark) {
    const Built version = state.built.at(--state.count);
    version.destroy(version.object);
  }
}
