// The construction under way on each thread, shared by the library's
// sources: the buildOlder calls open, the versions they built, and the
// announcements of roots not yet standing.
#ifndef TAMBERLO_SRC_CONSTRUCTION_STATE_H_
#define TAMBERLO_SRC_CONSTRUCTION_STATE_H_

#include <cstddef>
#include <vector>

#include "chain_record.h"

namespace tamberlo::detail {

/// One root's construction under way.  The buildOlder calls of its older
/// versions keep what they need to end in their OlderPlace.
struct Frame {
  MsgBase* self = nullptr;
  std::size_t rootEntry = 0;      // the root's own entry
  std::size_t mark = 0;           // openFrame's: the versions that stay
  ChainRecord* record = nullptr;  // once it has one
  bool ownsRecord = false;        // made here, not by buildChain
  bool legacy = false;            // opened by openFrame, which places nothing
  bool below = false;             // openFrame's: an older version's call
};

/// This thread's constructions, innermost last.
struct Construction {
  std::vector<Built> entries;
  std::vector<Frame> frames;
  std::vector<Pending> pending;
  // Where the older version that the innermost call placed is being built,
  // and the root frame it belongs to.
  const void* expected = nullptr;
  std::size_t expectedRoot = 0;
  // Where buildChain is building a root, and its record.
  const void* placedRoot = nullptr;
  ChainRecord* placedRecord = nullptr;
};

// This thread's construction, made on first use.  A plain pointer, so that
// reading it needs no guard (GNU's __thread says so to other sources, where
// thread_local would read it through a function), and initial-exec where
// the platform has it: every version built reads it, and the general model
// would call into the loader for each read.
#if defined(__GNUC__) || defined(__clang__)
#define TAMBERLO_THREAD __thread
#else
#define TAMBERLO_THREAD thread_local
#endif
#if defined(__ELF__) && (defined(__GNUC__) || defined(__clang__))
#define TAMBERLO_TLS_MODEL __attribute__((tls_model("initial-exec")))
#else
#define TAMBERLO_TLS_MODEL
#endif
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
extern TAMBERLO_THREAD Construction* tConstruction TAMBERLO_TLS_MODEL;

/// This thread's, made on first use.
Construction& construction();
/// This thread's, or null before its first construction.
inline Construction* constructionIfAny() noexcept { return tConstruction; }

}  // namespace tamberlo::detail

#endif  // TAMBERLO_SRC_CONSTRUCTION_STATE_H_
