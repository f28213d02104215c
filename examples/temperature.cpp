// A message family of your own on top of the installed framework.  Family
// 30 carries a temperature: version 2 stores float degrees Celsius, version
// 1 sees whole degrees Fahrenheit.  docs/adding-a-version.md walks through
// it.
#include <tamberlo/check_chain.h>
#include <tamberlo/tamberlo.h>
#include <tamberlo/to_string.h>

#include <cstdint>
#include <cstdio>

#include "fahrenheit.h"

// The newest version stores the data.
class Msg30_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 30;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<float, Msg30_v2> celsius;

  explicit Msg30_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Msg30_v2, celsius)

// The older version shows the newer version's field converted.
class Msg30_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 30;
  static constexpr std::int32_t versionNo = 1;
  tamberlo::Converted<std::int32_t, &Msg30_v2::celsius, Fahrenheit> fahrenheit;

  explicit Msg30_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);  // the oldest: nothing below it
  }
};
TAMBERLO_FIELDS(Msg30_v1, fahrenheit)

Msg30_v2::Msg30_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Msg30_v1>(*this);  // builds Msg30_v1, binds by name
}

int main() {
  // Static storage keeps the roots reachable for the life of the process,
  // so leak checkers do not report them or what they built.
  // NOLINTBEGIN(cppcoreguidelines-avoid-non-const-global-variables)
  static MsgMap none;
  static auto* const temperature = new Msg30_v2(none);
  static MsgBase* const position = MsgBase::getInstance(15);
  // NOLINTEND(cppcoreguidelines-avoid-non-const-global-variables)

  auto* v1 = temperature->getVersion<Msg30_v1>();
  v1->fahrenheit = 212;
  std::printf("stored %.2f C\n", temperature->celsius.get());
  temperature->celsius = 37.0f;
  std::printf("read %d F\n", v1->fahrenheit.get());
  std::printf("%s\n", tamberlo::toString(*v1).c_str());

  // Built from a map that names the family-15 root, a new root announces
  // itself there, and that root's getVersion finds family 30 too; it stays
  // reachable through that root's roots map.
  MsgMap known{{15, position}};
  auto* joined = new Msg30_v2(known);
  joined->celsius = -40.0f;
  auto* seen = position->getVersion<Msg30_v1>();
  std::printf("via family 15: %d F\n", seen->fahrenheit.get());

  // What a test of this family asserts: no problem in either chain.
  std::printf("problems: %zu and %zu\n",
              tamberlo::checkChain<Msg30_v1>(temperature).size(),
              tamberlo::checkChain<Msg30_v1>(joined, known).size());
  return 0;
}
