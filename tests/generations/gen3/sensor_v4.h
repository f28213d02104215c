// Family 61, version 4, once version 5 was added: forwarding by name.
#ifndef TAMBERLO_TESTS_SENSOR_V4_H_
#define TAMBERLO_TESTS_SENSOR_V4_H_

#include <tamberlo/tamberlo.h>

#include <cstdint>

#include "sensor_v5.h"

class Sensor_v4 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 61;
  static constexpr std::int32_t versionNo = 4;
  ElementPrev<float, Sensor_v5> volts;
  ElementPrev<float, Sensor_v5> amps;
  ElementPrev<float, Sensor_v5> celsius;
  ElementPrev<std::int32_t, Sensor_v5> minutes;
  ElementPrev<std::uint8_t, Sensor_v5> red;
  ElementPrev<std::uint8_t, Sensor_v5> green;
  ElementPrev<std::uint8_t, Sensor_v5> blue;
  ElementPrev<Position, Sensor_v5> position;
  ElementPrev<float, Sensor_v5> speed;
  ElementPrev<float, Sensor_v5> humidity;

  explicit Sensor_v4(MsgMap& links);
};
TAMBERLO_FIELDS(Sensor_v4, volts, amps, celsius, minutes, red, green, blue,
                position, speed, humidity)

#endif  // TAMBERLO_TESTS_SENSOR_V4_H_
