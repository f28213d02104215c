// The construction helper: a joined root of a family of one's own whose
// older version throws takes its announcement back.
#include <gtest/gtest.h>

#include "chains.h"

namespace {

struct Refused {};
class Own_v2;

class Own_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 40;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<float, Own_v2> value;

  explicit Own_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
    throw Refused{};  // as a failing allocation or member would
  }
};

class Own_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 40;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<float, Own_v2> value;

  explicit Own_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<Own_v1>(*this, &Own_v2::init);
  }
  void init() {
    tamberlo::olderVersion<Own_v1>(*this).value.bind(this, &Own_v2::value);
  }
};

TEST(BuildOlder, FailedJoinedRootLeavesNoPointerToIt) {
  Chain15 a;
  Chain16 b;
  b.root->roots[40] = b.root;  // existed before: restored
  MsgMap links{{15, a.v3}, {16, b.root}};
  EXPECT_THROW(new Own_v2(links), Refused);
  EXPECT_EQ(a.root->roots.count(40), 0U);  // absent before: erased
  EXPECT_EQ(b.root->roots.at(40), b.root);
}

}  // namespace
