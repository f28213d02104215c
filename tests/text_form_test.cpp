// toString and operator<< read every field through get(), as a client of
// that class sees it, and write numbers in their shortest exact form.
#include <gtest/gtest.h>
#include <tamberlo/ostream_operator.h>
#include <tamberlo/tamberlo.h>
#include <tamberlo/to_string.h>

#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>

#include "chains.h"
#include "every_type.h"

namespace {

using tamberlo::toString;
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(TextForm, EveryLibraryVersion) {
  Chain15 c;
  c.v4->lat = 45.0f;
  c.v4->alt = 10000.0f;
  EXPECT_EQ(toString(*c.v2), "Msg15_v2{alt=32808, lat=45, lng=0}");
  EXPECT_EQ(toString(*c.v3), "Msg15_v3{lat=45, lng=0, alt=32808}");
  EXPECT_EQ(toString(*c.v4), "Msg15_v4{lat=45, lng=0, alt=10000}");
  EXPECT_EQ(toString(*c.v5),
            "Msg15_v5{position=Position{lat=45, lng=0, alt=10000}}");
  Chain16 a;
  a.v1->att = angles(45.0f, 5.0f, 0.0f);
  EXPECT_EQ(toString(*a.v1),
            "Msg16_v1{att=EulerAngles{yaw=45, pitch=5, roll=2.1249589e-08}}");
  EXPECT_EQ(toString(*a.v2),
            "Msg16_v2{att=Quaternions{w=0.9230002, x=0.016692417, "
            "y=0.3823192, z=0.040299058}}");
}

TEST(TextForm, SpecialFloatsExtremeFeetAndValueStructs) {
  Chain15 c;
  c.v4->lat = -0.0f;
  c.v4->lng = floatOf(0xffc00000u);  // negative quiet NaN
  c.v4->alt = -kInf;
  EXPECT_EQ(toString(*c.v3), "Msg15_v3{lat=-0, lng=-nan, alt=-2147483648}");
  Velocity v;
  v.dx = std::numeric_limits<float>::quiet_NaN();
  v.dy = kInf;
  v.dz = 1e30f;
  EXPECT_EQ(toString(v), "Velocity{dx=nan, dy=inf, dz=1e+30}");
  Quaternions q;
  q.w = std::numeric_limits<float>::denorm_min();
  q.x = 0.1f;
  EXPECT_EQ(toString(q), "Quaternions{w=1e-45, x=0.1, y=0, z=0}");
  Span widest;  // the longest texts a double has
  widest.low = std::numeric_limits<double>::max();
  widest.high = -std::numeric_limits<double>::min();
  EXPECT_EQ(toString(widest),
            "Span{low=1.7976931348623157e+308, high=-2.2250738585072014e-308}");
  EulerAngles turn = angles(1.0f, -2.5f, 3.0f);
  std::ostringstream out;
  using tamberlo::operators::operator<<;
  out << c.stored() << ' ' << turn;
  EXPECT_EQ(out.str(),
            "Position{lat=-0, lng=-nan, alt=-inf} "
            "EulerAngles{yaw=1, pitch=-2.5, roll=3}");
}

TEST(TextForm, StringsThatAreNotUtf8AreRefused) {
  MsgMap none;
  Msg40_v1 m(none);
  m.name = std::string("bad\xFF");
  try {
    toString(m);
    ADD_FAILURE() << "accepted";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(),
                 "tamberlo::toString: Msg40_v1::name: a string that is not "
                 "UTF-8");
  }
}

}  // namespace
