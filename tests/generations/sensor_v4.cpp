// Version 4 binds version 3 by name: every field kept its name and type.
// The second and third generations share it.
#include "sensor_v4.h"

#include "sensor_v3.h"

Sensor_v4::Sensor_v4(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Sensor_v3>(*this);
}
