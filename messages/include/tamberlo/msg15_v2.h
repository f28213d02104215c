/// \file
/// Msg15_v2: the oldest version of family 15; altitude first, in feet.
#ifndef TAMBERLO_MSG15_V2_H_
#define TAMBERLO_MSG15_V2_H_

#include <tamberlo/element_prev.h>
#include <tamberlo/export.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg15_v3.h>
#include <tamberlo/msg_base.h>

#include <cstdint>

/// Family 15, version 2, the oldest: altitude in whole feet, latitude and
/// longitude, each a view of the field of the same name in Msg15_v3.
class TAMBERLO_API Msg15_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 15;  ///< family id
  static constexpr std::int32_t versionNo = 2;  ///< version number
  ElementPrev<std::int32_t, Msg15_v3> alt;      ///< feet
  ElementPrev<float, Msg15_v3> lat;             ///< latitude
  ElementPrev<float, Msg15_v3> lng;             ///< longitude

  /// The oldest version: builds nothing below it and binds nothing.
  explicit Msg15_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Msg15_v2, alt, lat, lng)

#endif  // TAMBERLO_MSG15_V2_H_
