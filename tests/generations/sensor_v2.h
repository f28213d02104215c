// Family 61, versions 1 and 2: the same source in every generation of the
// family, each field in one of the forms a version can use.
#ifndef TAMBERLO_TESTS_SENSOR_V2_H_
#define TAMBERLO_TESTS_SENSOR_V2_H_

#include <tamberlo/tamberlo.h>

#include <cstdint>

#include "sensor_conversions.h"
#include "sensor_v3.h"

class Sensor_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 61;
  static constexpr std::int32_t versionNo = 2;
  tamberlo::Converted<std::int32_t, &Sensor_v3::volts, tamberlo::Scale<1000>>
      millivolts;                      // ready-made
  ElementPrev<float, Sensor_v3> amps;  // by name
  tamberlo::Converted<std::int32_t, &Sensor_v3::celsius, Fahrenheit>
      fahrenheit;  // one's own
  tamberlo::Converted<std::int32_t, &Sensor_v3::minutes, Hours> hours;
  tamberlo::Converted<std::uint32_t, tamberlo::wholeVersion<Sensor_v3>,
                      PackedRgb>
      rgb;
  ElementPrev<float, Sensor_v3> lat;                   // nested
  ElementPrev<float, Sensor_v3> knots;                 // accessor form
  ElementPrev<std::int32_t, Sensor_v3> serial{61000};  // retired

  explicit Sensor_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Sensor_v2, millivolts, amps, fahrenheit, hours, rgb, lat, knots,
                serial)

class Sensor_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 61;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<std::int32_t, Sensor_v2> millivolts;
  tamberlo::Converted<std::int64_t, &Sensor_v2::hours> hours;
  ElementPrev<float, Sensor_v2> lat;

  explicit Sensor_v1(MsgMap& links);
};
TAMBERLO_FIELDS(Sensor_v1, millivolts, hours, lat)

// The newest version's root, built by the family's library.
MsgBase* newSensor();

#endif  // TAMBERLO_TESTS_SENSOR_V2_H_
