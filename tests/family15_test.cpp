// Family 15: every version reads and writes the one Position stored in v5,
// with altitude converted between metres (v5, v4) and whole feet (v3, v2).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "chains.h"
#include "named_types.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The latitude and longitude elements of one version of the chain.
struct V5 {
  static constexpr const char* kName = "Msg15_v5";
  static ElInterface<float>& lat(Chain15& c) { return c.stored().lat; }
  static ElInterface<float>& lng(Chain15& c) { return c.stored().lng; }
};
struct V4 {
  static constexpr const char* kName = "Msg15_v4";
  static ElInterface<float>& lat(Chain15& c) { return c.v4->lat; }
  static ElInterface<float>& lng(Chain15& c) { return c.v4->lng; }
};
struct V3 {
  static constexpr const char* kName = "Msg15_v3";
  static ElInterface<float>& lat(Chain15& c) { return c.v3->lat; }
  static ElInterface<float>& lng(Chain15& c) { return c.v3->lng; }
};
struct V2 {
  static constexpr const char* kName = "Msg15_v2";
  static ElInterface<float>& lat(Chain15& c) { return c.v2->lat; }
  static ElInterface<float>& lng(Chain15& c) { return c.v2->lng; }
};

template <typename Writer>
class Family15Coordinates : public ::testing::Test {};
using AllVersions = ::testing::Types<V5, V4, V3, V2>;
TYPED_TEST_SUITE(Family15Coordinates, AllVersions, NamedByKName);

template <typename Reader>
void expectCoordinates(Chain15& c, std::uint32_t lat, std::uint32_t lng) {
  EXPECT_EQ(bitsOf(Reader::lat(c).get()), lat);
  EXPECT_EQ(bitsOf(Reader::lng(c).get()), lng);
}

TYPED_TEST(Family15Coordinates, WriteIsReadByEveryVersionBitForBit) {
  const float values[] = {45.0f,
                          -0.0f,
                          std::numeric_limits<float>::denorm_min(),
                          -std::numeric_limits<float>::max(),
                          kInf,
                          floatOf(0x7fc00123)};  // a NaN with a payload
  for (float v : values) {
    Chain15 c;
    TypeParam::lat(c).set(v);
    TypeParam::lng(c).set(-v);
    const std::uint32_t lat = bitsOf(v);
    const std::uint32_t lng = bitsOf(-v);
    expectCoordinates<V5>(c, lat, lng);
    expectCoordinates<V4>(c, lat, lng);
    expectCoordinates<V3>(c, lat, lng);
    expectCoordinates<V2>(c, lat, lng);
    // Through every version, a reference is the storage itself.
    EXPECT_EQ(&TypeParam::lat(c).get(), &c.stored().lat.value);
    EXPECT_EQ(&TypeParam::lng(c).get(), &c.stored().lng.value);
  }
}

TEST(Family15, LatitudeWrittenThroughV4IsStoredInV5) {
  Chain15 c;
  c.v4->lat = 45.0f;
  EXPECT_EQ(c.stored().lat.get(), 45.0f);
  EXPECT_EQ(c.v3->lat.get(), 45.0f);
  EXPECT_EQ(c.v2->lat.get(), 45.0f);
  EXPECT_EQ(c.stored().lng.get(), 0.0f);
  EXPECT_EQ(c.stored().alt.get(), 0.0f);
}

TEST(Family15, MetresReadAsWholeFeetTruncatedTowardZero) {
  const struct {
    float metres;
    std::int32_t feet;
  } cases[] = {{10000.0f, 32808},  // 32808.3984375
               {-10000.0f, -32808},       {0.5f, 1}, {-0.1f, 0}, {0.0f, 0},
               {650000000.0f, 2132545920}};
  for (const auto& k : cases) {
    Chain15 c;
    c.v4->alt = k.metres;
    EXPECT_EQ(c.v2->alt.get(), k.feet) << k.metres;
    EXPECT_EQ(c.v4->altFeet, k.feet);
    EXPECT_EQ(c.v3->alt.get(), k.feet);
    EXPECT_EQ(bitsOf(c.stored().alt.get()), bitsOf(k.metres));
  }
}

TEST(Family15, FeetOutsideInt32SaturateAndNaNReadsZero) {
  const struct {
    float metres;
    std::int32_t feet;
  } cases[] = {{floatOf(0x7fc00000), 0},
               {-floatOf(0x7fc00000), 0},
               {kInf, kMax},
               {-kInf, kMin},
               {1e30f, kMax},
               {-1e30f, kMin},
               {654553024.0f, kMax},  // product rounds up to 2^31
               {-654553024.0f, kMin}};
  for (const auto& k : cases) {
    Chain15 c;
    c.v4->alt = k.metres;
    EXPECT_EQ(c.v2->alt.get(), k.feet) << k.metres;
  }
}

