// Both conversions compute in double and round to float once per stored
// component.  The evaluation order below fixes the last bit of each result,
// which is why the build forbids contracting a*b+c into a fused multiply-add.
#include <tamberlo/attitude.h>

#include <cmath>

#include "exact_arithmetic.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kDegreesPerRadian = 57.29577951308232;
// Where |2 test / unit| exceeds 0.998 the regular formulas lose precision;
// the poles take over (regular pitch beyond about +-86.38 degrees).
constexpr double kPoleThreshold = 0.499;

// An angle beyond a turn is first reduced exactly to [-360, 360] degrees,
// which keeps its half angle's sine and cosine: math libraries reduce huge
// radian arguments with different precisions of pi.
double halfAngleRadians(float degrees) {
  double turns = degrees;
  if (std::fabs(turns) > 360.0) turns = std::remainder(turns, 720.0);
  return (turns * kPi) / 360.0;
}

struct SinCos {
  double sin;
  double cos;
};

// Sine and cosine of |h| <= pi.  Beyond pi/4 the argument is reduced here,
// by pi/2 or pi held in two doubles, and the math library only sees
// [-pi/4, pi/4]: some libraries (MinGW-w64's x87 code) reduce with a 66-bit
// pi, which leaves few right bits in cos(pi/2), the w of a yaw of 180.
SinCos sinCos(double h) {
  constexpr double kQuarterPi = 0.7853981633974483;
  constexpr double kHalfPiLow = 6.123233995736766e-17;  // pi/2 - kHalfPi
  const double a = std::fabs(h);
  if (!(a > kQuarterPi)) return {std::sin(h), std::cos(h)};  // NaN too
  const double k = a > 3 * kQuarterPi ? 2.0 : 1.0;
  const double high = a - k * kHalfPi;  // exact (Sterbenz)
  const double low = -k * kHalfPiLow;
  const double r = high + low;  // r + tail is a - k pi/2, to 107 bits
  const double lowPart = r - high;
  const double tail = (high - (r - lowPart)) + (low - lowPart);
  const double sinRounded = std::sin(r);
  const double cosRounded = std::cos(r);
  const double sinR = sinRounded + cosRounded * tail;
  const double cosR = cosRounded - sinRounded * tail;
  // a = pi/2 + r: sin a = cos r, cos a = -sin r; a = pi + r: negated.
  const double sinA = k == 1.0 ? cosR : -sinR;
  const double cosA = k == 1.0 ? -sinR : -cosR;
  return {h < 0 ? -sinA : sinA, cosA};
}

#if defined(_MSC_VER)
#define TAMBERLO_NOINLINE __declspec(noinline)
#elif defined(__GNUC__) || defined(__clang__)
#define TAMBERLO_NOINLINE __attribute__((noinline))
#else
#define TAMBERLO_NOINLINE
#endif

// The angles away from the poles, from the arguments of their math-library
// calls.  Out of line on purpose: the call makes the compiler compute all
// five arguments first, so only three values live across the calls, in
// registers.  Inlined, it computed them between the calls and kept ten on
// the stack, which made a read through Msg16_v1 3-7% slower.
TAMBERLO_NOINLINE void setRegular(EulerAngles& ea, double yawY, double yawX,
                                  double sinPitch, double rollY, double rollX) {
  ea.yaw = static_cast<float>(std::atan2(yawY, yawX) * kDegreesPerRadian);
  ea.pitch = static_cast<float>(std::asin(sinPitch) * kDegreesPerRadian);
  ea.roll = static_cast<float>(std::atan2(rollY, rollX) * kDegreesPerRadian);
}

}  // namespace

void Quaternions::setFromEA(EulerAngles& ea) {
  const double hYaw = halfAngleRadians(ea.yaw.get());
  const double hPitch = halfAngleRadians(ea.pitch.get());
  const double hRoll = halfAngleRadians(ea.roll.get());
  const auto [s1, c1] = sinCos(hYaw);
  const auto [s2, c2] = sinCos(hPitch);
  const auto [s3, c3] = sinCos(hRoll);
  const double p = c1 * c2;
  const double r = s1 * s2;
  w = static_cast<float>(p * c3 - r * s3);
  x = static_cast<float>(p * s3 + r * c3);
  y = static_cast<float>((s1 * c2) * c3 + (c1 * s2) * s3);
  z = static_cast<float>((c1 * s2) * c3 - (s1 * c2) * s3);
}

void EulerAngles::setFromQuaternion(Quaternions& q) {
  const double qw = q.w.get();
  const double qx = q.x.get();
  const double qy = q.y.get();
  const double qz = q.z.get();
  const double sw = qw * qw;
  const double sx = qx * qx;
  const double sy = qy * qy;
  const double sz = qz * qz;
  const double unit = ((sx + sy) + sz) + sw;  // squared length
  const double test = qx * qy + qz * qw;

  if (kPoleThreshold * unit < test) {  // north pole
    yaw = static_cast<float>((2.0 * std::atan2(qx, qw)) * kDegreesPerRadian);
    pitch = static_cast<float>(kHalfPi * kDegreesPerRadian);
    roll = 0.0f;
  } else if (-kPoleThreshold * unit > test) {  // south pole
    yaw = static_cast<float>((-2.0 * std::atan2(qx, qw)) * kDegreesPerRadian);
    pitch = static_cast<float>(-kHalfPi * kDegreesPerRadian);
    roll = 0.0f;
  } else {
    setRegular(*this, (2.0 * qy) * qw - (2.0 * qx) * qz, ((sx - sy) - sz) + sw,
               (2.0 * test) / unit, (2.0 * qx) * qw - (2.0 * qy) * qz,
               ((-sx + sy) - sz) + sw);
  }
}
