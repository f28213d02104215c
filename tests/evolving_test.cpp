// Schema changes as declarations, where examples/evolving.cpp (whose
// output the package tests check) does not reach: a field bound by name
// only at its own value type, a retired field beside one left unbound by
// mistake, Promotion and the scales at their edges, and nested and
// Converted fields whose newer version forwards.
#include <gtest/gtest.h>
#include <tamberlo/check_chain.h>
#include <tamberlo/to_string.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "chains.h"

namespace {

class Evo_v1;

class Evo_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 62;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<float, Evo_v2> humidity{50.0f};
  ElementCur<std::int32_t, Evo_v2> count;
  ElementCur<float, Evo_v2> level;
  ElementCur<std::int64_t, Evo_v2> micros;
  ElementCur<float, Evo_v2> celsius;
  ElementCur<std::int32_t, Evo_v2> wholeCelsius;

  explicit Evo_v2(MsgMap& links);
  void init(Evo_v1& previous);
};
TAMBERLO_FIELDS(Evo_v2, humidity, count, level, micros, celsius, wholeCelsius)

struct KelvinOfCelsius {
  static constexpr double factor = 1.0;
  static constexpr double offset = 273.15;
};

class Evo_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 62;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<float, Evo_v2> humidity;
  ElementPrev<std::int32_t, Evo_v2> pressure{1013};
  ElementPrev<float, Evo_v2> count;  // another type: not bound by name
  tamberlo::Converted<std::int32_t, &Evo_v2::level> level;
  tamberlo::Converted<std::int64_t, &Evo_v2::micros, tamberlo::Scale<1000>>
      nanos;
  tamberlo::Converted<std::int32_t, &Evo_v2::celsius, tamberlo::Scale<9, 5, 32>>
      fahrenheit;
  tamberlo::Converted<std::int16_t, &Evo_v2::wholeCelsius,
                      tamberlo::Scale<9, 5, 32>>
      wholeFahrenheit;
  tamberlo::Converted<double, &Evo_v2::celsius,
                      tamberlo::LinearScale<KelvinOfCelsius>>
      kelvin;

  explicit Evo_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Evo_v1, humidity, pressure, count, level, nanos, fahrenheit,
                wholeFahrenheit, kelvin)

Evo_v2::Evo_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Evo_v1>(*this, &Evo_v2::init);
}

void Evo_v2::init(Evo_v1& previous) {
  tamberlo::bindByName(previous, *this);
  previous.pressure.retire();
}

TEST(Evolving, ByNameOnlyAtTheSameTypeAndRetiredFields) {
  MsgMap none;
  auto* a = keep(new Evo_v2(none));
  auto* b = keep(new Evo_v2(none));
  auto* a1 = a->getVersion<Evo_v1>();
  EXPECT_EQ(a1->humidity.get(), 50.0f);
  a1->pressure = 990;
  EXPECT_EQ(a1->pressure.get(), 990);
  EXPECT_EQ(b->getVersion<Evo_v1>()->pressure.get(), 1013);
  a1->count = 7.0f;  // its own slot: count was left unbound
  EXPECT_EQ(a->count.get(), 0);
  EXPECT_EQ(tamberlo::checkChain<Evo_v1>(a),
            std::vector<std::string>{"Evo_v1::count: unbound"});
}

