// Msg16_v2 in the extended form: a forwarding version of Msg17_v1.
//
// Stands in for the library's messages/include/tamberlo/msg16_v2.h, the
// same way as msg15_v5.h beside it.  `attEuler` is unchanged.
#ifndef TAMBERLO_MSG16_V2_H_
#define TAMBERLO_MSG16_V2_H_

#include <tamberlo/attitude.h>
#include <tamberlo/element_prev.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg17_v1.h>
#include <tamberlo/msg_base.h>

class Msg16_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 16;
  static constexpr std::int32_t versionNo = 2;
  ElementPrev<Quaternions, Msg17_v1> att;
  EulerAngles attEuler;
};
TAMBERLO_FIELDS(Msg16_v2, att)

#endif  // TAMBERLO_MSG16_V2_H_
