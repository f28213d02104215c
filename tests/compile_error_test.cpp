// Authoring mistakes that must not compile, one per TAMBERLO_CASE_* macro;
// with none, the forms that must keep compiling (compile_error_test.cmake).
#include <tamberlo/check_chain.h>
#include <tamberlo/tamberlo.h>
#include <tamberlo/to_string.h>

#include <cstdint>
#include <string>
#include <utility>

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

struct OneWay {
  static std::int32_t toOlder(float metres) {
    return static_cast<std::int32_t>(metres);
  }
};

struct NoFactor {
  static constexpr double factor = 0.0;
  static constexpr double offset = 273.15;
};

struct Mixed {
  ElementCur<float, Mixed> lat;
  float plain = 0;
};
struct HoldsMixed {
  ElementCur<Mixed, HoldsMixed> mixed;
};

struct Opaque {};
struct Kinds {
  enum class Scoped : std::uint8_t { kOn = 1 };
  enum Plain { kPlain = -2 };
  ElementCur<Opaque, Kinds> opaque;
  ElementCur<bool, Kinds> flag;
  ElementCur<std::int8_t, Kinds> small;
  ElementCur<Scoped, Kinds> scoped;
  ElementCur<Plain, Kinds> plain;
  ElementCur<std::string, Kinds> text;
};
#if !defined(TAMBERLO_CASE_TypeWithoutTextForm)
template <>
struct tamberlo::TextForm<Opaque> {
  static void append(std::string& out, const Opaque& /*value*/) {
    out += "opaque";
  }
};
#endif
TAMBERLO_FIELDS(Kinds, opaque, flag, small, scoped, plain, text)

#if defined(TAMBERLO_CASE_FieldsPastTheLimit)
struct Wide {};
TAMBERLO_FIELDS(Wide, f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12, f13,
                f14, f15, f16, f17, f18, f19, f20, f21, f22, f23, f24, f25, f26,
                f27, f28, f29, f30, f31, f32, f33, f34, f35, f36, f37, f38, f39,
                f40, f41, f42, f43, f44, f45, f46, f47, f48, f49, f50, f51, f52,
                f53, f54, f55, f56, f57, f58, f59, f60, f61, f62, f63, f64, f65)
#endif
#if defined(TAMBERLO_CASE_FieldThatIsNoElement)
TAMBERLO_FIELDS(Cached, lat, feet)
#elif defined(TAMBERLO_CASE_FieldNamedLikeAMsgBaseMember)
struct Hides {
  ElementCur<std::int32_t, Hides> version;
};
TAMBERLO_FIELDS(Hides, version)
TAMBERLO_FIELDS(Cached, lat)
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
  Kinds kinds;
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
#elif defined(TAMBERLO_CASE_WiderIntegerIntoElement)
  v2->alt = std::int64_t{5000000000};  // reads 705032688
#elif defined(TAMBERLO_CASE_SignednessMixIntoElement)
  count.set(std::uint32_t{1});
#elif defined(TAMBERLO_CASE_OlderVersionNotTheNext)
  tamberlo::olderVersion<Msg15_v3>(*root->getVersion<Msg15_v5>());
#elif defined(TAMBERLO_CASE_InitOfWrongSignature)
  tamberlo::buildOlder<Msg15_v4>(*root->getVersion<Msg15_v5>(), &Feet::get);
#elif defined(TAMBERLO_CASE_ConstObjectThatForwards)
  const Msg15_v2& constant = *v2;
  tamberlo::toString(constant);
#elif defined(TAMBERLO_CASE_NestedComponentOfAnotherType)
  ElementPrev<std::int32_t, Msg15_v5> whole;
  whole.bind(root->getVersion<Msg15_v5>(), &Msg15_v5::position, &Position::lat);
#elif defined(TAMBERLO_CASE_NestedPlainComponent)
  HoldsMixed holder;
  ElementPrev<float, HoldsMixed> plain;
  plain.bind(&holder, &HoldsMixed::mixed, &Mixed::plain);
