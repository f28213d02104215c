/// \file
/// EulerAngles and Quaternions: two forms of one attitude, and the
/// conversions between them.
#ifndef TAMBERLO_ATTITUDE_H_
#define TAMBERLO_ATTITUDE_H_

#include <tamberlo/element_cur.h>
#include <tamberlo/export.h>
#include <tamberlo/fields.h>

struct Quaternions;

/// Yaw, pitch and roll in degrees.
struct TAMBERLO_API EulerAngles {
  ElementCur<float, EulerAngles> yaw;    ///< degrees
  ElementCur<float, EulerAngles> pitch;  ///< degrees
  ElementCur<float, EulerAngles> roll;   ///< degrees

  /// Overwrites the three angles with the attitude of `q`, which need not
  /// have unit length.  Beyond about +-86.38 degrees of pitch the result is
  /// pitch exactly +-90 and roll 0; a zero quaternion gives pitch NaN.
  void setFromQuaternion(Quaternions& q);
};
TAMBERLO_FIELDS(EulerAngles, yaw, pitch, roll)

/// A rotation quaternion; `w` is the scalar part.
struct TAMBERLO_API Quaternions {
  ElementCur<float, Quaternions> w;  ///< scalar part
  ElementCur<float, Quaternions> x;  ///< axis of roll
  ElementCur<float, Quaternions> y;  ///< axis of yaw
  ElementCur<float, Quaternions> z;  ///< axis of pitch

  /// Overwrites the four components with yaw, then pitch, then roll of
  /// `ea`, as the Hamilton product q(yaw) q(pitch) q(roll); not normalised.
  void setFromEA(EulerAngles& ea);
};
TAMBERLO_FIELDS(Quaternions, w, x, y, z)

#endif  // TAMBERLO_ATTITUDE_H_
