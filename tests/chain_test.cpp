// tamberlo::Chain: an owner that resets its chain, moves, and leaves no
// name of a dropped root in the graph.  That it frees every version is
// construction_test's, which counts allocations.
#include <gtest/gtest.h>
#include <tamberlo/tamberlo.h>
#include <tamberlo/wrong_version.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A family of this test's own: a declared default, a field only the newest
// holds, a retired one and a conversion left unbound.
class Room_v1;
class Room_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 70;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<float, Room_v2> celsius{20.5f};
  ElementCur<std::int32_t, Room_v2> co2;
  explicit Room_v2(MsgMap& links);
  void init(Room_v1& older);
};
TAMBERLO_FIELDS(Room_v2, celsius, co2)

class Room_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 70;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<float, Room_v2> celsius;
  ElementPrev<std::int32_t, Room_v2> door{1};
  tamberlo::Converted<std::int32_t, &Room_v2::co2> ppm{400};
  explicit Room_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Room_v1, celsius, door, ppm)

Room_v2::Room_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Room_v1>(*this, &Room_v2::init);
}
void Room_v2::init(Room_v1& older) {
  older.celsius.bind(this, &Room_v2::celsius);
  older.door.retire();
  older.ppm.bind(nullptr);
}

// A version without a field list, whose stored fields a reset cannot tell.
class Bare_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 71;
  static constexpr std::int32_t versionNo = 1;
  explicit Bare_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};

TEST(Chain, ResetGivesEveryStoredFieldAFreshChainsValue) {
  tamberlo::Chain<Room_v2> room;
  Room_v1& v1 = *room->getVersion<Room_v1>();
  room->celsius = 30.0f;
  room->co2 = 900;
  v1.door = 5;
  v1.ppm = 800;
  room.reset();
  EXPECT_EQ(v1.celsius.get(), 20.5f);
  EXPECT_EQ(room->co2.get(), 0);
  EXPECT_EQ(v1.door.get(), 1);
  EXPECT_EQ(v1.ppm.get(), 400);
  EXPECT_EQ(room->getVersion<Room_v1>(), &v1);  // the same objects

  tamberlo::Chain<Bare_v1> bare;
  try {
    bare.reset();
    ADD_FAILURE() << "no exception";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(),
                 "tamberlo::Chain::reset: (anonymous namespace)::Bare_v1 "
                 "lists no fields (TAMBERLO_FIELDS), so its stored fields "
                 "cannot be told");
  }
}

TEST(Chain, MovesItsChainAndRefusesUseOnceMovedFrom) {
  tamberlo::Chain<Room_v2> from;
  from->co2 = 7;
  Room_v2* root = &from.root();
  tamberlo::Chain<Room_v2> to(std::move(from));
  EXPECT_EQ(&to.root(), root);
  EXPECT_EQ(to->getVersion<Room_v1>()->ppm.get(), 400);
  from = std::move(to);
  EXPECT_EQ(from->co2.get(), 7);
  try {
    (void)*to;
    ADD_FAILURE() << "no exception";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(),
                 "tamberlo::Chain<Room_v2>: used after it was moved from");
  }
}

// A joined root that is dropped is named by nothing: not by the root it
// joined, not by a copy of that root, and the roots joined through it
// leave the graph.
TEST(Chain, DroppedJoinedRootIsNamedByNothing) {
  tamberlo::Chain<Msg15_v5> a;
  MsgMap withA{{15, &a.root()}};
  std::optional<tamberlo::Chain<Msg16_v2>> b(std::in_place, withA);
  MsgMap withB{{16, b->root().getVersion<Msg16_v1>()}};
  const tamberlo::Chain<Room_v2> c(withB);
  Msg15_v5 copy = *a;
  ASSERT_EQ(a->getVersion<Msg16_v2>(), &b->root());
  ASSERT_EQ(a->getVersion<Room_v2>(), &c.root());
  b.reset();
  EXPECT_EQ(a->getVersion(16, 2), nullptr);
  EXPECT_EQ(copy.getVersion(16, 2), nullptr);
  EXPECT_EQ(a->getVersion(70, 2), nullptr);
  EXPECT_EQ(c->upstream, MsgMap{});
}

// Two roots of one family join; the second replaces the first, which stays
// joined through the root it was built from.  Destroyed oldest first, or
// the root they joined first, nothing is left naming any of them.
TEST(Chain, SecondRootOfAFamilyReplacesTheFirst) {
  for (const bool joinedFirst : {true, false}) {
    std::optional<tamberlo::Chain<Msg15_v5>> a(std::in_place);
    MsgMap withA{{15, &a->root()}};
    std::optional<tamberlo::Chain<Msg16_v2>> first(std::in_place, withA);
    std::optional<tamberlo::Chain<Msg16_v2>> second(std::in_place, withA);
    ASSERT_EQ((*a)->getVersion<Msg16_v2>(), &second->root());
    if (joinedFirst) {
      first.reset();
      EXPECT_EQ((*a)->roots.at(16), &second->root());
      second.reset();
      EXPECT_EQ((*a)->roots.count(16), 0U);
    } else {
      a.reset();
      EXPECT_EQ(first->root().upstream, MsgMap{});
      EXPECT_EQ(second->root().upstream, MsgMap{});
    }
  }
}

}  // namespace
