// The module the unload test loads: family 81's constructors, and a root
// built by its code.
#include "drop_family.h"

Drop_v2::Drop_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Drop_v1>(*this);
}

Drop_v1::Drop_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<void>(*this);
}

extern "C" __attribute__((visibility("default"))) MsgBase* buildDrop() {
  MsgMap none;
  return new Drop_v2(none);
}
