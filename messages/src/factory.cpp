// MsgBase::getInstance lives with the catalogue because it is the one place
// that knows which families the library can build.
#include <tamberlo/msg15_v5.h>
#include <tamberlo/msg16_v2.h>
#include <tamberlo/msg_base.h>

MsgBase* MsgBase::getInstance(int type) {
  // Never written: every root is built from an empty map, so it records
  // itself as its family's root and no two chains are joined.  Being only
  // read, it is safe to share between threads.
  static MsgMap registry;
  switch (type) {
    case 15:
      return new Msg15_v5(registry);
    case 16:
      return new Msg16_v2(registry);
    default:
      return nullptr;
  }
}
