// MsgBase: the factory, the links it builds, getVersion, and joining roots
// of different families with setRoot.
#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <vector>

#include "chains.h"

namespace {

// The object stored under `key` without the insertion operator[] makes.
MsgBase* at(const MsgMap& links, std::int32_t key) { return links.at(key); }

TEST(VersionGraph, FactoryBuildsFamily15ChainWithItsLinks) {
  MsgBase* v5 = keep(MsgBase::getInstance(15));
  ASSERT_NE(v5, nullptr);
  MsgBase* v4 = at(v5->older, 15);
  MsgBase* v3 = at(v4->older, 15);
  MsgBase* v2 = at(v3->older, 15);

  EXPECT_EQ(v5->id, 15);
  EXPECT_EQ(v5->version, 5);
  EXPECT_EQ(v5->upstream, MsgMap{});
  EXPECT_EQ(v5->peer, (MsgMap{{15, v5}}));
  EXPECT_EQ(families(v5->roots), (MsgMap{{15, v5}}));
  // Below the families, the chain's record, named by the root itself, to
  // which no lookup is passed.
  ASSERT_EQ(v5->roots.size(), 2U);
  EXPECT_EQ(v5->roots.begin()->second, v5);
  EXPECT_EQ(v5->getVersion(v5->roots.begin()->first, 0), nullptr);

  EXPECT_EQ(v4->version, 4);
  EXPECT_EQ(v4->upstream, (MsgMap{{15, v5}}));
  EXPECT_EQ(v4->peer, (MsgMap{{15, v4}}));
  EXPECT_EQ(families(v4->roots), MsgMap{});

  EXPECT_EQ(v3->version, 3);
  EXPECT_EQ(v3->upstream, (MsgMap{{15, v4}}));
  EXPECT_EQ(v3->peer, (MsgMap{{15, v3}}));
  EXPECT_EQ(families(v3->roots), MsgMap{});

  EXPECT_EQ(v2->id, 15);
  EXPECT_EQ(v2->version, 2);
  EXPECT_EQ(v2->older, (MsgMap{{15, nullptr}}));
  EXPECT_EQ(v2->upstream, (MsgMap{{15, v3}}));
  EXPECT_EQ(v2->peer, (MsgMap{{15, v2}}));
  EXPECT_EQ(families(v2->roots), MsgMap{});
}

TEST(VersionGraph, FactoryBuildsFamily16PairWithItsLinks) {
  MsgBase* v2 = keep(MsgBase::getInstance(16));
  ASSERT_NE(v2, nullptr);
  MsgBase* v1 = at(v2->older, 16);

  EXPECT_EQ(v2->id, 16);
  EXPECT_EQ(v2->version, 2);
  EXPECT_EQ(v2->upstream, MsgMap{});
  EXPECT_EQ(v2->peer, (MsgMap{{16, v2}}));
  EXPECT_EQ(families(v2->roots), (MsgMap{{16, v2}}));

  EXPECT_EQ(v1->id, 16);
  EXPECT_EQ(v1->version, 1);
  EXPECT_EQ(v1->older, (MsgMap{{16, nullptr}}));
  EXPECT_EQ(v1->upstream, (MsgMap{{16, v2}}));
  EXPECT_EQ(v1->peer, (MsgMap{{16, v1}}));
  EXPECT_EQ(families(v1->roots), MsgMap{});
}

TEST(VersionGraph, FactoryAnswersNullForUnknownFamilies) {
  for (int type : {0, 1, 14, 17, 18, 20, -15, INT_MIN, INT_MAX}) {
    EXPECT_EQ(MsgBase::getInstance(type), nullptr) << type;
  }
}

TEST(VersionGraph, EveryFactoryCallBuildsASeparateChain) {
  Chain15 a;
  Chain15 b;
  EXPECT_NE(a.root, b.root);
  EXPECT_NE(a.v4, b.v4);
  EXPECT_NE(a.v2, b.v2);
  a.v4->lat = 1.0f;
  b.v4->lat = 2.0f;
  EXPECT_EQ(a.v2->lat.get(), 1.0f);
  EXPECT_EQ(b.v2->lat.get(), 2.0f);
  EXPECT_EQ(a.root->getVersion(16, 1), nullptr);
  EXPECT_EQ(Chain16().root->getVersion(15, 5), nullptr);
}

TEST(VersionGraph, GetVersionFromRootFindsEveryVersionOfItsFamily) {
  MsgBase* root = keep(MsgBase::getInstance(15));
  EXPECT_EQ(root->getVersion(15, 5), root);
  for (std::int32_t n = 2; n <= 4; ++n) {
    MsgBase* found = root->getVersion(15, n);
    ASSERT_NE(found, nullptr) << n;
    EXPECT_EQ(found->id, 15);
    EXPECT_EQ(found->version, n);
  }
  for (std::int32_t n : {1, 6, 0, -1, INT_MIN, INT_MAX}) {
    EXPECT_EQ(root->getVersion(15, n), nullptr) << n;
  }
}

TEST(VersionGraph, GetVersionFromOlderVersionSearchesOnlyOlder) {
  Chain15 c;
  EXPECT_EQ(c.v3->getVersion(15, 3), c.v3);
  EXPECT_EQ(c.v3->getVersion(15, 2), c.v2);
  EXPECT_EQ(c.v3->getVersion(15, 4), nullptr);
  EXPECT_EQ(c.v3->getVersion(15, 5), nullptr);
  EXPECT_EQ(c.v2->getVersion(15, 3), nullptr);
}

TEST(VersionGraph, LookupsLeaveNullEntriesBehind) {
  MsgBase* root = keep(MsgBase::getInstance(15));
  MsgBase* v4 = at(root->older, 15);
  MsgBase* v3 = at(v4->older, 15);
  MsgBase* v2 = at(v3->older, 15);

  ASSERT_NE(root->getVersion(15, 2), nullptr);
  EXPECT_EQ(families(root->roots), (MsgMap{{15, root}}));
  EXPECT_EQ(families(v4->roots), (MsgMap{{15, nullptr}}));
  EXPECT_EQ(families(v3->roots), (MsgMap{{15, nullptr}}));
  EXPECT_EQ(families(v2->roots), (MsgMap{{15, nullptr}}));

  EXPECT_EQ(root->getVersion(16, 1), nullptr);
  EXPECT_EQ(root->getVersion(16, 2), nullptr);
  EXPECT_EQ(root->getVersion(18, 1), nullptr);
  EXPECT_EQ(families(root->roots),
            (MsgMap{{15, root}, {16, nullptr}, {18, nullptr}}));
  // A null entry counts as absent: asking again still answers null.
  EXPECT_EQ(root->getVersion(16, 1), nullptr);
}

TEST(VersionGraph, RootAnnouncesItselfToTheRootsInItsMap) {
  MsgMap none;
  MsgBase* a = keep(new Msg15_v5(none));
  MsgMap known{{15, a}};
  auto* b = keep(new Msg16_v2(known));

  EXPECT_EQ(families(a->roots), (MsgMap{{15, a}, {16, b}}));
  EXPECT_EQ(families(b->roots), MsgMap{});
  EXPECT_EQ(b->upstream, (MsgMap{{15, a}}));
  EXPECT_EQ(a->getVersion(16, 2), b);
  EXPECT_EQ(a->getVersion(16, 1), at(b->older, 16));
  EXPECT_EQ(b->getVersion(15, 5), nullptr);
  // The family-16 chain still works on its own.
  EXPECT_EQ(b->getVersion(16, 1), at(b->older, 16));
}

// setRoot is protected: a client's own version class may announce a root.
struct Announcer : MsgBase {
  explicit Announcer(MsgMap& links) : MsgBase(99, 1, links) {}
  using MsgBase::setRoot;
};

TEST(VersionGraph, AnnouncementClimbsFromAnOlderVersionToItsRoot) {
  Chain15 a;
  MsgMap known{{15, a.v3}};
  auto* b = keep(new Msg16_v2(known));

  EXPECT_EQ(at(a.root->roots, 16), b);
  EXPECT_EQ(a.v3->roots.count(16), 0u);
  EXPECT_EQ(a.v4->roots.count(16), 0u);
  EXPECT_EQ(b->upstream, (MsgMap{{15, a.v3}}));
  EXPECT_EQ(a.root->getVersion(16, 2), b);

  // setRoot climbs the same way from the object it is called on.
  MsgMap none;
  Announcer from(none);
  from.upstream = known;
  Chain16 c;
  from.setRoot(c.root, 16);
  EXPECT_EQ(a.root->getVersion(16, 1), c.v1);
  EXPECT_EQ(a.v3->getVersion(16, 2), nullptr);
  EXPECT_EQ(from.roots, (MsgMap{{99, &from}}));
}

TEST(VersionGraph, NullAndOwnFamilyEntriesOfTheMapArePassedOver) {
  MsgMap nullOnly{{15, nullptr}};
  auto* b = keep(new Msg16_v2(nullOnly));
  // Not empty, so the root records nothing, not even itself.
  EXPECT_EQ(families(b->roots), MsgMap{});
  EXPECT_EQ(b->upstream, nullOnly);
  EXPECT_EQ(b->getVersion(16, 1), at(b->older, 16));

  Chain16 other;
  MsgMap ownFamily{{16, other.root}};
  auto* c = keep(new Msg16_v2(ownFamily));
  EXPECT_EQ(families(other.root->roots), (MsgMap{{16, other.root}}));
  EXPECT_EQ(families(c->roots), MsgMap{});
}

TEST(VersionGraph, FirstRootBuiltRecordsEveryLaterRoot) {
  MsgMap none;
  auto* a = keep(new Msg15_v5(none));
  MsgMap withA{{15, a}};
  auto* b = keep(new Msg16_v2(withA));
  // A second family-15 root, announced through b up to a.
  MsgMap withAB{{15, a}, {16, b}};
  auto* c = keep(new Msg15_v5(withAB));

  EXPECT_EQ(families(a->roots), (MsgMap{{15, c}, {16, b}}));
  EXPECT_EQ(families(b->roots), MsgMap{});
  EXPECT_EQ(families(c->roots), MsgMap{});
  // a now passes its own family's requests on to c.
  EXPECT_EQ(a->getVersion(15, 5), c);
  EXPECT_EQ(a->getVersion(15, 4), at(c->older, 15));
}

TEST(VersionGraph, CopiesPointAtTheSameObjects) {
  Chain15 c;
  MsgBase copy(*c.v4);
  EXPECT_EQ(copy.id, 15);
  EXPECT_EQ(copy.version, 4);
  EXPECT_EQ(copy.older, c.v4->older);
  EXPECT_EQ(copy.upstream, c.v4->upstream);
  EXPECT_EQ(copy.peer, c.v4->peer);
  EXPECT_EQ(copy.getVersion(15, 2), c.v2);

  MsgBase assigned(*c.v2);
  MsgBase& result = (assigned = *c.root);
  EXPECT_EQ(&result, &assigned);
  EXPECT_EQ(assigned.version, 5);
  EXPECT_EQ(assigned.roots, c.root->roots);
  EXPECT_EQ(assigned.getVersion(15, 3), c.v3);
}

TEST(VersionGraph, SetOlderRedirectsLookupsThroughACopyOfItsArgument) {
  Chain15 c;
  MsgMap links{{15, c.v2}};
  c.v4->setOlder(links);
  links[15] = nullptr;
  EXPECT_EQ(c.v4->getVersion(15, 2), c.v2);
  EXPECT_EQ(c.v4->getVersion(15, 3), nullptr);
}

TEST(VersionGraph, TypedLookupTakesItsNumbersFromTheClass) {
  MsgBase* v5 = keep(MsgBase::getInstance(15));
  MsgBase* v4 = at(v5->older, 15);
  MsgBase* v3 = at(v4->older, 15);
  EXPECT_EQ(v5->getVersion<Msg15_v5>(), v5);
  EXPECT_EQ(v5->getVersion<Msg15_v4>(), v4);
  EXPECT_EQ(v5->getVersion<Msg15_v3>(), v3);
  EXPECT_EQ(v5->getVersion<Msg15_v2>(), at(v3->older, 15));
  EXPECT_EQ(v3->getVersion<Msg15_v4>(), nullptr);  // never climbs
  EXPECT_EQ(v5->getVersion<Msg16_v1>(), nullptr);
  MsgBase* w2 = keep(MsgBase::getInstance(16));
  EXPECT_EQ(w2->getVersion<Msg16_v2>(), w2);
  EXPECT_EQ(w2->getVersion<Msg16_v1>(), at(w2->older, 16));
}

// Plain copies make free-standing graph nodes: every field is public.
std::vector<MsgBase> nodes(std::size_t n, std::int32_t family) {
  MsgBase model(*keep(MsgBase::getInstance(16)));
  model.id = family;
  model.older.clear();
  model.peer.clear();
  model.roots.clear();
  return std::vector<MsgBase>(n, model);
}

TEST(VersionGraph, LookupsAnswerNullOnCyclesAndKeepTheirOtherAnswers) {
  MsgMap none;
  auto* a = keep(new Msg15_v5(none));
  MsgMap withA{{15, a}};
  auto* b = keep(new Msg16_v2(withA));
  // Roots that name each other, as copy-assigning them over each other does.
  b->roots[16] = a;
  EXPECT_EQ(a->getVersion(16, 1), nullptr);
  EXPECT_EQ(b->getVersion(16, 2), nullptr);
  EXPECT_EQ(a->getVersion(15, 3), a->getVersion<Msg15_v4>()->older.at(15));

  // An older link back up the chain: what lies before the cycle is found.
  Chain15 c;
  c.v2->older[15] = c.root;
  EXPECT_EQ(c.root->getVersion(15, 2), c.v2);
  EXPECT_EQ(c.root->getVersion(15, 1), nullptr);
  EXPECT_EQ(c.v3->getVersion(15, 9), nullptr);
  c.v2->older[15] = c.v2;
  EXPECT_EQ(c.v4->getVersion(15, 1), nullptr);
  EXPECT_EQ(c.v4->getVersion(15, 2), c.v2);
}

TEST(VersionGraph, AnnouncementsReachEachObjectOnceAndCyclesRecordNothing) {
  // An upstream cycle: v2 -> v3 -> v4 -> v5 -> v2.  No object of it records.
  Chain15 c;
  c.root->upstream[15] = c.v2;
  MsgMap viaV3{{15, c.v3}};
  auto* b = keep(new Msg16_v2(viaV3));
  for (MsgBase* m : std::vector<MsgBase*>{c.root, c.v4, c.v3, c.v2})
    EXPECT_EQ(m->roots.count(16), 0u);
  EXPECT_EQ(families(b->roots), MsgMap{});

  // A fan-in of depth 40: every node names both nodes of the level above,
  // 2^40 paths to the top.  Only the top pair, with no upstream, records.
  constexpr std::size_t kDepth = 40;
  std::vector<MsgBase> level = nodes(2 * kDepth + 2, 99);
  for (std::size_t i = 0; i < 2 * kDepth; ++i) {
    const std::size_t up = (i / 2 + 1) * 2;
    level[i].upstream = {{1, &level[up]}, {2, &level[up + 1]}};
  }
  MsgMap bottom{{1, &level[0]}};
  auto* d = keep(new Msg16_v2(bottom));
  EXPECT_EQ(level[2 * kDepth].roots, (MsgMap{{16, d}}));
  EXPECT_EQ(level[2 * kDepth + 1].roots, (MsgMap{{16, d}}));
  EXPECT_EQ(level[2 * kDepth - 1].roots, MsgMap{});
}

TEST(VersionGraph, WalksDoNotGrowTheStackWithTheGraph) {
  // Far deeper than a recursive walk's stack allows.
  constexpr std::size_t kLength = 300000;
  std::vector<MsgBase> line = nodes(kLength, 99);
  for (std::size_t i = 0; i + 1 < kLength; ++i) {
    line[i].version = static_cast<std::int32_t>(i);
    line[i].older = {{99, &line[i + 1]}};
    line[i + 1].upstream = {{99, &line[i]}};
  }
  line.back().version = -1;
  EXPECT_EQ(line[0].getVersion(99, -1), &line.back());
  EXPECT_EQ(line[0].getVersion(99, -2), nullptr);

  MsgMap fromTail{{99, &line.back()}};
  auto* root = keep(new Msg15_v5(fromTail));
  EXPECT_EQ(line[0].roots.at(15), root);
  EXPECT_EQ(line[1].roots.count(15), 0u);
}

}  // namespace
