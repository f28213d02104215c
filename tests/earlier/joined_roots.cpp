// A client compiled against the headers of an earlier build of the library,
// run against today's: it joins roots of families 15 and 16 and of one of
// its own, and destroys them in both orders, as code of that time could.
// Its inline code (destructors, buildOlder, typed getVersion, checkChain)
// is of that time.  The suite runs it under each leg's sanitizers.
#include <tamberlo/check_chain.h>
#include <tamberlo/tamberlo.h>

#include <cstdint>
#include <cstdio>

class Own_v1;
class Own_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 80;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<float, Own_v2> level;
  explicit Own_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Own_v2, level)

class Own_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 80;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<float, Own_v2> level;
  explicit Own_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Own_v1, level)

Own_v2::Own_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Own_v1>(*this);
}

int main() {
  MsgMap none;
  auto* position = new Msg15_v5(none);
  MsgMap withPosition{{15, position}};
  // A family-16 root destroyed, then another joined.
  auto* first = new Msg16_v2(withPosition);
  auto* own = new Own_v2(withPosition);
  if (position->getVersion<Msg16_v2>() != first) return 1;
  delete first;
  auto* second = new Msg16_v2(withPosition);
  if (position->getVersion<Msg16_v2>() != second) return 2;
  position->getVersion<Own_v1>()->level = 2.5f;
  if (own->level.get() != 2.5f) return 3;
  // What the library keeps in the maps is nothing their checks report.
  MsgBase* built = MsgBase::getInstance(15);
  if (!tamberlo::checkChain<Msg15_v5, Msg15_v4, Msg15_v3, Msg15_v2>(built)
           .empty() ||
      !tamberlo::checkChain<Own_v2, Own_v1>(own, withPosition).empty()) {
    return 4;
  }
  // The family-15 root destroyed, then the roots joined to it.
  delete position;
  delete second;
  delete own;
  std::puts("joined roots destroyed in both orders");
  return 0;
}
