// Family 61, version 4, the newest of the second generation: version 3's
// fields, stored, and one of its own.
#ifndef TAMBERLO_TESTS_SENSOR_V4_H_
#define TAMBERLO_TESTS_SENSOR_V4_H_

#include <tamberlo/tamberlo.h>

#include <cstdint>

class Sensor_v4 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 61;
  static constexpr std::int32_t versionNo = 4;
  ElementCur<float, Sensor_v4> volts;
  ElementCur<float, Sensor_v4> amps;
  ElementCur<float, Sensor_v4> celsius{20.0f};
  ElementCur<std::int32_t, Sensor_v4> minutes{75};
  ElementCur<std::uint8_t, Sensor_v4> red;
  ElementCur<std::uint8_t, Sensor_v4> green;
  ElementCur<std::uint8_t, Sensor_v4> blue{0x40};
  ElementCur<Position, Sensor_v4> position;
  ElementCur<float, Sensor_v4> speed;
  ElementCur<float, Sensor_v4> humidity{50.0f};

  explicit Sensor_v4(MsgMap& links);
};
TAMBERLO_FIELDS(Sensor_v4, volts, amps, celsius, minutes, red, green, blue,
                position, speed, humidity)

#endif  // TAMBERLO_TESTS_SENSOR_V4_H_
