// Versions 1 to 3 of family 61, the same source in every generation;
// version 3's header alone changes when the family gains a version.
#include "sensor_v2.h"

Sensor_v1::Sensor_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<void>(*this);
}

Sensor_v2::Sensor_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Sensor_v1>(*this);
}

Sensor_v3::Sensor_v3(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Sensor_v2>(*this, &Sensor_v3::init);
}

void Sensor_v3::init(Sensor_v2& previous) {
  tamberlo::bindByName(previous, *this);
  previous.lat.bind(this, &Sensor_v3::position, &Position::lat);
  previous.knots.bind(this, &Sensor_v3::getKnots, &Sensor_v3::setKnots);
  previous.serial.retire();
}

float& Sensor_v3::getKnots() {
  knotsCache = speed.get() * kKnotsPerMetrePerSecond;
  return knotsCache;
}

void Sensor_v3::setKnots(float knots) {
  speed = knots / kKnotsPerMetrePerSecond;
}
