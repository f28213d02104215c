// Msg17_v1: where families 15 and 16 merge; forwards to Msg17_v2.
#ifndef TAMBERLO_MSG17_V1_H_
#define TAMBERLO_MSG17_V1_H_

#include <tamberlo/attitude.h>
#include <tamberlo/element_prev.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg17_v2.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/position.h>

class Msg17_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 17;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<Position, Msg17_v2> position;
  ElementPrev<Quaternions, Msg17_v2> att;
};
TAMBERLO_FIELDS(Msg17_v1, position, att)

#endif  // TAMBERLO_MSG17_V1_H_