TEST(Evolving, PromotionRoundsTiesAwaySaturatesAndReadsNaNAsZero) {
  MsgMap none;
  auto* v2 = keep(new Evo_v2(none));
  auto* v1 = v2->getVersion<Evo_v1>();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  for (const auto& [level, shown] : std::vector<std::pair<float, std::int32_t>>{
           {2.5f, 3},
           {-2.5f, -3},
           {2.49f, 2},
           {2147483520.0f, 2147483520},  // the greatest float below 2^31
           {2147483648.0f, kMax},
           {-2147483648.0f, kMin},
           {-1e10f, kMin},
           {std::numeric_limits<float>::quiet_NaN(), 0}}) {
    v2->level = level;
    EXPECT_EQ(v1->level.get(), shown) << level;
  }
  v1->level = 16777217;  // stored as the nearest float
  EXPECT_EQ(v2->level.get(), 16777216.0f);
  // Saturated between integer types; to float the nearest, IEEE 754's
  // rounding beyond the finite range.
  EXPECT_EQ(tamberlo::convertValue<std::uint32_t>(std::int32_t{-1}), 0U);
  EXPECT_EQ(tamberlo::convertValue<std::int8_t>(std::int64_t{-129}), -128);
  EXPECT_EQ(tamberlo::convertValue<std::uint64_t>(std::int64_t{kMin}), 0U);
  EXPECT_EQ(tamberlo::convertValue<std::int32_t>(std::uint64_t{1} << 63U),
            kMax);
  EXPECT_EQ(tamberlo::convertValue<double>(std::int64_t{9007199254740993}),
            9007199254740992.0);
  constexpr double kOverflow = 3.4028235677973366e38;  // 2^128 - 2^103
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  EXPECT_EQ(tamberlo::convertValue<float>(kOverflow), kInfinity);
  EXPECT_EQ(tamberlo::convertValue<float>(-kOverflow), -kInfinity);
  EXPECT_EQ(tamberlo::convertValue<float>(3.4028235677973362e38),
            std::numeric_limits<float>::max());
}

TEST(Evolving, IntegerScalesAreExactAndWritingBackChangesNothing) {
  MsgMap none;
  auto* v2 = keep(new Evo_v2(none));
  auto* v1 = v2->getVersion<Evo_v1>();
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  for (const auto& [micros, nanos] :
       std::vector<std::pair<std::int64_t, std::int64_t>>{
           {1700000000123457, 1700000000123457000},
           {9007199254740993, 9007199254740993000},
           {9223372036854775, 9223372036854775000},
           {9223372036854776, kMax},
           {-9223372036854776, -kMax - 1}}) {
    v2->micros = micros;
    EXPECT_EQ(v1->nanos.get(), nanos) << micros;
    v1->nanos = v1->nanos.get();
    EXPECT_EQ(v2->micros.get(), micros);
  }
  for (const auto& [nanos, micros] :
       std::vector<std::pair<std::int64_t, std::int64_t>>{
           {1500, 2}, {1499, 1}, {-1500, -2}, {kMax, 9223372036854776}}) {
    v1->nanos = nanos;
    EXPECT_EQ(v2->micros.get(), micros) << nanos;
  }
  // 9 / 5 and an offset, written through the older version: exactly in
  // integers, in double from a float.
  v1->wholeFahrenheit = 212;
  EXPECT_EQ(v2->wholeCelsius.get(), 100);
  v1->wholeFahrenheit = -40;
  EXPECT_EQ(v2->wholeCelsius.get(), -40);
  v2->wholeCelsius = 18186;  // 32766.8 degrees Fahrenheit
  EXPECT_EQ(v1->wholeFahrenheit.get(), 32767);
  v2->wholeCelsius = 18187;
  EXPECT_EQ(v1->wholeFahrenheit.get(), 32767);  // saturated
  EXPECT_THROW(v1->wholeFahrenheit = 32768, std::out_of_range);
  EXPECT_EQ(v2->wholeCelsius.get(), 18187);
  v1->fahrenheit = 98;
  EXPECT_EQ(v2->celsius.get(), 36.666668f);
  EXPECT_EQ((tamberlo::Scale<1000, 999>::toOlder<std::int64_t>(
                std::int64_t{100000000000000000})),
            100100100100100100);
  // 31 / 2 of an uint64_t saturates where the quotient passes 64 bits: by
  // rounding 2^64 - 1/2 up (31 times the first is 2^65 - 1), and from
  // 2^65 on.
  constexpr std::uint64_t kUnsignedMax =
      std::numeric_limits<std::uint64_t>::max();
  for (const auto& [newer, older] :
       std::vector<std::pair<std::uint64_t, std::uint64_t>>{
           {1190112520884487200, kUnsignedMax - 15},
           {1190112520884487201, kUnsignedMax},
           {1200000000000000000, kUnsignedMax},
           {kUnsignedMax, kUnsignedMax}}) {
    EXPECT_EQ((tamberlo::Scale<31, 2>::toOlder<std::uint64_t>(newer)), older)
        << newer;
  }
}

