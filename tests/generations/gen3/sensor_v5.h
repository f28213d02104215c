// Family 61, version 5, the newest of the third generation.
#ifndef TAMBERLO_TESTS_SENSOR_V5_H_
#define TAMBERLO_TESTS_SENSOR_V5_H_

#include <tamberlo/tamberlo.h>

#include <cstdint>

class Sensor_v5 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 61;
  static constexpr std::int32_t versionNo = 5;
  ElementCur<float, Sensor_v5> volts;
  ElementCur<float, Sensor_v5> amps;
  ElementCur<float, Sensor_v5> celsius{20.0f};
  ElementCur<std::int32_t, Sensor_v5> minutes{75};
  ElementCur<std::uint8_t, Sensor_v5> red;
  ElementCur<std::uint8_t, Sensor_v5> green;
  ElementCur<std::uint8_t, Sensor_v5> blue{0x40};
  ElementCur<Position, Sensor_v5> position;
  ElementCur<float, Sensor_v5> speed;
  ElementCur<float, Sensor_v5> humidity{50.0f};

  explicit Sensor_v5(MsgMap& links);
};
TAMBERLO_FIELDS(Sensor_v5, volts, amps, celsius, minutes, red, green, blue,
                position, speed, humidity)

#endif  // TAMBERLO_TESTS_SENSOR_V5_H_
