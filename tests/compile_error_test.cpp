// Authoring mistakes that must not compile, one per TAMBERLO_CASE_* macro;
// with no macro, the forms that must keep compiling.  compile_error_test.cmake
// compiles each case and checks the compiler's message.
#include <tamberlo/tamberlo.h>

#include <cstdint>

class Newer : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 40;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<float, Newer> metres;
  ElementCur<std::int32_t, Newer> count;
  std::int32_t plain = 0;

  explicit Newer(MsgMap& links);
  void init();
  std::int32_t& getFeet() { return plain; }
  void setFeet(std::int32_t feet) { plain = feet; }
  void setFeetByReference(const std::int32_t& feet) { plain = feet; }
};

class Older : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 40;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<std::int32_t, Newer> feet;
  ElementPrev<std::int32_t, Newer> count;

  explicit Older(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};

Newer::Newer(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Older>(*this, &Newer::init);
}

void Newer::init() {
  Older& older = tamberlo::olderVersion<Older>(*this);
#if defined(TAMBERLO_CASE_MEMBER_OF_OTHER_TYPE)
  older.feet.bind(this, &Newer::metres);  // an int32 view of a float
#elif defined(TAMBERLO_CASE_MEMBER_NOT_ELEMENT)
  older.feet.bind(this, &Newer::plain);
#elif defined(TAMBERLO_CASE_SETTER_SIGNATURE)
  older.feet.bind(this, &Newer::getFeet, &Newer::setFeetByReference);
#else
  older.feet.bind(this, &Newer::getFeet, &Newer::setFeet);
#endif
  older.count.bind(this, &Newer::count);
}

int main() {
  MsgBase* root = MsgBase::getInstance(15);
  auto* v2 = root->getVersion<Msg15_v2>();
  auto* v4 = root->getVersion<Msg15_v4>();
  MsgMap none;
  auto* own = new Newer(none);
#if defined(TAMBERLO_CASE_FLOAT_ASSIGNED_TO_INTEGER)
  v2->alt = 3048.75f;  // metres meant, into a feet element
#elif defined(TAMBERLO_CASE_FLOAT_SET_INTO_INTEGER)
  own->count.set(3e9);
#else
  v2->alt = std::int32_t{32808};
  v2->alt.set(1000);
  v4->alt = 10000;  // an integer into a float element
  v4->lat = 45.0;   // a double into a float element
  v4->lat.set(45.0);
  own->metres = 1.5f;
  own->count = 7;
  auto* v5 = root->getVersion<Msg15_v5>();
  v5->position = v5->position.get();  // a value struct
#endif
  return v2->alt.get() == 0 && own->count.get() == 0 ? 1 : 0;
}
