// Msg17_v2: position, velocity and attitude, forwarded to Msg20_v1.
#ifndef TAMBERLO_MSG17_V2_H_
#define TAMBERLO_MSG17_V2_H_

#include <tamberlo/attitude.h>
#include <tamberlo/element_prev.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg20_v1.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/position.h>
#include <tamberlo/velocity.h>

class Msg17_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 17;
  static constexpr std::int32_t versionNo = 2;
  ElementPrev<Position, Msg20_v1> position;
  ElementPrev<Velocity, Msg20_v1> velocity;
  ElementPrev<Quaternions, Msg20_v1> att;
};
TAMBERLO_FIELDS(Msg17_v2, position, velocity, att)

#endif  // TAMBERLO_MSG17_V2_H_
