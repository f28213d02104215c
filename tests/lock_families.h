// Families 90 and 91 as released, and as later changes leave them: each
// variant in a namespace of its own under the same class names, since a
// lock knows classes by name.
#ifndef TAMBERLO_TESTS_LOCK_FAMILIES_H_
#define TAMBERLO_TESTS_LOCK_FAMILIES_H_

#include <tamberlo/tamberlo.h>

#include <cstdint>

struct Span {
  ElementCur<double, Span> low;
  ElementCur<double, Span> high;
};
TAMBERLO_FIELDS(Span, low, high)

// Family 90 in one version, Sensor_v1, declaring `members` and listing the
// rest.
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage)
#define LOCK_SENSOR(space, members, ...)          \
  namespace space {                               \
  class Sensor_v1 : public MsgBase {              \
   public:                                        \
    template <typename T>                         \
    using Stored = ElementCur<T, Sensor_v1>;      \
    template <typename T>                         \
    using Forwarding = ElementPrev<T, Sensor_v1>; \
    static constexpr std::int32_t familyId = 90;  \
    static constexpr std::int32_t versionNo = 1;  \
    members explicit Sensor_v1(MsgMap& links)     \
        : MsgBase(familyId, versionNo, links) {   \
      tamberlo::buildOlder<void>(*this);          \
    }                                             \
  };                                              \
  TAMBERLO_FIELDS(Sensor_v1, __VA_ARGS__)         \
  }

LOCK_SENSOR(released, Stored<float> volts; Stored<float> amps;
            Stored<Span> span;, volts, amps, span)
LOCK_SENSOR(reordered, Stored<float> amps; Stored<float> volts;
            Stored<Span> span;, amps, volts, span)
LOCK_SENSOR(retyped, Stored<double> volts; Stored<float> amps;
            Stored<Span> span;, volts, amps, span)
LOCK_SENSOR(renamed, Stored<float> voltage; Stored<float> amps;
            Stored<Span> span;, voltage, amps, span)
LOCK_SENSOR(inserted, Stored<float> volts; Stored<bool> on; Stored<float> amps;
            Stored<Span> span;, volts, on, amps, span)
LOCK_SENSOR(removed, Stored<float> volts; Stored<Span> span;, volts, span)
LOCK_SENSOR(forwarding, Forwarding<float> volts; Stored<float> amps;
            Stored<Span> span;, volts, amps, span)
// A plain member before the fields moves them all.
LOCK_SENSOR(shifted, std::int32_t cache = 0; Stored<float> volts;
            Stored<float> amps; Stored<Span> span;, volts, amps, span)
// Two members swapped, listed as before.
LOCK_SENSOR(swapped, Stored<float> amps; Stored<float> volts; Stored<Span> span;
            , volts, amps, span)
LOCK_SENSOR(unlisted, Stored<float> volts; Stored<float> amps;
            Stored<Span> span;, volts, span)
namespace spanReordered {
struct Span {
  ElementCur<double, Span> high;
  ElementCur<double, Span> low;
};
TAMBERLO_FIELDS(Span, high, low)
}  // namespace spanReordered
LOCK_SENSOR(spanReordered, Stored<float> volts; Stored<float> amps;
            Stored<Span> span;, volts, amps, span)

// Family 91 as released: version 2 stores, version 1 forwards.
namespace twoVersions {
class Sensor_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 91;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<float, Sensor_v2> volts;
  ElementCur<float, Sensor_v2> amps;
  explicit Sensor_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Sensor_v2, volts, amps)
class Sensor_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 91;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<float, Sensor_v2> volts;
  ElementPrev<float, Sensor_v2> amps;
  explicit Sensor_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Sensor_v1, volts, amps)
inline Sensor_v2::Sensor_v2(MsgMap& links)
    : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Sensor_v1>(*this);
}
}  // namespace twoVersions

