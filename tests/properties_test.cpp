// Properties over whole ranges of input, from fixed seeds so that every run
// checks the same values.  docs/conversions.md states each bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <type_traits>

#include "chains.h"
#include "expected.h"
#include "named_types.h"

namespace {

// mt19937 is specified exactly; the standard distributions are not, so
// values are drawn from its raw output.
class Draw {
 public:
  explicit Draw(std::uint32_t seed) : engine_(seed) {}
  std::uint32_t bits() { return static_cast<std::uint32_t>(engine_()); }
  /// In [low, high].
  double uniform(double low, double high) {
    return low + (high - low) * (bits() / 4294967295.0);
  }
  /// Of magnitude 2^-20 to 2^30, either sign.
  float anyMagnitude() {
    const float m = static_cast<float>(std::exp2(uniform(-20.0, 30.0)));
    return bits() % 2 == 0 ? m : -m;
  }

 private:
  std::mt19937 engine_;
};

// Written angles are read back where they are not near a pole.
constexpr double kRoundTripDegrees = 2e-4;
// A quaternion scaled by any positive factor reads as the same angles.
constexpr double kScaledDegrees = 1e-4;
constexpr double kRegularPitch = 86.37;  // below asin(0.998) = 86.3757 degrees
constexpr double kPolePitch = 86.38;

// For RecordProperty: enough digits to state a bound from.
std::string precise(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", v);
  return text;
}

// The difference between two angles as directions.
double angleError(float got, double want) {
  double d = std::fmod(std::fabs(got - want), 360.0);
  return d > 180.0 ? 360.0 - d : d;
}

TEST(FeetProperty, EveryFootBelow2To23ReadsBackUnchangedOrOneTowardZero) {
  Chain15 c;
  constexpr std::int32_t kLimit = 1 << 23;
  std::int32_t firstChanged = 0;
  std::int32_t changed = 0;
  for (std::int32_t feet = -(kLimit - 1); feet < kLimit; ++feet) {
    c.v2->alt = feet;
    const std::int32_t read = c.v2->alt.get();
    if (read == feet) continue;
    ++changed;
    const std::int32_t towardZero = feet > 0 ? feet - 1 : feet + 1;
    ASSERT_EQ(read, towardZero) << feet;
    if (feet > 0 && firstChanged == 0) firstChanged = feet;
  }
  EXPECT_EQ(firstChanged, 449);
  // As many on each side; the feet_domain tool reports the same count.
  EXPECT_EQ(changed, 2 * 31165);
  // Just beyond the range the metres are too coarse: a read can move away
  // from zero.
  c.v2->alt = 8388615;
  EXPECT_EQ(c.v2->alt.get(), 8388616);
}

TEST(FeetProperty, MetresThroughFeetComeBackWithinOneFoot) {
  // m -> feet -> m' for |m| below saturation: m' has the sign of m (or is
  // zero) and |m| - 0.3048 - |m| 2^-22 < |m'| <= |m| + |m| 2^-22.
  Chain15 c;
  Draw draw(15);
  const double kRelative = std::ldexp(1.0, -22);
  double worstBelow = 0;  // largest |m| - |m'| seen
  double worstAbove = 0;  // largest (|m'| - |m|) / |m| seen
  for (int i = 0; i < 200000; ++i) {
    float m = draw.anyMagnitude();
    if (std::fabs(m) > 6.5e8f) continue;
    c.v4->alt = m;
    c.v2->alt = c.v2->alt.get();
    const float back = c.v4->alt.get();
    ASSERT_TRUE(back == 0.0f || (back > 0) == (m > 0)) << m;
    const double below = std::fabs(m) - std::fabs(back);
    ASSERT_LT(below, 0.3048 + std::fabs(m) * kRelative) << m;
    ASSERT_LE(-below, std::fabs(m) * kRelative) << m;
    worstBelow = std::max(worstBelow, below);
    worstAbove = std::max(worstAbove, -below / std::fabs(m));
  }
  // The bounds are not slack: the loss reaches most of a foot.
  EXPECT_GT(worstBelow, 0.3);
  RecordProperty("worst_loss_metres", precise(worstBelow));
  RecordProperty("worst_gain_relative", precise(worstAbove));
}

TEST(AttitudeProperty, AnglesComeBackAwayFromThePoles) {
  Chain16 c;
  Draw draw(16);
  double worst = 0;
  for (int i = 0; i < 100000; ++i) {
    const float yaw = static_cast<float>(draw.uniform(-180, 180));
    const float pitch =
        static_cast<float>(draw.uniform(-kRegularPitch, kRegularPitch));
    const float roll = static_cast<float>(draw.uniform(-180, 180));
    c.v1->att.set(angles(yaw, pitch, roll));
    EulerAngles& read = c.v1->att.get();
    worst = std::max({worst, angleError(read.yaw.get(), yaw),
                      angleError(read.pitch.get(), pitch),
                      angleError(read.roll.get(), roll)});
    ASSERT_LE(worst, kRoundTripDegrees) << yaw << " " << pitch << " " << roll;
  }
  RecordProperty("worst_error_degrees", precise(worst));
}

TEST(AttitudeProperty, BeyondThresholdPitchIsNinetyRollZeroYawWithin360) {
  Chain16 c;
  Draw draw(17);
  for (int i = 0; i < 100000; ++i) {
    const float yaw = static_cast<float>(draw.uniform(-180, 180));
    const float pitch = static_cast<float>(draw.uniform(kPolePitch, 90));
    const float roll = static_cast<float>(draw.uniform(-180, 180));
    const float sign = i % 2 == 0 ? 1.0f : -1.0f;
    c.v1->att.set(angles(yaw, sign * pitch, roll));
    EulerAngles& read = c.v1->att.get();
    ASSERT_EQ(bitsOf(read.pitch.get()), bitsOf(sign * 90.0f))
        << yaw << " " << sign * pitch << " " << roll;
    ASSERT_EQ(bitsOf(read.roll.get()), 0u);
    // Yaw is 2 atan2(x, w) as a number, which may lie beyond +-180.
    Quaternions& q = c.v2->att.get();
    ASSERT_TRUE(expected::attitudeMatches(q.w.get(), q.x.get(), q.y.get(),
                                          q.z.get(), read))
        << read.yaw.get();
  }
}

TEST(AttitudeProperty, PositiveScalingKeepsTheAngles) {
  Chain16 c;
  Draw draw(18);
  double worst = 0;
  for (int i = 0; i < 50000; ++i) {
    // Away from the edge where the pole case takes over, which a rounding
    // step can move across.
    float pitch = static_cast<float>(draw.uniform(-90, 90));
    if (std::fabs(std::fabs(pitch) - 86.3757f) < 0.01f) continue;
    Quaternions q;
    EulerAngles ea = angles(static_cast<float>(draw.uniform(-180, 180)), pitch,
                            static_cast<float>(draw.uniform(-180, 180)));
    q.setFromEA(ea);
    c.v2->att = q;
    EulerAngles reference = c.v1->att.get();

    const int exponent = static_cast<int>(draw.bits() % 41) - 20;
    const float powerOfTwo = std::ldexp(1.0f, exponent);
    const float factor = static_cast<float>(std::exp2(draw.uniform(-20, 20)));
    for (float k : {powerOfTwo, factor}) {
      Quaternions scaled;
      scaled.w = q.w.get() * k;
      scaled.x = q.x.get() * k;
      scaled.y = q.y.get() * k;
      scaled.z = q.z.get() * k;
      c.v2->att = scaled;
      EulerAngles& read = c.v1->att.get();
      if (k == powerOfTwo) {
        ASSERT_EQ(bitsOf(read.yaw.get()), bitsOf(reference.yaw.get())) << k;
        ASSERT_EQ(bitsOf(read.pitch.get()), bitsOf(reference.pitch.get()));
        ASSERT_EQ(bitsOf(read.roll.get()), bitsOf(reference.roll.get()));
        continue;
      }
      worst = std::max({worst, angleError(read.yaw.get(), reference.yaw.get()),
                        angleError(read.pitch.get(), reference.pitch.get()),
                        angleError(read.roll.get(), reference.roll.get())});
      ASSERT_LE(worst, kScaledDegrees) << k << " " << pitch;
    }
  }
  RecordProperty("worst_error_degrees", precise(worst));
}

// One version of family 15 as a writer and a reader of the whole position,
// altitude in its own unit.
struct Family15V5 {
  static constexpr const char* kName = "Msg15_v5";
  static void write(Chain15& c, float lat, float lng, std::uint32_t alt) {
    c.stored().lat = lat;
    c.stored().lng = lng;
    c.stored().alt = floatOf(alt);
  }
};
struct Family15V4 {
  static constexpr const char* kName = "Msg15_v4";
  static void write(Chain15& c, float lat, float lng, std::uint32_t alt) {
    c.v4->lat = lat;
    c.v4->lng = lng;
    c.v4->alt = floatOf(alt);
  }
};
struct Family15V3 {
  static constexpr const char* kName = "Msg15_v3";
  static void write(Chain15& c, float lat, float lng, std::uint32_t alt) {
    c.v3->lat = lat;
    c.v3->lng = lng;
    c.v3->alt = static_cast<std::int32_t>(alt);
  }
};
struct Family15V2 {
  static constexpr const char* kName = "Msg15_v2";
  static void write(Chain15& c, float lat, float lng, std::uint32_t alt) {
    c.v2->lat = lat;
    c.v2->lng = lng;
    c.v2->alt = static_cast<std::int32_t>(alt);
  }
};

template <typename Writer>
class Family15Property : public ::testing::Test {};
using Family15Versions =
    ::testing::Types<Family15V5, Family15V4, Family15V3, Family15V2>;
TYPED_TEST_SUITE(Family15Property, Family15Versions, NamedByKName);

// What every version of `c` reads: coordinates bit for bit, metres as
// stored, feet converted from them.
void expectPosition(Chain15& c, std::uint32_t lat, std::uint32_t lng,
                    float metres) {
  for (float got : {c.stored().lat.get(), c.v4->lat.get(), c.v3->lat.get(),
                    c.v2->lat.get()}) {
    ASSERT_EQ(bitsOf(got), lat);
  }
  for (float got : {c.stored().lng.get(), c.v4->lng.get(), c.v3->lng.get(),
                    c.v2->lng.get()}) {
    ASSERT_EQ(bitsOf(got), lng);
  }
  ASSERT_EQ(bitsOf(c.stored().alt.get()), bitsOf(metres));
  ASSERT_EQ(bitsOf(c.v4->alt.get()), bitsOf(metres));
  const std::int32_t feet = expected::feetFromMetres(metres);
  ASSERT_EQ(c.v3->alt.get(), feet);
  ASSERT_EQ(c.v2->alt.get(), feet);
}

TYPED_TEST(Family15Property, WriteIsSeenByEveryVersionAndNoOtherChain) {
  const bool feetWriter = std::is_same_v<TypeParam, Family15V3> ||
                          std::is_same_v<TypeParam, Family15V2>;
  Chain15 mine;
  Chain15 other;
  Family15V5::write(other, 1.0f, 2.0f, bitsOf(3.0f));
  Draw draw(19);
  for (int i = 0; i < 20000; ++i) {
    // Any bit patterns: NaNs, infinities, subnormals, huge values.
    const std::uint32_t lat = draw.bits();
    const std::uint32_t lng = draw.bits();
    const std::uint32_t alt = draw.bits();
    TypeParam::write(mine, floatOf(lat), floatOf(lng), alt);
    const float metres =
        feetWriter ? expected::metresFromFeet(static_cast<std::int32_t>(alt))
                   : floatOf(alt);
    expectPosition(mine, lat, lng, metres);
    expectPosition(other, bitsOf(1.0f), bitsOf(2.0f), 3.0f);
  }
}

TEST(Family16Property, QuaternionWrittenThroughV2IsSeenByV1AndNoOtherChain) {
  Chain16 mine;
  Chain16 other;
  other.v1->att = angles(10.0f, 20.0f, 30.0f);
  Quaternions otherStored = other.v2->att.get();
  Draw draw(20);
  for (int i = 0; i < 20000; ++i) {
    Quaternions q;
    q.w = floatOf(draw.bits());
    q.x = floatOf(draw.bits());
    q.y = floatOf(draw.bits());
    q.z = floatOf(draw.bits());
    mine.v2->att = q;
    Quaternions& stored = mine.v2->att.get();
    ASSERT_EQ(bitsOf(stored.w.get()), bitsOf(q.w.get()));
    ASSERT_EQ(bitsOf(stored.x.get()), bitsOf(q.x.get()));
    ASSERT_EQ(bitsOf(stored.y.get()), bitsOf(q.y.get()));
    ASSERT_EQ(bitsOf(stored.z.get()), bitsOf(q.z.get()));
    ASSERT_TRUE(expected::attitudeMatches(q.w.get(), q.x.get(), q.y.get(),
                                          q.z.get(), mine.v1->att.get()))
        << q.w.get() << " " << q.x.get() << " " << q.y.get() << " "
        << q.z.get();
    ASSERT_EQ(bitsOf(other.v2->att.get().w.get()), bitsOf(otherStored.w.get()));
    ASSERT_EQ(bitsOf(other.v2->att.get().z.get()), bitsOf(otherStored.z.get()));
  }
}

TEST(Family16Property, AnglesWrittenThroughV1AreSeenByV2AndNoOtherChain) {
  Chain16 mine;
  Chain16 other;
  other.v2->att.get().w = 1.0f;
  Draw draw(21);
  for (int i = 0; i < 20000; ++i) {
    EulerAngles written = angles(floatOf(draw.bits()), floatOf(draw.bits()),
                                 floatOf(draw.bits()));
    mine.v1->att = written;
    const auto want = expected::quaternionFromAngles(
        written.yaw.get(), written.pitch.get(), written.roll.get());
    Quaternions& stored = mine.v2->att.get();
    const float got[] = {stored.w.get(), stored.x.get(), stored.y.get(),
                         stored.z.get()};
    for (std::size_t k = 0; k < 4; ++k) {
      ASSERT_TRUE(expected::sameFloat(got[k], want[k]))
          << k << ": " << written.yaw.get() << " " << written.pitch.get() << " "
          << written.roll.get();
    }
    ASSERT_EQ(bitsOf(other.v2->att.get().w.get()), bitsOf(1.0f));
    ASSERT_EQ(bitsOf(other.v2->att.get().x.get()), 0u);
  }
}

#if defined(__SIZEOF_INT128__)
__extension__ using Int128 = __int128;
// Scale between integer types restated in the compiler's 128-bit integers:
// numerator / divisor, rounded half away from zero, saturated.
template <typename To>
To roundedQuotient(Int128 numerator, Int128 divisor) {
  const auto magnitude = [](Int128 x) { return x < 0 ? -x : x; };
  Int128 quotient = numerator / divisor;
  if (2 * magnitude(numerator % divisor) >= magnitude(divisor)) {
    quotient += (numerator < 0) != (divisor < 0) ? -1 : 1;
  }
  if (quotient < std::numeric_limits<To>::lowest())
    return std::numeric_limits<To>::lowest();
  if (quotient > std::numeric_limits<To>::max())
    return std::numeric_limits<To>::max();
  return static_cast<To>(quotient);
}
#endif

// Newer values of every magnitude, the type's ends among them.
template <typename Older, typename Newer, std::int64_t N, std::int64_t D,
          std::int64_t Offset>
void checkScale(Draw& draw) {
  using S = tamberlo::Scale<N, D, Offset>;
  using L = std::numeric_limits<Newer>;
  for (int i = 0; i < 20000; ++i) {
    const auto bits = static_cast<std::int64_t>(
        (std::uint64_t{draw.bits()} << 32U) | draw.bits());
    const auto newer = i < 2 ? (i == 0 ? L::lowest() : L::max())
                             : static_cast<Newer>(bits >> (draw.bits() % 64));
    const auto older = S::template toOlder<Older>(newer);
    ASSERT_EQ(S::toNewer(older, newer), newer) << +newer;  // written back
#if defined(__SIZEOF_INT128__)
    ASSERT_EQ(older,
              roundedQuotient<Older>(Int128{newer} * N + Int128{Offset} * D, D))
        << +newer;
    ASSERT_EQ(S::template toNewer<Newer>(older),
              roundedQuotient<Newer>((Int128{older} - Offset) * D, N))
        << +older;
#endif
  }
}

TEST(ScaleProperty, ExactBetweenIntegerTypesAndWritingBackChangesNothing) {
  Draw draw(1000);
  constexpr std::int64_t kBig = std::int64_t{1} << 62;
  checkScale<std::int64_t, std::int64_t, 1000, 1, 0>(draw);
  checkScale<std::int64_t, std::int64_t, 1000, 999, 0>(draw);
  checkScale<std::int32_t, std::int64_t, 9, 5, 32>(draw);
  checkScale<std::int8_t, std::uint64_t, -3, 7, -100>(draw);
  checkScale<std::uint16_t, std::int32_t, 1, 1000, 5>(draw);
  checkScale<std::uint64_t, std::int64_t, kBig - 1, 3, -kBig>(draw);
  checkScale<std::int64_t, std::int8_t, 1, -kBig, kBig - 1>(draw);
  checkScale<std::int64_t, std::int64_t, kBig - 1, 3 - kBig, 7>(draw);
}

}  // namespace
