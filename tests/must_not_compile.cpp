// Misuse that must not compile.  Each case is built alone, with CASE_<name>
// defined; tests/CMakeLists.txt names the message the compiler must give.
#include <tamberlo/tamberlo.h>

#include <string>

#if defined(CASE_FieldNotAnElement)
struct Cached {
  ElementCur<float, Cached> lat;
  float feet = 0;
};
TAMBERLO_FIELDS(Cached, lat, feet)
#elif defined(CASE_FieldListedTwice)
struct Twice {
  ElementCur<float, Twice> lat;
  ElementCur<float, Twice> lng;
};
TAMBERLO_FIELDS(Twice, lat, lng, lat)
#elif defined(CASE_NoFieldList)
struct Unlisted {
  ElementCur<float, Unlisted> lat;
};
std::string text(Unlisted& u) { return tamberlo::toString(u); }
#elif defined(CASE_ChainNotNewestFirst)
auto problems(MsgBase* root) {
  return tamberlo::checkChain<Msg15_v5, Msg15_v3, Msg15_v4, Msg15_v2>(root);
}
#endif
