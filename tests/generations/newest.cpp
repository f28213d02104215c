// The family's factory: a root of its newest version, SENSOR_NEWEST, which
// each generation names.
#include "sensor_v2.h"

MsgBase* newSensor() {
  MsgMap none;
  return new SENSOR_NEWEST(none);
}
