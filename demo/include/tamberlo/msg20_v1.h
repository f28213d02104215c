// Msg20_v1: the newest version of the extended form; stores position and
// velocity.  A declaration only: no object of it is ever built.
#ifndef TAMBERLO_MSG20_V1_H_
#define TAMBERLO_MSG20_V1_H_

#include <tamberlo/element_cur.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/position.h>
#include <tamberlo/velocity.h>

class Msg20_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 20;
  static constexpr std::int32_t versionNo = 1;
  ElementCur<Position, Msg20_v1> position;
  ElementCur<Velocity, Msg20_v1> velocity;
};
TAMBERLO_FIELDS(Msg20_v1, position, velocity)

#endif  // TAMBERLO_MSG20_V1_H_
