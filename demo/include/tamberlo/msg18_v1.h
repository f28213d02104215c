// Msg18_v1: velocity only, absorbed by Msg17_v2.
#ifndef TAMBERLO_MSG18_V1_H_
#define TAMBERLO_MSG18_V1_H_

#include <tamberlo/element_prev.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg17_v2.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/velocity.h>

class Msg18_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 18;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<Velocity, Msg17_v2> velocity;
};
TAMBERLO_FIELDS(Msg18_v1, velocity)

#endif  // TAMBERLO_MSG18_V1_H_
