// A family of your own in three versions, each change a declaration.
// Version 3 stores volts, amps and degrees Celsius; version 2 shows the
// voltage in whole millivolts; version 1 shows millivolts too and the
// temperature in whole degrees Fahrenheit.  docs/evolving-a-message.md
// walks through it.
#include <tamberlo/check_chain.h>
#include <tamberlo/tamberlo.h>
#include <tamberlo/to_string.h>

#include <cstdint>
#include <cstdio>

class Battery_v3 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 50;
  static constexpr std::int32_t versionNo = 3;
  ElementCur<float, Battery_v3> volts;
  ElementCur<float, Battery_v3> amps;
  ElementCur<float, Battery_v3> celsius{20.0f};  // until a reading arrives

  explicit Battery_v3(MsgMap& links);
};
TAMBERLO_FIELDS(Battery_v3, volts, amps, celsius)

class Battery_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 50;
  static constexpr std::int32_t versionNo = 2;
  tamberlo::Converted<std::int32_t, &Battery_v3::volts, tamberlo::Scale<1000>>
      millivolts;
  ElementPrev<float, Battery_v3> amps;
  ElementPrev<float, Battery_v3> celsius;

  explicit Battery_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Battery_v2, millivolts, amps, celsius)

class Battery_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 50;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<std::int32_t, Battery_v2> millivolts;
  tamberlo::Converted<std::int32_t, &Battery_v2::celsius,
                      tamberlo::Scale<9, 5, 32>>
      fahrenheit;

  explicit Battery_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Battery_v1, millivolts, fahrenheit)

// Each version binds the one below by name: no init at all.
Battery_v3::Battery_v3(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Battery_v2>(*this);
}
Battery_v2::Battery_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Battery_v1>(*this);
}

int main() {
  // Static storage keeps the root reachable, for leak checkers.
  // NOLINTBEGIN(cppcoreguidelines-avoid-non-const-global-variables)
  static MsgMap none;
  static auto* const battery = new Battery_v3(none);
  // NOLINTEND(cppcoreguidelines-avoid-non-const-global-variables)
  auto* v1 = battery->getVersion<Battery_v1>();
  std::printf("%s\n", tamberlo::toString(*v1).c_str());
  v1->millivolts = 3712;
  v1->fahrenheit = 98;
  battery->amps = 1.5f;
  std::printf("%s\n", tamberlo::toString(*battery).c_str());
  std::printf("%s\n",
              tamberlo::toString(*battery->getVersion<Battery_v2>()).c_str());
  std::printf("problems: %zu\n",
              tamberlo::checkChain<Battery_v1>(battery).size());
  return 0;
}
