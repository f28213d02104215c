// Authoring mistakes that must not compile, one per TAMBERLO_CASE_* macro;
// with none, the forms that must keep compiling (compile_error_test.cmake).
#include <tamberlo/check_chain.h>
#include <tamberlo/tamberlo.h>
#include <tamberlo/to_string.h>

#include <cstdint>
#include <string>

struct Feet {
  std::int32_t feet = 0;
  std::int32_t& get() { return feet; }
  void set(std::int32_t v) { feet = v; }
  void setByReference(const std::int32_t& v) { feet = v; }
};

struct Cached {
  ElementCur<float, Cached> lat;
  float feet = 0;
};
#if defined(TAMBERLO_CASE_FieldThatIsNoElement)
TAMBERLO_FIELDS(Cached, lat, feet)
#elif defined(TAMBERLO_CASE_FieldListedTwice)
TAMBERLO_FIELDS(Cached, lat, lat)
#elif !defined(TAMBERLO_CASE_NoFieldList)
TAMBERLO_FIELDS(Cached, lat)
#endif

int main() {
  MsgBase* root = MsgBase::getInstance(15);
  auto* v2 = root->getVersion<Msg15_v2>();
  auto* v3 = root->getVersion<Msg15_v3>();
  auto* v4 = root->getVersion<Msg15_v4>();
  Feet store;
  ElementPrev<std::int32_t, Feet> feet;
  ElementCur<std::int32_t, Feet> count;
#if defined(TAMBERLO_CASE_MemberOfAnotherValueType)
  v2->alt.bind(v3, &Msg15_v3::lat);  // whole feet as a float's bits
#elif defined(TAMBERLO_CASE_MemberThatIsNoElement)
  v3->alt.bind(v4, &Msg15_v4::altFeet);
#elif defined(TAMBERLO_CASE_SetterOfWrongSignature)
  feet.bind(&store, &Feet::get, &Feet::setByReference);
#elif defined(TAMBERLO_CASE_FloatAssignedToIntegerElement)
  v2->alt = 3048.75f;  // metres meant
#elif defined(TAMBERLO_CASE_FloatSetIntoIntegerElement)
  count.set(3e9);
#elif defined(TAMBERLO_CASE_ChainNotNewestFirst)
  tamberlo::checkChain<Msg15_v4, Msg15_v5>(root);
#elif defined(TAMBERLO_CASE_ChainSkipsAVersion)
  tamberlo::checkChain<Msg15_v5, Msg15_v3, Msg15_v2>(root);
#else
  tamberlo::checkChain<Msg15_v5, Msg15_v4, Msg15_v3, Msg15_v2>(root);
  v2->alt.bind(v3, &Msg15_v3::alt);
  feet.bind(&store, &Feet::get, &Feet::set);
  v2->alt = std::int32_t{32808};
  count.set(1000);
  v4->alt = 10000;  // an integer into a float element
  v4->lat = 45.0;   // a double into a float element
  root->getVersion<Msg15_v5>()->position = Position{};
#endif
  Cached cached;
  const std::string text = tamberlo::toString(cached);
  return v2->alt.get() + feet.get() + count.get() + (text.empty() ? 1 : 0);
}
