#include "sensor_v5.h"

#include "sensor_v4.h"

Sensor_v5::Sensor_v5(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Sensor_v4>(*this);
}
