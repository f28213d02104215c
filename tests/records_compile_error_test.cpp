// A field type records cannot hold, and a reader listing a version twice,
// must not compile, one per TAMBERLO_CASE_*.
#include <tamberlo/records.h>
#include <tamberlo/tamberlo.h>

#include <cstdint>

#include "every_type.h"

enum Loose { kLooseA, kLooseB };

class Msg41_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 41;
  static constexpr std::int32_t versionNo = 1;
#if defined(TAMBERLO_CASE_FieldOfUnsupportedType)
  ElementCur<long double, Msg41_v1> odd;
#elif defined(TAMBERLO_CASE_EnumerationWithoutFixedType)
  ElementCur<Loose, Msg41_v1> odd;
#else
  ElementCur<Quality, Msg41_v1> odd;
#endif

  explicit Msg41_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Msg41_v1, odd)

int main() {
  MsgMap none;
  Msg41_v1 odd(none);
  Msg40_v1 every(none);
#if defined(TAMBERLO_CASE_OneVersionTwice)
  tamberlo::readJson<Msg41_v1, Msg40_v1, Msg41_v1>(&odd, "{}");
#else
  tamberlo::readJson<Msg41_v1, Msg40_v1>(&odd, tamberlo::toJson(every));
#endif
  return static_cast<int>(tamberlo::toJson(odd).size());
}