#elif defined(TAMBERLO_CASE_PromotionOfAStruct)
  tamberlo::Converted<Position, &Msg15_v5::position> whole;
#elif defined(TAMBERLO_CASE_NestedIntoNumberMember)
  ElementPrev<float, Msg15_v4> lat;
  lat.bind(v4, &Msg15_v4::lat, &Position::lat);
#elif defined(TAMBERLO_CASE_ConversionWithoutWayBack)
  tamberlo::Converted<std::int32_t, &Msg15_v4::alt, OneWay> oneWay;
#elif defined(TAMBERLO_CASE_LinearScaleWithoutConstants)
  tamberlo::Converted<double, &Msg15_v4::alt, tamberlo::LinearScale<Feet> > k;
#elif defined(TAMBERLO_CASE_LinearScaleOfFactorZero)
  tamberlo::Converted<double, &Msg15_v4::alt, tamberlo::LinearScale<NoFactor> >
      k;
#elif defined(TAMBERLO_CASE_BindByNameOfAnotherPair)
  tamberlo::bindByName(*v2, *v4);
#elif defined(TAMBERLO_CASE_ChainNotNewestFirst)
  tamberlo::checkChain<Msg15_v4, Msg15_v5>(root);
#elif defined(TAMBERLO_CASE_ChainSkipsAVersion)
  tamberlo::checkChain<Msg15_v5, Msg15_v3, Msg15_v2>(root);
#elif defined(TAMBERLO_CASE_MsgBaseMoved)
  MsgBase moved = std::move(*root);
#elif defined(TAMBERLO_CASE_ChainCopied)
  tamberlo::Chain<Msg15_v5> owner;
  tamberlo::Chain<Msg15_v5> copy(owner);
#elif defined(TAMBERLO_CASE_NegativeFamilyId)
  struct Negative : MsgBase {
    static constexpr std::int32_t familyId = -3;
    static constexpr std::int32_t versionNo = 1;
    explicit Negative(MsgMap& links) : MsgBase(familyId, versionNo, links) {
      tamberlo::buildOlder<void>(*this);
    }
  };
#else
  tamberlo::checkChain<Msg15_v5, Msg15_v4, Msg15_v3, Msg15_v2>(root);
  v2->alt.bind(v3, &Msg15_v3::alt);
  feet.bind(&store, &Feet::get, &Feet::set);
  v2->alt = std::int32_t{32808};
  count.set(1000);
  v4->alt = 10000;  // an integer into a float element
  v4->alt = std::int64_t{1};
  v4->lat = 45.0;  // a double into a float element
  root->getVersion<Msg15_v5>()->position = Position{};
  tamberlo::checkChain<Msg15_v2>(root);
  tamberlo::olderVersion<Msg15_v4>(*root->getVersion<Msg15_v5>());
  kinds.small = 1;  // an int into any integer element
  kinds.small = std::int8_t{1};
  count = std::int16_t{1};
  kinds.flag = true;
  kinds.scoped = Kinds::Scoped::kOn;
  kinds.text = "text";
  const Position constant{};
  tamberlo::toString(constant);
  ElementPrev<float, Msg15_v5> nested{2.5f};
  nested.bind(root->getVersion<Msg15_v5>(), &Msg15_v5::position,
              &Position::lat);
  nested.retire();
  tamberlo::Converted<std::int32_t, &Msg15_v4::alt> promoted;
  tamberlo::Converted<std::int32_t, &Msg15_v4::alt, tamberlo::Scale<100> > cm;
  promoted.bind(v4);
  cm = 5;
  tamberlo::bindByName(*v2, *v3);
#endif
  tamberlo::toString(kinds);
  Cached cached;
  const std::string text = tamberlo::toString(cached);
  return v2->alt.get() + feet.get() + count.get() + (text.empty() ? 1 : 0);
}
