// Family 81, whose versions a module of their own builds, for the test
// that unloads it.
#ifndef TAMBERLO_TESTS_UNLOAD_DROP_FAMILY_H_
#define TAMBERLO_TESTS_UNLOAD_DROP_FAMILY_H_

#include <tamberlo/tamberlo.h>

#include <cstdint>

class Drop_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 81;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<float, Drop_v2> level{1.5f};
  explicit Drop_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Drop_v2, level)

class Drop_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 81;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<float, Drop_v2> level;
  explicit Drop_v1(MsgMap& links);
};
TAMBERLO_FIELDS(Drop_v1, level)

#endif  // TAMBERLO_TESTS_UNLOAD_DROP_FAMILY_H_
