// The newest versions of the test-only build, and its factory, which
// builds them in place of Msg15_v5 and Msg16_v2.
#include <tamberlo/construction.h>
#include <tamberlo/msg15_v5.h>
#include <tamberlo/msg15_v6.h>
#include <tamberlo/msg16_v2.h>
#include <tamberlo/msg16_v3.h>

Msg15_v6::Msg15_v6(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Msg15_v5>(*this);
}

Msg16_v3::Msg16_v3(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Msg16_v2>(*this);
}

MsgBase* MsgBase::getInstance(int type) {
  static MsgMap registry;
  switch (type) {
    case 15:
      return new Msg15_v6(registry);
    case 16:
      return new Msg16_v3(registry);
    default:
      return nullptr;
  }
}
