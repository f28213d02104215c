// Family 61, version 3, as first released: the newest, storing the data.
#ifndef TAMBERLO_TESTS_SENSOR_V3_H_
#define TAMBERLO_TESTS_SENSOR_V3_H_

#include <tamberlo/tamberlo.h>

#include <cstdint>

class Sensor_v2;

class Sensor_v3 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 61;
  static constexpr std::int32_t versionNo = 3;
  ElementCur<float, Sensor_v3> volts;
  ElementCur<float, Sensor_v3> amps;
  ElementCur<float, Sensor_v3> celsius{20.0f};
  ElementCur<std::int32_t, Sensor_v3> minutes{75};
  ElementCur<std::uint8_t, Sensor_v3> red;
  ElementCur<std::uint8_t, Sensor_v3> green;
  ElementCur<std::uint8_t, Sensor_v3> blue{0x40};
  ElementCur<Position, Sensor_v3> position;
  ElementCur<float, Sensor_v3> speed;  // metres a second

  explicit Sensor_v3(MsgMap& links);

 private:
  static constexpr float kKnotsPerMetrePerSecond = 1.943844f;
  float knotsCache = 0.0f;
  void init(Sensor_v2& previous);
  float& getKnots();
  void setKnots(float knots);
};
TAMBERLO_FIELDS(Sensor_v3, volts, amps, celsius, minutes, red, green, blue,
                position, speed)

#endif  // TAMBERLO_TESTS_SENSOR_V3_H_
