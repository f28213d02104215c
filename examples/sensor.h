// Family 60, a sensor's reading, in three released versions, locked by the
// test sensor_lock against sensor.lock (see CMakeLists.txt): a change that
// would break a client or a record of one of them fails that test.
// Version 3 stores; version 2 has no label, version 1 no mode either.
#ifndef TAMBERLO_EXAMPLES_SENSOR_H_
#define TAMBERLO_EXAMPLES_SENSOR_H_

#include <tamberlo/tamberlo.h>

#include <cstdint>
#include <string>

enum class Mode : std::uint8_t { idle, sampling };

class Sensor_v3 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 60;
  static constexpr std::int32_t versionNo = 3;
  ElementCur<float, Sensor_v3> volts;
  ElementCur<float, Sensor_v3> amps;
  ElementCur<Mode, Sensor_v3> mode;
  ElementCur<std::string, Sensor_v3> label;

  explicit Sensor_v3(MsgMap& links);
};
TAMBERLO_FIELDS(Sensor_v3, volts, amps, mode, label)

class Sensor_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 60;
  static constexpr std::int32_t versionNo = 2;
  ElementPrev<float, Sensor_v3> volts;
  ElementPrev<float, Sensor_v3> amps;
  ElementPrev<Mode, Sensor_v3> mode;

  explicit Sensor_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Sensor_v2, volts, amps, mode)

class Sensor_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 60;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<float, Sensor_v2> volts;
  ElementPrev<float, Sensor_v2> amps;

  explicit Sensor_v1(MsgMap& links);
};
TAMBERLO_FIELDS(Sensor_v1, volts, amps)

#endif  // TAMBERLO_EXAMPLES_SENSOR_H_
