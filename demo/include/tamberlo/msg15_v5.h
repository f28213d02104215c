// Msg15_v5 in the extended form: a forwarding version of Msg17_v1.
//
// This header stands in for the library's messages/include/tamberlo/
// msg15_v5.h in programs built from the extended form: their include path
// puts demo/include first, so the shared headers' <tamberlo/msg15_v5.h>
// finds this one.  Only the data member differs; the library's objects are
// never read through it.
#ifndef TAMBERLO_MSG15_V5_H_
#define TAMBERLO_MSG15_V5_H_

#include <tamberlo/element_prev.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg17_v1.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/position.h>

class Msg15_v5 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 15;
  static constexpr std::int32_t versionNo = 5;
  ElementPrev<Position, Msg17_v1> position;
};
TAMBERLO_FIELDS(Msg15_v5, position)

#endif  // TAMBERLO_MSG15_V5_H_