// feet x 0.3048f in double, rounded once to float: 0.3048 itself would give
// 9999.87792969 m for 32808 ft.
TEST(Family15, FeetTimesTheFloatConstantAreRoundedOnceToFloat) {
  Chain15 c;
  c.v2->alt = 32808;
  EXPECT_EQ(c.stored().alt.get(), 9999.87890625f);
  EXPECT_EQ(c.v2->alt.get(), 32808);

  c.v3->alt.set(449);
  EXPECT_EQ(c.stored().alt.get(), 136.855194091796875f);
  // 448.999969482421875 ft truncates.
  EXPECT_EQ(c.v3->alt.get(), 448);

  c.v2->alt = -449;
  EXPECT_EQ(c.stored().alt.get(), -136.855194091796875f);
  EXPECT_EQ(c.v2->alt.get(), -448);

  c.v2->alt = kMax;
  EXPECT_EQ(c.stored().alt.get(), 654553024.0f);
  EXPECT_EQ(c.v2->alt.get(), kMax);
  c.v2->alt = kMin;
  EXPECT_EQ(c.stored().alt.get(), -654553024.0f);
  EXPECT_EQ(c.v2->alt.get(), kMin);
}

TEST(Family15, MetresPassV4UnconvertedBitForBit) {
  for (float m : {123.456f, -0.0f, kInf, floatOf(0x7fc00042)}) {
    Chain15 c;
    c.v4->alt.set(m);
    EXPECT_EQ(bitsOf(c.stored().alt.get()), bitsOf(m));
    EXPECT_EQ(bitsOf(c.v4->alt.get()), bitsOf(m));
  }
}

TEST(Family15, FeetReferenceIsV4sCacheNotTheStorage) {
  Chain15 c;
  c.v4->alt = 10000.0f;
  std::int32_t& viaV2 = c.v2->alt.get();
  std::int32_t& viaV3 = c.v3->alt.get();
  EXPECT_EQ(&viaV2, &c.v4->altFeet);
  EXPECT_EQ(&viaV3, &c.v4->altFeet);

  viaV2 = 5;
  EXPECT_EQ(c.v4->altFeet, 5);
  EXPECT_EQ(c.stored().alt.get(), 10000.0f);
  EXPECT_EQ(c.v2->alt.get(), 32808);  // the next read overwrites the cache
}

TEST(Family15, WritingFeetLeavesTheCacheUntilTheNextRead) {
  Chain15 c;
  c.v4->alt = 10000.0f;
  ASSERT_EQ(c.v3->alt.get(), 32808);
  c.v2->alt = 100;
  EXPECT_EQ(c.v4->altFeet, 32808);
  EXPECT_EQ(c.v2->alt.get(), 100);
  EXPECT_EQ(c.v4->altFeet, 100);
}

TEST(Family15, CopiesForwardToTheSameNewerObject) {
  Chain15 c;
  Msg15_v4 copy(*c.v4);
  copy.lat = 33.0f;
  EXPECT_EQ(c.v2->lat.get(), 33.0f);
  EXPECT_EQ(copy.older, c.v4->older);

  Chain15 other;
  Msg15_v3 assigned(*other.v3);
  Msg15_v3& result = (assigned = *c.v3);
  EXPECT_EQ(&result, &assigned);
  assigned.alt = 32808;
  EXPECT_EQ(c.stored().alt.get(), 9999.87890625f);
  EXPECT_EQ(other.stored().alt.get(), 0.0f);

  Msg15_v5 storedCopy(*c.v5);
  c.v4->lat = 1.0f;
  EXPECT_EQ(storedCopy.position.get().lat.get(), 33.0f);
  // It holds values of its own, but its roots map names its source.
  EXPECT_EQ(storedCopy.getVersion<Msg15_v2>(), c.v2);
}

TEST(Family15, AssigningAnElementCopiesItsBindingNotItsValue) {
  Chain15 a;
  Chain15 b;
  b.v2->lat = 5.0f;
  a.v2->lat = b.v2->lat;  // a.v2->lat now forwards to b's chain
  a.v2->lat = 7.0f;
  EXPECT_EQ(a.stored().lat.get(), 0.0f);
  EXPECT_EQ(b.stored().lat.get(), 7.0f);
}

}  // namespace
