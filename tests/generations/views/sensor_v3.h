// Family 61, version 3, once version 4 was added: the same fields, each now
// forwarding to version 4 by name.
#ifndef TAMBERLO_TESTS_SENSOR_V3_H_
#define TAMBERLO_TESTS_SENSOR_V3_H_

#include <tamberlo/tamberlo.h>

#include <cstdint>

#include "sensor_v4.h"

class Sensor_v2;

class Sensor_v3 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 61;
  static constexpr std::int32_t versionNo = 3;
  ElementPrev<float, Sensor_v4> volts;
  ElementPrev<float, Sensor_v4> amps;
  ElementPrev<float, Sensor_v4> celsius;
  ElementPrev<std::int32_t, Sensor_v4> minutes;
  ElementPrev<std::uint8_t, Sensor_v4> red;
  ElementPrev<std::uint8_t, Sensor_v4> green;
  ElementPrev<std::uint8_t, Sensor_v4> blue;
  ElementPrev<Position, Sensor_v4> position;
  ElementPrev<float, Sensor_v4> speed;  // metres a second

  explicit Sensor_v3(MsgMap& links);

 private:
  static constexpr float kKnotsPerMetrePerSecond = 1.943844f;
  float knotsCache = 0.0f;
  void init(Sensor_v2& older);
  float& getKnots();
  void setKnots(float knots);
};
TAMBERLO_FIELDS(Sensor_v3, volts, amps, celsius, minutes, red, green, blue,
                position, speed)

#endif  // TAMBERLO_TESTS_SENSOR_V3_H_
