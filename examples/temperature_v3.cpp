// Family 30 of examples/temperature.cpp after a third version was added:
// version 3 stores the temperature and a new field, the former newest
// version 2 now forwards to it, and version 1 is unchanged.
// docs/adding-a-version.md walks through the change.
#include <tamberlo/check_chain.h>
#include <tamberlo/tamberlo.h>
#include <tamberlo/to_string.h>

#include <cstdint>
#include <cstdio>

#include "fahrenheit.h"

// The new newest version stores every field.
class Msg30_v3 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 30;
  static constexpr std::int32_t versionNo = 3;
  ElementCur<float, Msg30_v3> celsius;
  ElementCur<float, Msg30_v3> humidity;  ///< percent; new in version 3

  explicit Msg30_v3(MsgMap& links);
};
TAMBERLO_FIELDS(Msg30_v3, celsius, humidity)

// The former newest version, now in the middle: its stored field became a
// forwarding one of the same name and type.
class Msg30_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 30;
  static constexpr std::int32_t versionNo = 2;
  ElementPrev<float, Msg30_v3> celsius;

  explicit Msg30_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Msg30_v2, celsius)

// Written as before.  Its Converted field now reads celsius through the
// forwarding element, with the functions that version 2's binding
// instantiated: a client of version 1 needs no rebuild.
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

// Each version binds the one below by name: celsius to celsius, and the
// Converted field to version 2.
Msg30_v3::Msg30_v3(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Msg30_v2>(*this);
}

Msg30_v2::Msg30_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Msg30_v1>(*this);
}

int main() {
  // Roots live as long as the process.  Held in static storage, they and
  // everything they link to stay reachable, so leak checkers do not report
  // them; that is what the static storage is for.
  // NOLINTBEGIN(cppcoreguidelines-avoid-non-const-global-variables)
  static MsgMap none;
  static auto* const temperature = new Msg30_v3(none);
  static MsgBase* const position = MsgBase::getInstance(15);
  // NOLINTEND(cppcoreguidelines-avoid-non-const-global-variables)

  auto* v1 = temperature->getVersion<Msg30_v1>();
  v1->fahrenheit = 212;  // through version 2 into version 3
  temperature->humidity = 40.0f;
  std::printf("stored %.2f C, %.0f%%\n", temperature->celsius.get(),
              temperature->humidity.get());
  std::printf("%s\n", tamberlo::toString(*temperature).c_str());
  // What a test of this family asserts: no problem found in the chain.
  std::printf(
      "problems: %zu\n",
      tamberlo::checkChain<Msg30_v3, Msg30_v2, Msg30_v1>(temperature).size());

  // Joining is one-way: the joined root announces itself to family 15's
  // root, which then finds family 30, but it answers only for its own.
  MsgMap known{{15, position}};
  auto* joined = new Msg30_v3(known);
  joined->celsius = -40.0f;
  auto* seen = position->getVersion<Msg30_v1>();
  std::printf("via family 15: %d F\n", seen->fahrenheit.get());
  std::printf("family 15 via family 30: %s\n",
              joined->getVersion<Msg15_v2>() == nullptr ? "none" : "found");
  return 0;
}