TEST(Evolving, LinearScaleTakesFactorsAndOffsetsThatAreNotWhole) {
  MsgMap none;
  auto* v2 = keep(new Evo_v2(none));
  auto* v1 = v2->getVersion<Evo_v1>();
  v2->celsius = 20.5f;
  EXPECT_EQ(v1->kelvin.get(), 293.65);
  v1->kelvin = 300.0;
  EXPECT_EQ(v2->celsius.get(), 26.85f);
}

// A middle version whose members forward, as a former newest version's do.
class Nest_v3 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 63;
  static constexpr std::int32_t versionNo = 3;
  ElementCur<Position, Nest_v3> position;
  ElementCur<float, Nest_v3> speed;
  explicit Nest_v3(MsgMap& links);
};
TAMBERLO_FIELDS(Nest_v3, position, speed)

class Nest_v1;
class Nest_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 63;
  static constexpr std::int32_t versionNo = 2;
  ElementPrev<Position, Nest_v3> position;
  ElementPrev<float, Nest_v3> speed;
  ElementPrev<Position, Nest_v3> unlisted;
  explicit Nest_v2(MsgMap& links);
  void init(Nest_v1& previous);
};
TAMBERLO_FIELDS(Nest_v2, position, speed)

class Nest_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 63;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<float, Nest_v2> lng;
  tamberlo::Converted<std::int32_t, &Nest_v2::speed, tamberlo::Scale<10>> decis;
  explicit Nest_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Nest_v1, lng, decis)

Nest_v3::Nest_v3(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Nest_v2>(*this);
}
Nest_v2::Nest_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Nest_v1>(*this, &Nest_v2::init);
}
void Nest_v2::init(Nest_v1& previous) {
  tamberlo::bindByName(previous, *this);
  previous.lng.bind(this, &Nest_v2::position, &Position::lng);
}

TEST(Evolving, NestedAndConvertedFieldsReachThroughAForwardingVersion) {
  MsgMap none;
  auto* v3 = keep(new Nest_v3(none));
  auto* v2 = v3->getVersion<Nest_v2>();
  auto* v1 = v3->getVersion<Nest_v1>();
  Position& stored = v3->position.get();
  stored.lat = 1.0f;
  stored.alt = 2.0f;
  v1->lng = 7.25f;
  EXPECT_EQ(tamberlo::toString(stored), "Position{lat=1, lng=7.25, alt=2}");
  stored.lng = -3.5f;
  EXPECT_EQ(v1->lng.get(), -3.5f);
  v1->decis = 125;
  EXPECT_EQ(v3->speed.get(), 12.5f);
  v3->speed = 2.25f;
  EXPECT_EQ(v1->decis.get(), 23);  // 22.5, ties away from zero
  EXPECT_TRUE((tamberlo::checkChain<Nest_v3, Nest_v2, Nest_v1>(v3).empty()));

  ElementPrev<float, Nest_v2> stray;
  try {
    stray.bind(v2, &Nest_v2::unlisted, &Position::lat);
    ADD_FAILURE() << "bound a member that Nest_v2 does not list";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(),
                 "Nest_v2: bind(owner, &member, &component) onto a member "
                 "that forwards: the member is not listed in its "
                 "TAMBERLO_FIELDS, or the component not in Position's");
  }
}

}  // namespace
