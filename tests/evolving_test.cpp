// Schema changes as declarations: fields bound by name, defaults, retired
// and nested fields, and Converted fields with each kind of conversion.
#include <gtest/gtest.h>
#include <tamberlo/check_chain.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "chains.h"

namespace {

using Problems = std::vector<std::string>;

struct Spot {
  ElementCur<float, Spot> lat;
  ElementCur<float, Spot> lng;
};
TAMBERLO_FIELDS(Spot, lat, lng)

class Evo_v1;

// Version 2 moved lat into a value struct, added humidity with a default,
// dropped pressure and made count an integer.
class Evo_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 62;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<Spot, Evo_v2> spot;
  ElementCur<float, Evo_v2> humidity{50.0f};
  ElementCur<std::int32_t, Evo_v2> count;
  ElementCur<float, Evo_v2> level;

  explicit Evo_v2(MsgMap& links);
  void init(Evo_v1& older);
};
TAMBERLO_FIELDS(Evo_v2, spot, humidity, count, level)

// Whole units of level, the fraction kept on a write.
struct WholePart {
  static std::int32_t toOlder(float level) {
    return tamberlo::convertValue<std::int32_t>(std::trunc(level));
  }
  static float toNewer(std::int32_t whole, float current) {
    return static_cast<float>(whole) + (current - std::trunc(current));
  }
};

class Evo_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 62;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<float, Evo_v2> lat;
  ElementPrev<float, Evo_v2> humidity;
  ElementPrev<std::int32_t, Evo_v2> pressure{1013};
  ElementPrev<float, Evo_v2> count;  // another type: not bound by name
  tamberlo::Converted<std::int32_t, &Evo_v2::level, WholePart> level;
  tamberlo::Converted<std::int32_t, &Evo_v2::level> rounded;

  explicit Evo_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Evo_v1, lat, humidity, pressure, count, level, rounded)

Evo_v2::Evo_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Evo_v1>(*this, &Evo_v2::init);
}

void Evo_v2::init(Evo_v1& older) {
  tamberlo::bindByName(older, *this);
  older.lat.bind(this, &Evo_v2::spot, &Spot::lat);
  older.pressure.retire();
}

TEST(Evolving, DefaultsRetiredNestedAndByName) {
  MsgMap none;
  auto* a = keep(new Evo_v2(none));
  auto* b = keep(new Evo_v2(none));
  auto* a1 = a->getVersion<Evo_v1>();
  auto* b1 = b->getVersion<Evo_v1>();
  EXPECT_EQ(a1->humidity.get(), 50.0f);
  EXPECT_EQ(a1->pressure.get(), 1013);
  a1->pressure = 990;
  a1->lat = 45.5f;
  EXPECT_EQ(a1->pressure.get(), 990);
  EXPECT_EQ(b1->pressure.get(), 1013);  // each chain its own
  EXPECT_EQ(a->spot.get().lat.get(), 45.5f);
  // Left unbound on purpose: by name it has another type.
  EXPECT_EQ(tamberlo::checkChain<Evo_v1>(a),
            Problems{"Evo_v1::count: unbound"});
}

TEST(Evolving, ConvertedFields) {
  MsgMap none;
  auto* v2 = keep(new Evo_v2(none));
  auto* v1 = v2->getVersion<Evo_v1>();
  v2->level = 7.75f;
  EXPECT_EQ(v1->level.get(), 7);
  EXPECT_EQ(v1->rounded.get(), 8);
  v1->level = 3;  // keeps the fraction
  EXPECT_EQ(v2->level.get(), 3.75f);
  v1->rounded = -2;
  EXPECT_EQ(v2->level.get(), -2.0f);
  // Promotion back to an integer: ties away from zero, saturated, NaN 0.
  for (const auto& [level, expected] :
       std::vector<std::pair<float, std::int32_t>>{
           {2.5f, 3},
           {-2.5f, -3},
           {1e10f, std::numeric_limits<std::int32_t>::max()},
           {-1e10f, std::numeric_limits<std::int32_t>::min()},
           {std::numeric_limits<float>::quiet_NaN(), 0}}) {
    v2->level = level;
    EXPECT_EQ(v1->rounded.get(), expected) << level;
  }
}

// A split: version 1's name is version 2's first and last names.
class Person_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 63;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<std::string, Person_v2> first;
  ElementCur<std::string, Person_v2> last;
  explicit Person_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Person_v2, first, last)

struct FullName {
  static std::string toOlder(Person_v2& person) {
    return person.first.get() + ' ' + person.last.get();
  }
  static void toNewer(const std::string& name, Person_v2& person) {
    const auto space = name.find(' ');
    person.first = name.substr(0, space);
    person.last = space == std::string::npos ? "" : name.substr(space + 1);
  }
};

class Person_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 63;
  static constexpr std::int32_t versionNo = 1;
  tamberlo::Converted<std::string, tamberlo::wholeVersion<Person_v2>, FullName>
      name;
  explicit Person_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Person_v1, name)

Person_v2::Person_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Person_v1>(*this);
}

TEST(Evolving, WholeVersionConversionAndScale) {
  MsgMap none;
  auto* v2 = keep(new Person_v2(none));
  auto* v1 = v2->getVersion<Person_v1>();
  v1->name = "Ada Lovelace";
  EXPECT_EQ(v2->first.get(), "Ada");
  EXPECT_EQ(v2->last.get(), "Lovelace");
  v2->first = "Augusta";
  EXPECT_EQ(v1->name.get(), "Augusta Lovelace");
  EXPECT_EQ(tamberlo::checkChain<Person_v1>(v2), Problems{});

  using Milli = tamberlo::Scale<1000>;
  EXPECT_EQ((Milli::toOlder<std::int32_t>(3.712f)), 3712);
  EXPECT_EQ((Milli::toNewer<float>(std::int32_t{3712})), 3.712f);
  EXPECT_EQ((tamberlo::Scale<1, 60>::toOlder<double>(90.0)), 1.5);
}

}  // namespace
