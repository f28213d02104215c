// Family 15, version 6: the newest in the test-only build of the library.
#ifndef TAMBERLO_MSG15_V6_H_
#define TAMBERLO_MSG15_V6_H_

#include <tamberlo/element_cur.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/position.h>

class Msg15_v6 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 15;
  static constexpr std::int32_t versionNo = 6;
  ElementCur<Position, Msg15_v6> position;
  ElementCur<float, Msg15_v6> accuracy{5.0f};

  explicit Msg15_v6(MsgMap& links);
};
TAMBERLO_FIELDS(Msg15_v6, position, accuracy)

#endif  // TAMBERLO_MSG15_V6_H_
