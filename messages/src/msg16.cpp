// Family 16: the quaternion is stored in v2; v1 sees Euler angles through
// v2's converting accessors.
#include <tamberlo/construction.h>
#include <tamberlo/msg16_v1.h>
#include <tamberlo/msg16_v2.h>

Msg16_v2::Msg16_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Msg16_v1>(*this, &Msg16_v2::init);
}

void Msg16_v2::init() {
  tamberlo::olderVersion<Msg16_v1>(*this).att.bind(this, &Msg16_v2::getAtt,
                                                   &Msg16_v2::setAtt);
}

EulerAngles& Msg16_v2::getAtt() {
  attEuler.setFromQuaternion(att.get());
  return attEuler;
}

// Converts straight into the stored quaternion: `angles` is a copy of its
// own, so nothing read is written, and a temporary would only be copied.
void Msg16_v2::setAtt(EulerAngles angles) { att.get().setFromEA(angles); }

Msg16_v1::Msg16_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<void>(*this);
}
