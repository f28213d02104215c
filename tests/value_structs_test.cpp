// The four value structs: member-wise copies, and the two attitude
// conversions with their pole cases.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "chains.h"

namespace {

// Typed tests named after the struct, as its field list spells it.
struct NamedByClass {
  template <typename Struct>
  static std::string GetName(int /*index*/) {
    return std::string(tamberlo::fieldsOf<Struct>().className);
  }
};

template <typename Struct>
class ValueStruct : public ::testing::Test {};
using AllStructs =
    ::testing::Types<Position, Velocity, EulerAngles, Quaternions>;
TYPED_TEST_SUITE(ValueStruct, AllStructs, NamedByClass);

template <typename Struct>
void fill(Struct& s, float first) {
  tamberlo::forEachField(s,
                         [&](std::string_view, auto& part) { part = first++; });
}

template <typename Struct>
void expectValues(Struct& s, float first) {
  tamberlo::forEachField(s, [&](std::string_view name, auto& part) {
    EXPECT_EQ(part.get(), first++) << name;
  });
}

TYPED_TEST(ValueStruct, DefaultsToZero) {
  TypeParam s;
  tamberlo::forEachField(s, [](std::string_view name, auto& part) {
    EXPECT_EQ(bitsOf(part.get()), 0u) << name;
  });
}

TYPED_TEST(ValueStruct, CopiesAreIndependentValues) {
  TypeParam source;
  fill(source, 1.0f);
  TypeParam constructed(source);
  TypeParam assigned;
  TypeParam& result = (assigned = source);
  EXPECT_EQ(&result, &assigned);
  fill(source, 100.0f);
  expectValues(constructed, 1.0f);
  expectValues(assigned, 1.0f);
}

Quaternions quaternion(float w, float x, float y, float z) {
  Quaternions q;
  q.w = w;
  q.x = x;
  q.y = y;
  q.z = z;
  return q;
}

Quaternions fromEA(float yaw, float pitch, float roll) {
  EulerAngles ea = angles(yaw, pitch, roll);
  Quaternions q;
  q.setFromEA(ea);
  return q;
}

EulerAngles fromQ(Quaternions q) {
  EulerAngles ea;
  ea.setFromQuaternion(q);
  return ea;
}

TEST(Attitude, ZeroAnglesAreTheIdentityQuaternion) {
  Quaternions q = fromEA(0.0f, 0.0f, 0.0f);
  EXPECT_EQ(bitsOf(q.w.get()), bitsOf(1.0f));
  EXPECT_EQ(bitsOf(q.x.get()), 0u);
  EXPECT_EQ(bitsOf(q.y.get()), 0u);
  EXPECT_EQ(bitsOf(q.z.get()), 0u);
  EulerAngles back = fromQ(q);
  EXPECT_EQ(bitsOf(back.yaw.get()), 0u);
  EXPECT_EQ(bitsOf(back.pitch.get()), 0u);
  EXPECT_EQ(bitsOf(back.roll.get()), 0u);
}

TEST(Attitude, QuarterTurnOfYawIsExact) {
  Quaternions q = fromEA(90.0f, 0.0f, 0.0f);
  const std::uint32_t halfSqrt2 = 0x3f3504f3;  // nearest float to sqrt(2)/2
  EXPECT_EQ(bitsOf(q.w.get()), halfSqrt2);
  EXPECT_EQ(bitsOf(q.y.get()), halfSqrt2);
  EXPECT_EQ(bitsOf(q.x.get()), 0u);
  EXPECT_EQ(bitsOf(q.z.get()), 0u);
  EulerAngles back = fromQ(q);
  EXPECT_EQ(bitsOf(back.yaw.get()), bitsOf(90.0f));
  EXPECT_EQ(bitsOf(back.pitch.get()), 0u);
  EXPECT_EQ(bitsOf(back.roll.get()), 0u);
}

TEST(Attitude, RegularCaseRoundTrips) {
  Quaternions q = fromEA(45.0f, 5.0f, 0.0f);
  EXPECT_NEAR(q.w.get(), 0.9230002f, 1e-7);
  EXPECT_NEAR(q.x.get(), 0.01669242f, 1e-8);
  EXPECT_NEAR(q.y.get(), 0.3823192f, 1e-7);
  EXPECT_NEAR(q.z.get(), 0.04029906f, 1e-8);
  EulerAngles back = fromQ(q);
  EXPECT_FLOAT_EQ(back.yaw.get(), 45.0f);
  EXPECT_FLOAT_EQ(back.pitch.get(), 5.0f);
  // Not exactly zero, but far below what six decimals show.
  EXPECT_NE(back.roll.get(), 0.0f);
  EXPECT_LT(std::fabs(back.roll.get()), 1e-7f);
  char text[64];
  std::snprintf(text, sizeof text, "%f %f %f", back.yaw.get(), back.pitch.get(),
                back.roll.get());
  EXPECT_EQ(std::string(text), "45.000000 5.000000 0.000000");

  EulerAngles general = fromQ(fromEA(-170.0f, 30.0f, 120.0f));
  EXPECT_NEAR(general.yaw.get(), -170.0f, 1e-4);
  EXPECT_NEAR(general.pitch.get(), 30.0f, 1e-4);
  EXPECT_NEAR(general.roll.get(), 120.0f, 1e-4);
}

TEST(Attitude, PolesGivePitchExactlyNinetyAndRollZero) {
  Quaternions north = fromEA(10.0f, 90.0f, 0.0f);
  EXPECT_NEAR(north.w.get(), 0.7044160f, 1e-7);
  EXPECT_EQ(bitsOf(north.z.get()), bitsOf(north.w.get()));
  EXPECT_NEAR(north.x.get(), 0.06162842f, 1e-8);
  EXPECT_EQ(bitsOf(north.y.get()), bitsOf(north.x.get()));
  EulerAngles up = fromQ(north);
  EXPECT_FLOAT_EQ(up.yaw.get(), 10.0f);
  EXPECT_EQ(bitsOf(up.pitch.get()), bitsOf(90.0f));
  EXPECT_EQ(bitsOf(up.roll.get()), 0u);

  Quaternions south = fromEA(10.0f, -90.0f, 0.0f);
  EXPECT_EQ(south.x.get(), -north.x.get());
  EXPECT_EQ(south.z.get(), -north.z.get());
  EXPECT_EQ(south.w.get(), north.w.get());
  EXPECT_EQ(south.y.get(), north.y.get());
  EulerAngles down = fromQ(south);
  EXPECT_FLOAT_EQ(down.yaw.get(), 10.0f);
  EXPECT_EQ(bitsOf(down.pitch.get()), bitsOf(-90.0f));
  EXPECT_EQ(bitsOf(down.roll.get()), 0u);
}

TEST(Attitude, PoleCaseTakesOverBeyondAbout86Degrees) {
  EulerAngles beyond = fromQ(fromEA(10.0f, 88.0f, 5.0f));
  EXPECT_NEAR(beyond.yaw.get(), 14.66f, 0.005);
  EXPECT_EQ(beyond.pitch.get(), 90.0f);
  EXPECT_EQ(beyond.roll.get(), 0.0f);

  EulerAngles below = fromQ(fromEA(10.0f, 86.0f, 5.0f));
  EXPECT_NEAR(below.yaw.get(), 10.0f, 1e-4);
  EXPECT_NEAR(below.pitch.get(), 86.0f, 1e-4);
  EXPECT_NEAR(below.roll.get(), 5.0f, 1e-4);

  EXPECT_NEAR(fromQ(fromEA(10.0f, 86.3f, 5.0f)).pitch.get(), 86.3f, 1e-4);
  EXPECT_EQ(fromQ(fromEA(10.0f, 86.5f, 5.0f)).pitch.get(), 90.0f);
  EXPECT_EQ(fromQ(fromEA(10.0f, -86.5f, 5.0f)).pitch.get(), -90.0f);

  // The pole's yaw, 2 atan2(x, w), is not brought back into +-180.
  EXPECT_NEAR(fromQ(fromEA(170.0f, 88.0f, 170.0f)).yaw.get(), 339.647f, 5e-4);
}

TEST(Attitude, ScalingAQuaternionKeepsItsAngles) {
  Quaternions unit = fromEA(-30.0f, 20.0f, 60.0f);
  EulerAngles reference = fromQ(unit);
  auto scaled = [&](float k) {
    return fromQ(quaternion(unit.w.get() * k, unit.x.get() * k,
                            unit.y.get() * k, unit.z.get() * k));
  };
  // Powers of two scale every intermediate exactly: same bits.
  for (float k : {2.0f, 0.5f, 1024.0f}) {
    EulerAngles e = scaled(k);
    EXPECT_EQ(bitsOf(e.yaw.get()), bitsOf(reference.yaw.get())) << k;
    EXPECT_EQ(bitsOf(e.pitch.get()), bitsOf(reference.pitch.get())) << k;
    EXPECT_EQ(bitsOf(e.roll.get()), bitsOf(reference.roll.get())) << k;
  }
  EulerAngles e = scaled(3.0f);
  EXPECT_NEAR(e.yaw.get(), reference.yaw.get(), 1e-4);
  EXPECT_NEAR(e.pitch.get(), reference.pitch.get(), 1e-4);
  EXPECT_NEAR(e.roll.get(), reference.roll.get(), 1e-4);
}

TEST(Attitude, ZeroQuaternionGivesNaNPitch) {
  EulerAngles e = fromQ(quaternion(0.0f, 0.0f, 0.0f, 0.0f));
  EXPECT_EQ(bitsOf(e.yaw.get()), 0u);
  EXPECT_TRUE(std::isnan(e.pitch.get()));
  EXPECT_EQ(bitsOf(e.roll.get()), 0u);
}

TEST(Attitude, ConversionsLeaveTheirArgumentUnchanged) {
  EulerAngles ea = angles(1.0f, 2.0f, 3.0f);
  Quaternions q;
  q.setFromEA(ea);
  EXPECT_EQ(ea.yaw.get(), 1.0f);
  EXPECT_EQ(ea.pitch.get(), 2.0f);
  EXPECT_EQ(ea.roll.get(), 3.0f);

  Quaternions arg = quaternion(0.5f, 0.5f, 0.5f, 0.5f);
  EulerAngles out;
  out.setFromQuaternion(arg);
  EXPECT_EQ(arg.w.get(), 0.5f);
  EXPECT_EQ(arg.x.get(), 0.5f);
  EXPECT_EQ(arg.y.get(), 0.5f);
  EXPECT_EQ(arg.z.get(), 0.5f);
}

}  // namespace
