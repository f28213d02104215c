/// \file
/// Msg15_v4: family 15, version 4; altitude in metres, forwarded to v5.
#ifndef TAMBERLO_MSG15_V4_H_
#define TAMBERLO_MSG15_V4_H_

#include <tamberlo/element_prev.h>
#include <tamberlo/export.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg15_v5.h>
#include <tamberlo/msg_base.h>

#include <cstdint>

/// Family 15, version 4: latitude, longitude and altitude in metres, each a
/// view of a component of Msg15_v5's position.
class TAMBERLO_API Msg15_v4 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 15;  ///< family id
  static constexpr std::int32_t versionNo = 4;  ///< version number
  /// Altitude in whole feet as last computed for an older version; a read
  /// through v3 or v2 returns a reference to it.
  std::int32_t altFeet = 0;
  ElementPrev<float, Msg15_v5> lat;  ///< latitude
  ElementPrev<float, Msg15_v5> lng;  ///< longitude
  ElementPrev<float, Msg15_v5> alt;  ///< metres

  /// Builds this version and, below it, versions 3 and 2, each bound to
  /// the next newer one.
  explicit Msg15_v4(MsgMap& links);

 private:
  void init();
  /// Metres to feet, truncated toward zero; NaN gives 0 and out-of-range
  /// products saturate to INT32_MIN / INT32_MAX.
  std::int32_t& getAlt();
  /// Feet to metres; leaves altFeet unchanged.
  void setAlt(std::int32_t feet);
};
TAMBERLO_FIELDS(Msg15_v4, lat, lng, alt)

#endif  // TAMBERLO_MSG15_V4_H_
