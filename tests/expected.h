// What each conversion must answer, worked out from docs/conversions.md
// without the library's code, for the property tests and the fuzzer.
#ifndef TAMBERLO_TESTS_EXPECTED_H_
#define TAMBERLO_TESTS_EXPECTED_H_

#include <tamberlo/attitude.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace expected {

/// Feet read through Msg15_v3 or Msg15_v2 while `metres` is stored.
inline std::int32_t feetFromMetres(float metres) {
  if (std::isnan(metres)) return 0;
  // The product of two floats is exact in double, so one conversion to
  // float gives the once-rounded float product.
  const double exact = static_cast<double>(metres) * 3.2808399200439453125;
  if (std::fabs(exact) > std::numeric_limits<float>::max()) {
    return exact > 0 ? INT32_MAX : INT32_MIN;
  }
  const float product = static_cast<float>(exact);
  if (product >= 2147483648.0f) return INT32_MAX;
  if (product < -2147483648.0f) return INT32_MIN;
  return static_cast<std::int32_t>(std::trunc(product));
}

/// Metres stored by writing `feet` through Msg15_v3 or Msg15_v2.
inline float metresFromFeet(std::int32_t feet) {
  return static_cast<float>(static_cast<double>(feet) *
                            0.3048000037670135498046875);
}

/// Equal as stored floats: the same bits, or both NaN (which NaN an
/// operation gives differs between processors and compilers).
inline bool sameFloat(float a, float b) {
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

namespace detail {

struct SinCos {
  double sin;
  double cos;
};

// Sine and cosine of the half angle of `degrees`: reduced modulo 720
// beyond a turn, and beyond pi/4 taken from r + t = |h| - k pi/2, with
// pi/2 held in two doubles.
inline SinCos halfAngle(float degrees) {
  constexpr double kPi = 3.141592653589793;
  double d = degrees;
  if (std::fabs(d) > 360.0) d = std::remainder(d, 720.0);
  const double h = d * kPi / 360.0;
  const double a = std::fabs(h);
  if (!(a > kPi / 4)) return {std::sin(h), std::cos(h)};
  const double k = a > 3 * (kPi / 4) ? 2.0 : 1.0;
  const double high = a - k * 1.5707963267948966;
  const double low = -k * 6.123233995736766e-17;
  const double r = high + low;
  // The rounding error of that sum, exact when the larger addend is first.
  const double t =
      std::fabs(high) >= std::fabs(low) ? low - (r - high) : high - (r - low);
  const double sinR = std::sin(r) + t * std::cos(r);
  const double cosR = std::cos(r) - t * std::sin(r);
  // |h| is k quarter turns past r + t.
  const double sinA = k == 1.0 ? cosR : -sinR;
  const double cosA = k == 1.0 ? -sinR : -cosR;
  return {h < 0 ? -sinA : sinA, cosA};
}

constexpr long double kDegrees = 57.295779513082320876798154814105170L;
// Far above the error of the library's double arithmetic and of rounding an
// angle of at most 360 degrees to float (1.5e-5).
constexpr long double kToleranceDegrees = 1e-4L;

inline std::uint32_t bitsOf(float f) {
  std::uint32_t u;
  std::memcpy(&u, &f, sizeof u);
  return u;
}

// Equal as directions: 180 and -180 are the same yaw.
inline bool sameAngle(float got, long double want) {
  if (std::isnan(got)) return false;
  long double d = std::fmod(std::fabs(got - want), 360.0L);
  if (d > 180.0L) d = 360.0L - d;
  return d <= kToleranceDegrees;
}

}  // namespace detail

/// The quaternion w, x, y, z that writing these angles through Msg16_v1
/// stores.
inline std::array<float, 4> quaternionFromAngles(float yaw, float pitch,
                                                 float roll) {
  const auto [s1, c1] = detail::halfAngle(yaw);
  const auto [s2, c2] = detail::halfAngle(pitch);
  const auto [s3, c3] = detail::halfAngle(roll);
  const double p = c1 * c2;
  const double r = s1 * s2;
  return {static_cast<float>(p * c3 - r * s3),
          static_cast<float>(p * s3 + r * c3),
          static_cast<float>((s1 * c2) * c3 + (c1 * s2) * s3),
          static_cast<float>((c1 * s2) * c3 - (s1 * c2) * s3)};
}

/// Whether `read` is what Msg16_v1 reads while the quaternion w, x, y, z is
/// stored.
inline bool attitudeMatches(float w, float x, float y, float z,
                            EulerAngles& read) {
  using detail::sameAngle;
  const float yaw = read.yaw.get();
  const float pitch = read.pitch.get();
  const float roll = read.roll.get();
  if (std::isnan(w) || std::isnan(x) || std::isnan(y) || std::isnan(z)) {
    return std::isnan(yaw) && std::isnan(pitch) && std::isnan(roll);
  }
  if (std::isinf(w) || std::isinf(x) || std::isinf(y) || std::isinf(z)) {
    return std::isnan(pitch);
  }
  if (w == 0 && x == 0 && y == 0 && z == 0) {
    return yaw == 0 && std::isnan(pitch) && roll == 0;
  }
  const long double qw = w, qx = x, qy = y, qz = z;
  const long double sw = qw * qw, sx = qx * qx, sy = qy * qy, sz = qz * qz;
  const long double ratio = (qx * qy + qz * qw) / (sx + sy + sz + sw);

  const bool north = ratio > 0;
  // At a pole yaw is +-2 atan2(x, w) as a number, not only as a direction:
  // anywhere in [-360, 360], the ends where x is a zero and w negative.
  const long double poleYaw =
      (north ? 2 : -2) * std::atan2(qx, qw) * detail::kDegrees;
  const bool pole =
      detail::bitsOf(pitch) == detail::bitsOf(north ? 90.0f : -90.0f) &&
      detail::bitsOf(roll) == 0 &&
      std::fabs(yaw - poleYaw) <= detail::kToleranceDegrees;
  const bool regular =
      sameAngle(pitch, std::asin(2 * ratio) * detail::kDegrees) &&
      sameAngle(yaw, std::atan2(2 * (qy * qw - qx * qz), sx - sy - sz + sw) *
                         detail::kDegrees) &&
      sameAngle(roll, std::atan2(2 * (qx * qw - qy * qz), -sx + sy - sz + sw) *
                          detail::kDegrees);
  // The poles take over where |ratio| exceeds 0.499; this close to the edge
  // the library's double arithmetic may decide either way.
  const long double edge = std::fabs(std::fabs(ratio) - 0.499L);
  if (edge < 1e-12L) return pole || regular;
  return std::fabs(ratio) > 0.499L ? pole : regular;
}

}  // namespace expected

#endif  // TAMBERLO_TESTS_EXPECTED_H_
