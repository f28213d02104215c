/// \file
/// Msg15_v3: family 15, version 3; altitude in whole feet.
#ifndef TAMBERLO_MSG15_V3_H_
#define TAMBERLO_MSG15_V3_H_

#include <tamberlo/element_prev.h>
#include <tamberlo/export.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg15_v4.h>
#include <tamberlo/msg_base.h>

#include <cstdint>

/// Family 15, version 3: latitude, longitude and altitude in whole feet,
/// each a view of Msg15_v4's field; the feet are converted from its metres.
class TAMBERLO_API Msg15_v3 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 15;  ///< family id
  static constexpr std::int32_t versionNo = 3;  ///< version number
  ElementPrev<float, Msg15_v4> lat;             ///< latitude
  ElementPrev<float, Msg15_v4> lng;             ///< longitude
  ElementPrev<std::int32_t, Msg15_v4> alt;      ///< feet

  /// Builds this version and Msg15_v2 below it, bound to this one.
  explicit Msg15_v3(MsgMap& links);

 private:
  void init();
};
TAMBERLO_FIELDS(Msg15_v3, lat, lng, alt)

#endif  // TAMBERLO_MSG15_V3_H_
