// The construction helper: a root of a family of one's own whose
// construction fails, wherever it fails, leaves no pointer to what it built
// and frees every version it built.
#include <gtest/gtest.h>
#include <tamberlo/check_chain.h>
#include <tamberlo/wrong_version.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "chains.h"

namespace {

struct Refused {};

// Which step of building Own_v3 throws.
enum class Step { kNone, kMember, kOlderConstructor, kInit, kOuterMember };
Step failing = Step::kNone;  // NOLINT(*-avoid-non-const-global-variables)
int live = 0;                // NOLINT(*-avoid-non-const-global-variables)
// How many roots Own_v3's init builds, each inside the one before.
int nesting = 0;  // NOLINT(*-avoid-non-const-global-variables)

// Counts the versions alive, so that a test sees each freed.
struct Counted {
  Counted() { ++live; }
  Counted(const Counted&) = delete;
  Counted& operator=(const Counted&) = delete;
  ~Counted() { --live; }
};

struct ThrowsIf {
  explicit ThrowsIf(Step step) {
    if (failing == step) throw Refused{};
  }
};

class Own_v3;
class Own_v2;

class Own_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 41;
  static constexpr std::int32_t versionNo = 1;
  Counted counted;
  ElementPrev<float, Own_v2> value;

  explicit Own_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Own_v1, value)

class Own_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 41;
  static constexpr std::int32_t versionNo = 2;
  Counted counted;
  ElementPrev<float, Own_v3> value;

  explicit Own_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<Own_v1>(*this, &Own_v2::init);
  }
  // Throwing here fails Own_v2's constructor after it built Own_v1.
  void init(Own_v1& previous) {
    previous.value.bind(this, &Own_v2::value);
    ThrowsIf{Step::kOlderConstructor};
  }
};
TAMBERLO_FIELDS(Own_v2, value)

class Own_v3 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 41;
  static constexpr std::int32_t versionNo = 3;
  Counted counted;
  ThrowsIf member{Step::kMember};
  ElementCur<float, Own_v3> value;

  explicit Own_v3(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<Own_v2>(*this, &Own_v3::init);
  }
  void init() {
    tamberlo::olderVersion<Own_v2>(*this).value.bind(this, &Own_v3::value);
    ThrowsIf{Step::kInit};
    if (nesting-- > 0) {
      MsgMap none;
      keep(new Own_v3(none));
    }
  }
};
TAMBERLO_FIELDS(Own_v3, value)

// Builds a root of family 41 joined to chains of families 15 and 16, with
// `step` throwing, and expects every object to be as it was.
void expectUndone(Step step) {
  Chain15 a;
  Chain16 b;
  b.root->roots[41] = b.root;  // existed before: restored
  const MsgMap before15 = a.root->roots;
  MsgMap links{{15, a.v3}, {16, b.root}};
  failing = step;
  EXPECT_THROW(new Own_v3(links), Refused);
  failing = Step::kNone;
  EXPECT_EQ(live, 0);
  EXPECT_EQ(a.root->roots, before15);  // absent before: erased
  EXPECT_EQ(b.root->roots.at(41), b.root);
  // The next root of the family is built and joined as usual.
  auto* root = keep(new Own_v3(links));
  EXPECT_EQ(a.root->getVersion<Own_v1>(), root->getVersion<Own_v1>());
  EXPECT_EQ(tamberlo::checkChain<Own_v1>(root, links),
            std::vector<std::string>{});
  live = 0;
}

TEST(BuildOlder, FailingMemberInitialiserUndoesTheRoot) {
  expectUndone(Step::kMember);
}

TEST(BuildOlder, FailingOlderConstructorUndoesTheRoot) {
  expectUndone(Step::kOlderConstructor);
}

TEST(BuildOlder, FailingInitUndoesTheRoot) { expectUndone(Step::kInit); }

// A root built while another is under construction stands when the outer
// one fails, and the outer one's announcement is still taken back.
class Nests_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 42;
  static constexpr std::int32_t versionNo = 1;
  MsgBase* inner = keep(new Own_v3(upstream));
  ThrowsIf member{Step::kOuterMember};

  explicit Nests_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};

TEST(BuildOlder, NestedRootStandsWhenTheOuterFails) {
  Chain15 a;
  MsgMap links{{15, a.root}};
  failing = Step::kOuterMember;
  EXPECT_THROW(new Nests_v1(links), Refused);
  failing = Step::kNone;
  EXPECT_EQ(a.root->roots.count(42), 0U);
  ASSERT_EQ(a.root->roots.count(41), 1U);
  EXPECT_EQ(a.root->roots.at(41)->id, 41);
  live = 0;
}

