// Msg16_v2 once family 16 gained version 3: the same field, forwarding, and
// the same converting accessors.  Test-only.
#ifndef TAMBERLO_MSG16_V2_H_
#define TAMBERLO_MSG16_V2_H_

#include <tamberlo/attitude.h>
#include <tamberlo/element_prev.h>
#include <tamberlo/export.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg16_v3.h>
#include <tamberlo/msg_base.h>

class TAMBERLO_API Msg16_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 16;
  static constexpr std::int32_t versionNo = 2;
  ElementPrev<Quaternions, Msg16_v3> att;
  EulerAngles attEuler;

  explicit Msg16_v2(MsgMap& links);

 private:
  void init();
  EulerAngles& getAtt();
  void setAtt(EulerAngles angles);
};
TAMBERLO_FIELDS(Msg16_v2, att)

#endif  // TAMBERLO_MSG16_V2_H_
