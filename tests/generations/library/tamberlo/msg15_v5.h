// Msg15_v5 once family 15 gained version 6: the same field, forwarding, and
// the same accessors, which read through it.  Test-only.
#ifndef TAMBERLO_MSG15_V5_H_
#define TAMBERLO_MSG15_V5_H_

#include <tamberlo/element_prev.h>
#include <tamberlo/export.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg15_v6.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/position.h>

class TAMBERLO_API Msg15_v5 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 15;
  static constexpr std::int32_t versionNo = 5;
  ElementPrev<Position, Msg15_v6> position;

  explicit Msg15_v5(MsgMap& links);

 private:
  void init();
  float& getLat();
  void setLat(float v);
  float& getLng();
  void setLng(float v);
  float& getAlt();
  void setAlt(float v);
};
TAMBERLO_FIELDS(Msg15_v5, position)

#endif  // TAMBERLO_MSG15_V5_H_