// Family 91 once version 3 is added: it stores the volts as a double,
// which version 2 shows as a float from `source`, Sensor_v3::volts; and
// version 1 forwards to version 2 as before.
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage)
#define LOCK_THREE_VERSIONS(space, source)                                    \
  namespace space {                                                           \
  class Sensor_v3 : public MsgBase {                                          \
   public:                                                                    \
    static constexpr std::int32_t familyId = 91;                              \
    static constexpr std::int32_t versionNo = 3;                              \
    ElementCur<double, Sensor_v3> volts;                                      \
    ElementCur<float, Sensor_v3> amps;                                        \
    explicit Sensor_v3(MsgMap& links);                                        \
  };                                                                          \
  TAMBERLO_FIELDS(Sensor_v3, volts, amps)                                     \
  class Sensor_v2 : public MsgBase {                                          \
   public:                                                                    \
    static constexpr std::int32_t familyId = 91;                              \
    static constexpr std::int32_t versionNo = 2;                              \
    tamberlo::Converted<float, source> volts;                                 \
    ElementPrev<float, Sensor_v3> amps;                                       \
    explicit Sensor_v2(MsgMap& links);                                        \
  };                                                                          \
  TAMBERLO_FIELDS(Sensor_v2, volts, amps)                                     \
  class Sensor_v1 : public MsgBase {                                          \
   public:                                                                    \
    static constexpr std::int32_t familyId = 91;                              \
    static constexpr std::int32_t versionNo = 1;                              \
    ElementPrev<float, Sensor_v2> volts;                                      \
    ElementPrev<float, Sensor_v2> amps;                                       \
    explicit Sensor_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) { \
      tamberlo::buildOlder<void>(*this);                                      \
    }                                                                         \
  };                                                                          \
  TAMBERLO_FIELDS(Sensor_v1, volts, amps)                                     \
  inline Sensor_v3::Sensor_v3(MsgMap& links)                                  \
      : MsgBase(familyId, versionNo, links) {                                 \
    tamberlo::buildOlder<Sensor_v2>(*this);                                   \
  }                                                                           \
  inline Sensor_v2::Sensor_v2(MsgMap& links)                                  \
      : MsgBase(familyId, versionNo, links) {                                 \
    tamberlo::buildOlder<Sensor_v1>(*this);                                   \
  }                                                                           \
  }

LOCK_THREE_VERSIONS(threeVersions, &Sensor_v3::volts)
// Version 2's volts show version 3's amps.
LOCK_THREE_VERSIONS(miswired, &Sensor_v3::amps)

// Family 92: version 1 shows version 2's degrees Celsius, `initial` in a
// fresh chain, as whole degrees Fahrenheit through the conversion given.
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage)
#define LOCK_THERMO(space, initial, ...)                                      \
  namespace space {                                                           \
  class Thermo_v2 : public MsgBase {                                          \
   public:                                                                    \
    static constexpr std::int32_t familyId = 92;                              \
    static constexpr std::int32_t versionNo = 2;                              \
    ElementCur<float, Thermo_v2> celsius{initial};                            \
    explicit Thermo_v2(MsgMap& links);                                        \
  };                                                                          \
  TAMBERLO_FIELDS(Thermo_v2, celsius)                                         \
  class Thermo_v1 : public MsgBase {                                          \
   public:                                                                    \
    static constexpr std::int32_t familyId = 92;                              \
    static constexpr std::int32_t versionNo = 1;                              \
    tamberlo::Converted<std::int32_t, &Thermo_v2::celsius, __VA_ARGS__>       \
        fahrenheit;                                                           \
    explicit Thermo_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) { \
      tamberlo::buildOlder<void>(*this);                                      \
    }                                                                         \
  };                                                                          \
  TAMBERLO_FIELDS(Thermo_v1, fahrenheit)                                      \
  inline Thermo_v2::Thermo_v2(MsgMap& links)                                  \
      : MsgBase(familyId, versionNo, links) {                                 \
    tamberlo::buildOlder<Thermo_v1>(*this);                                   \
  }                                                                           \
  }

LOCK_THERMO(thermo, 20.0f, tamberlo::Scale<9, 5, 32>)
// 72 degrees Fahrenheit stored as 72 degrees Celsius.
LOCK_THERMO(sameNumber, 20.0f, tamberlo::Scale<1>)
LOCK_THERMO(noOffset, 20.0f, tamberlo::Scale<9, 5>)
LOCK_THERMO(warmer, 25.0f, tamberlo::Scale<9, 5, 32>)

#endif  // TAMBERLO_TESTS_LOCK_FAMILIES_H_
