// Construction: a constructor that throws leaves no trace in the objects
// that existed before it.  This binary's operator new can be told to fail;
// on ELF the library's allocations come here too.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <thread>
#include <vector>

#include "chains.h"

namespace {
// The n-th allocation from now throws; 0 never.
int failIn = 0;
// Allocations not yet freed.
int allocated = 0;
}  // namespace

// GCC takes operator new for its built-in and flags the free() below once
// both are inlined into one caller; this pair is a matched replacement.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
  if (failIn > 0 && --failIn == 0) throw std::bad_alloc();
  if (void* p = std::malloc(size != 0 ? size : 1)) {
    ++allocated;
    return p;
  }
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  if (p != nullptr) --allocated;
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

struct Maps {
  MsgMap older, upstream, peer, roots;
  bool operator==(const Maps& o) const {
    return older == o.older && upstream == o.upstream && peer == o.peer &&
           roots == o.roots;
  }
};

std::vector<Maps> mapsOf(const std::vector<MsgBase*>& objects) {
  std::vector<Maps> all;
  for (MsgBase* m : objects)
    all.push_back({m->older, m->upstream, m->peer, m->roots});
  return all;
}

template <typename Version>
MsgBase* build(MsgMap& links) {
  return new Version(links);
}

TEST(Construction, FailureLeavesEveryEarlierObjectAsItWas) {
  Chain15 a;
  MsgMap withA{{15, a.root}};
  auto* b = keep(new Msg16_v2(withA));
  for (auto make : {build<Msg15_v5>, build<Msg15_v4>, build<Msg15_v3>,
                    build<Msg15_v2>, build<Msg16_v2>, build<Msg16_v1>}) {
    // Joined, the new root is recorded by four objects: a.root, which
    // holds a record for either family, `nulls`, which holds null entries
    // for both, and two that hold none.  So a failure can come after any
    // mix of replaced and inserted records.
    MsgBase bare(*a.v2);
    bare.upstream.clear();
    bare.roots.clear();
    MsgBase bare2(bare);
    MsgBase nulls(bare);
    nulls.roots = {{15, nullptr}, {16, nullptr}};
    const std::vector<MsgBase*> earlier{
        a.root, a.v4,   a.v3,  a.v2, b, b->getVersion<Msg16_v1>(),
        &bare,  &bare2, &nulls};
    const MsgMap joined{{1, &bare},  {2, &nulls},  {3, a.v3},
                        {4, &bare2}, {15, a.root}, {16, b}};
    for (MsgMap links : {MsgMap{}, joined}) {
      int failures = 0;
      for (int n = 1;; ++n) {
        const std::vector<Maps> before = mapsOf(earlier);
        MsgBase* made = nullptr;
        // A thread of its own, so that nothing the library keeps per
        // thread carries over from the attempt before and shifts which
        // allocation fails.
        std::thread([&] {
          failIn = n;
          try {
            made = make(links);
          } catch (const std::bad_alloc&) {
            ++failures;
          }
          failIn = 0;
        }).join();
        if (made != nullptr) {
          keep(made);
          break;
        }
        ASSERT_TRUE(mapsOf(earlier) == before) << "allocation " << n;
      }
      EXPECT_GE(failures, 2);
    }
  }
}

// A joined root whose member initialiser builds another joined root.  The
// inner roots go into a list reserved beforehand, so that keeping them
// allocates nothing, and never destroyed, so that they stay reachable.
// NOLINTNEXTLINE(cppcoreguidelines-owning-memory)
std::vector<MsgBase*>& inners = *new std::vector<MsgBase*>;
// A function of its own: GCC 12 frees nothing when the constructor of a
// new-expression written in a member initialiser throws.
MsgBase* buildInner(MsgMap& links) {
  return inners.emplace_back(new Msg16_v2(links));
}
class Holder_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 45;
  static constexpr std::int32_t versionNo = 1;
  MsgBase* inner = buildInner(upstream);
  explicit Holder_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};

TEST(Construction, FailureInANestedJoinedRootTakesBackTheOuterAnnouncement) {
  Chain15 a;
  MsgMap withA{{15, a.root}};
  inners.reserve(1000);
  for (int n = 1;; ++n) {
    MsgBase* made = nullptr;
    std::thread([&] {
      failIn = n;
      try {
        made = new Holder_v1(withA);
      } catch (const std::bad_alloc&) {
      }
      failIn = 0;
    }).join();
    if (made != nullptr) {
      keep(made);
      EXPECT_EQ(a.root->roots.at(45), made);
      break;
    }
    // The failed outer root is named nowhere; an inner one built stands.
    EXPECT_EQ(a.root->roots.count(45), 0U) << "allocation " << n;
    const auto inner = a.root->roots.find(16);
    if (inner != a.root->roots.end()) {
      EXPECT_EQ(inner->second, inners.back());
    }
  }
}

// A newer version of family 15 of this module's own, whose init fails after
// the library's constructors built the chain below it.
class Msg15_v6 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 15;
  static constexpr std::int32_t versionNo = 6;
  explicit Msg15_v6(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<Msg15_v5>(*this, &Msg15_v6::init);
  }
  void init() { throw std::bad_alloc(); }
};

// Family 15's version 6 of this module's own, above the library's.
class Above_v6 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 15;
  static constexpr std::int32_t versionNo = 6;
  explicit Above_v6(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<Msg15_v5>(*this, &Above_v6::init);
  }
  void init() {}
};

// An owner frees every version of its chain, whichever module built it:
// this module's version 6 and the library's below it.
TEST(Construction, OwnerFreesEveryVersionWhicheverModuleBuiltIt) {
  { const tamberlo::Chain<Above_v6> first; }  // the per-thread state
  const int before = allocated;
  for (int i = 0; i < 110000; ++i) {
    const tamberlo::Chain<Above_v6> chain;
    ASSERT_NE(chain->getVersion<Msg15_v2>(), nullptr);
  }
  EXPECT_EQ(allocated, before);
}

TEST(Construction, FailureFreesWhatOtherModulesBuilt) {
  MsgMap none;
  // The library's records are allocated by the first construction.
  EXPECT_THROW(new Msg15_v6(none), std::bad_alloc);
  const int before = allocated;
  EXPECT_THROW(new Msg15_v6(none), std::bad_alloc);
  EXPECT_EQ(allocated, before);
}

}  // namespace
