// Family 60's constructors, in the library `sensor` that its clients and
// its lock test link.
#include "sensor.h"

// Each version binds the one below by name.
Sensor_v3::Sensor_v3(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Sensor_v2>(*this);
}
Sensor_v2::Sensor_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Sensor_v1>(*this);
}
Sensor_v1::Sensor_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<void>(*this);
}
