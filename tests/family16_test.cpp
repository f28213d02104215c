// Family 16: v2 stores a quaternion; v1 reads and writes Euler angles
// through v2's converting accessors.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "chains.h"
#include "expected.h"

namespace {

void expectSameBits(Quaternions& a, Quaternions& b) {
  EXPECT_EQ(bitsOf(a.w.get()), bitsOf(b.w.get()));
  EXPECT_EQ(bitsOf(a.x.get()), bitsOf(b.x.get()));
  EXPECT_EQ(bitsOf(a.y.get()), bitsOf(b.y.get()));
  EXPECT_EQ(bitsOf(a.z.get()), bitsOf(b.z.get()));
}

void expectSameBits(EulerAngles& a, EulerAngles& b) {
  EXPECT_EQ(bitsOf(a.yaw.get()), bitsOf(b.yaw.get()));
  EXPECT_EQ(bitsOf(a.pitch.get()), bitsOf(b.pitch.get()));
  EXPECT_EQ(bitsOf(a.roll.get()), bitsOf(b.roll.get()));
}

TEST(Family16, WriteThroughV1StoresTheQuaternionOfTheAngles) {
  Chain16 c;
  EulerAngles written = angles(-120.0f, 33.0f, 7.5f);
  c.v1->att.set(written);
  const auto want = expected::quaternionFromAngles(-120.0f, 33.0f, 7.5f);
  Quaternions& q = c.v2->att.get();
  EXPECT_EQ(bitsOf(q.w.get()), bitsOf(want[0]));
  EXPECT_EQ(bitsOf(q.x.get()), bitsOf(want[1]));
  EXPECT_EQ(bitsOf(q.y.get()), bitsOf(want[2]));
  EXPECT_EQ(bitsOf(q.z.get()), bitsOf(want[3]));
  // The caller's angles are untouched: the accessor got a copy.
  EXPECT_EQ(written.yaw.get(), -120.0f);
  EXPECT_EQ(written.pitch.get(), 33.0f);
  EXPECT_EQ(written.roll.get(), 7.5f);
}

TEST(Family16, ReadThroughV1ConvertsIntoV2sCache) {
  Chain16 c;
  Quaternions& stored = c.v2->att.get();
  stored.w = 0.5f;
  stored.x = 0.1f;
  stored.y = -0.3f;
  stored.z = 0.7f;
  EulerAngles& first = c.v1->att.get();
  EulerAngles& second = c.v1->att.get();
  EXPECT_EQ(&first, &c.v2->attEuler);
  EXPECT_EQ(&second, &first);
  EulerAngles expected;
  expected.setFromQuaternion(stored);
  expectSameBits(first, expected);
}

TEST(Family16, QuaternionWrittenIntoV2IsSeenThroughV1) {
  Chain16 c;
  Quaternions quarterYaw;
  quarterYaw.w = floatOf(0x3f3504f3);
  quarterYaw.y = floatOf(0x3f3504f3);
  c.v2->att = quarterYaw;
  EulerAngles& seen = c.v1->att.get();
  EXPECT_EQ(seen.yaw.get(), 90.0f);
  EXPECT_EQ(seen.pitch.get(), 0.0f);
  EXPECT_EQ(seen.roll.get(), 0.0f);
}

TEST(Family16, ReadAfterWriteReturnsBothConversionsNotTheAngles) {
  Chain16 c;
  c.v1->att.set(angles(45.0f, 5.0f, 0.0f));
  Quaternions& q = c.v2->att.get();
  EXPECT_NEAR(q.w.get(), 0.9230002f, 1e-7);
  EXPECT_NEAR(q.x.get(), 0.01669242f, 1e-8);
  EXPECT_NEAR(q.y.get(), 0.3823192f, 1e-7);
  EXPECT_NEAR(q.z.get(), 0.04029906f, 1e-8);

  EulerAngles read = c.v1->att.get();
  EXPECT_NE(read.roll.get(), 0.0f);  // about 2.1e-8 after the round trip
  EXPECT_LT(std::fabs(read.roll.get()), 1e-7f);
  char text[80];
  std::snprintf(text, sizeof text, "%f, %f, %f", read.yaw.get(),
                read.pitch.get(), read.roll.get());
  EXPECT_EQ(std::string(text), "45.000000, 5.000000, 0.000000");
}

TEST(Family16, CacheChangesOnlyOnRead) {
  Chain16 c;
  c.v1->att.set(angles(10.0f, 20.0f, 30.0f));
  EulerAngles& cache = c.v1->att.get();
  const float yaw = cache.yaw.get();

  // A write leaves the cache as the last read left it.
  c.v1->att.set(angles(-50.0f, 0.0f, 0.0f));
  EXPECT_EQ(cache.yaw.get(), yaw);

  // Writing through the returned reference changes the cache only.
  Quaternions before = c.v2->att.get();
  cache.yaw = 77.0f;
  expectSameBits(c.v2->att.get(), before);
  EXPECT_NEAR(c.v1->att.get().yaw.get(), -50.0f, 1e-4);
}

TEST(Family16, UnwrittenAttitudeIsTheZeroQuaternion) {
  Chain16 c;
  EulerAngles& read = c.v1->att.get();
  EXPECT_EQ(read.yaw.get(), 0.0f);
  EXPECT_TRUE(std::isnan(read.pitch.get()));
  EXPECT_EQ(read.roll.get(), 0.0f);
}

TEST(Family16, CopiesForwardToTheSameNewerObject) {
  Chain16 c;
  Msg16_v1 copy(*c.v1);
  copy.att.set(angles(0.0f, 0.0f, 90.0f));
  EXPECT_NEAR(c.v1->att.get().roll.get(), 90.0f, 1e-4);

  Chain16 other;
  Msg16_v2 assigned(*other.v2);
  Msg16_v2& result = (assigned = *c.v2);
  EXPECT_EQ(&result, &assigned);
  expectSameBits(assigned.att.get(), c.v2->att.get());
  expectSameBits(assigned.attEuler, c.v2->attEuler);
  // The copy of the newest version holds values, not links to them.
  Quaternions snapshot = assigned.att.get();
  c.v1->att.set(angles(1.0f, 2.0f, 3.0f));
  expectSameBits(assigned.att.get(), snapshot);
  EXPECT_NE(bitsOf(c.v2->att.get().w.get()), bitsOf(snapshot.w.get()));
}

// The half angle of 180 degrees is the double nearest pi/2, whose cosine
// is 6.12323426e-17 as a float.  Math libraries that reduce with a short pi
// got 6.12303177e-17; the library reduces such arguments itself.
TEST(Family16, RightAnglesAndWholeTurnsStoreTheSameBitsEverywhere) {
  const auto stored = [](float yaw, float pitch, float roll) {
    Quaternions q;
    EulerAngles ea = angles(yaw, pitch, roll);
    q.setFromEA(ea);
    return std::array<std::uint32_t, 4>{bitsOf(q.w.get()), bitsOf(q.x.get()),
                                        bitsOf(q.y.get()), bitsOf(q.z.get())};
  };
  using Bits = std::array<std::uint32_t, 4>;
  EXPECT_EQ(stored(180, 0, 0), (Bits{0x248d3132, 0, 0x3f800000, 0}));
  EXPECT_EQ(stored(0, 0, -180), (Bits{0x248d3132, 0xbf800000, 0, 0}));
  // Multiples of 720 degrees change nothing, however large: no rounding of
  // a huge radian angle takes part.
  EXPECT_EQ(stored(900, 0, 0), stored(180, 0, 0));
  EXPECT_EQ(stored(0, -90 - 720 * 1024, 0), stored(0, -90, 0));
  EXPECT_EQ(stored(720 << 20, 0, -720.0f * 0x1p60f),
            (Bits{0x3f800000, 0, 0, 0}));
}

}  // namespace
