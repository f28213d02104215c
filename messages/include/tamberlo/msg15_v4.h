// Msg15_v4: family 15, version 4; altitude in metres, forwarded to v5.
#ifndef TAMBERLO_MSG15_V4_H_
#define TAMBERLO_MSG15_V4_H_

#include <tamberlo/element_prev.h>
#include <tamberlo/export.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg15_v5.h>
#include <tamberlo/msg_base.h>

#include <cstdint>

class TAMBERLO_API Msg15_v4 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 15;
  static constexpr std::int32_t versionNo = 4;
  /// Altitude in whole feet as last computed for an older version; a read
  /// through v3 or v2 returns a reference to it.
  std::int32_t altFeet = 0;
  ElementPrev<float, Msg15_v5> lat;
  ElementPrev<float, Msg15_v5> lng;
  ElementPrev<float, Msg15_v5> alt;  ///< metres

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
