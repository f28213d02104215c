// Family 16, version 3: the newest in the test-only build of the library.
#ifndef TAMBERLO_MSG16_V3_H_
#define TAMBERLO_MSG16_V3_H_

#include <tamberlo/attitude.h>
#include <tamberlo/element_cur.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg_base.h>

class Msg16_v3 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 16;
  static constexpr std::int32_t versionNo = 3;
  ElementCur<Quaternions, Msg16_v3> att;
  ElementCur<float, Msg16_v3> rate;

  explicit Msg16_v3(MsgMap& links);
};
TAMBERLO_FIELDS(Msg16_v3, att, rate)

#endif  // TAMBERLO_MSG16_V3_H_