// Versions under construction on a thread have no limit: 300 roots nested
// in one another's init hold 900, past the 256 of a fixed list.
TEST(BuildOlder, VersionsUnderConstructionHaveNoLimit) {
  MsgMap none;
  nesting = 299;
  keep(new Own_v3(none));
  EXPECT_EQ(live, 3 * 300);
  live = 0;
}

TEST(BuildOlder, OlderVersionOfAnotherClassThrowsNamingBoth) {
  Chain15 c;
  keep(c.v4);  // no longer reachable through its chain
  c.v5->older[15] = c.v3;
  try {
    tamberlo::olderVersion<Msg15_v4>(*c.v5);
    ADD_FAILURE() << "no exception";
  } catch (const tamberlo::WrongVersion& e) {
    EXPECT_STREQ(e.what(),
                 "tamberlo::olderVersion<Msg15_v4>: Msg15_v5's older version "
                 "is family 15 version 3, not Msg15_v4");
  }
  c.v5->older.clear();
  EXPECT_THROW(tamberlo::olderVersion<Msg15_v4>(*c.v5), std::logic_error);
}

// Roots that join other families, built and destroyed in every order:
// whatever is destroyed, no other family's object keeps naming it.
class Joins_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 43;
  static constexpr std::int32_t versionNo = 1;
  ElementCur<std::string, Joins_v1> name{"joins"};
  MsgBase* inner = nullptr;
  ThrowsIf member{Step::kOuterMember};

  explicit Joins_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};

// Another class under family 43's id.
class Impostor_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 43;
  static constexpr std::int32_t versionNo = 1;
  explicit Impostor_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};

// Its init builds a root of family 43 from a map naming this object, then
// fails.
class Outer_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 44;
  static constexpr std::int32_t versionNo = 1;
  static MsgBase* inner;
  explicit Outer_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
    MsgMap naming{{familyId, this}};
    inner = keep(new Joins_v1(naming));
    throw Refused{};
  }
};
MsgBase* Outer_v1::inner = nullptr;

TEST(BuildOlder, NoObjectNamesADestroyedRoot) {
  Chain15 a;
  MsgMap withA{{15, a.root}};
  {
    Joins_v1 joined(withA);
    EXPECT_EQ(a.root->getVersion<Joins_v1>(), &joined);
    Joins_v1 moved = std::move(joined);  // a copy: the source keeps its place
    EXPECT_EQ(joined.name.get(), "joins");
    EXPECT_EQ(a.root->getVersion<Joins_v1>(), &joined);
  }
  EXPECT_EQ(a.root->roots.count(43), 0U);
  EXPECT_EQ(a.root->getVersion(43, 1), nullptr);

  // The outer root fails after a root was built naming it.
  EXPECT_THROW(new Outer_v1(withA), Refused);
  EXPECT_EQ(Outer_v1::inner->upstream, MsgMap{});
  MsgMap withInner{{43, Outer_v1::inner}};
  auto* later = keep(new Own_v3(withInner));  // climbs through inner safely
  EXPECT_EQ(Outer_v1::inner->roots.at(41), later);
  live = 0;
}

TEST(BuildOlder, ClassesOfOneFamilyIdCannotBeConfused) {
  Chain15 a;
  MsgMap withA{{15, a.root}};
  auto* held = keep(new Joins_v1(withA));
  try {
    keep(new Impostor_v1(withA));
    ADD_FAILURE() << "no exception";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(),
                 "tamberlo: (anonymous namespace)::Impostor_v1 claims family "
                 "43 in a joined graph where another class holds its version "
                 "1: family ids must be unique");
  }
  EXPECT_EQ(a.root->getVersion<Joins_v1>(), held);
  // A root of the family that records the impostor's announcement itself.
  MsgMap nulls{{7, nullptr}};
  MsgMap withHolder{{15, keep(new Joins_v1(nulls))}};
  EXPECT_THROW(new Impostor_v1(withHolder), std::logic_error);
  // Wired by hand, the lookup finds the impostor, and the typed one refuses
  // it, naming the class asked for; the untyped one is unchanged.
  MsgMap none;
  auto* impostor = keep(new Impostor_v1(none));
  a.root->roots[43] = impostor;
  try {
    a.root->getVersion<Joins_v1>();
    ADD_FAILURE() << "no exception";
  } catch (const tamberlo::WrongVersion& e) {
    EXPECT_STREQ(e.what(),
                 "tamberlo::getVersion<(anonymous namespace)::Joins_v1>: "
                 "family 43 version 1 was built as another class, or another "
                 "layout of (anonymous namespace)::Joins_v1, than this code "
                 "knows: rebuild it against the headers the chain was built "
                 "with");
  }
  EXPECT_EQ(a.root->getVersion(43, 1), impostor);
}

}  // namespace
