// Msg15_v3: family 15, version 3; altitude in whole feet.
#ifndef TAMBERLO_MSG15_V3_H_
#define TAMBERLO_MSG15_V3_H_

#include <tamberlo/element_prev.h>
#include <tamberlo/export.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg15_v4.h>
#include <tamberlo/msg_base.h>

#include <cstdint>

class TAMBERLO_API Msg15_v3 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 15;
  static constexpr std::int32_t versionNo = 3;
  ElementPrev<float, Msg15_v4> lat;
  ElementPrev<float, Msg15_v4> lng;
  ElementPrev<std::int32_t, Msg15_v4> alt;  ///< feet

  explicit Msg15_v3(MsgMap& links);

 private:
  void init();
};
TAMBERLO_FIELDS(Msg15_v3, lat, lng, alt)

#endif  // TAMBERLO_MSG15_V3_H_
