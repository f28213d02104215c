/// \file
/// Velocity: three components, of the same element type as Position's.
#ifndef TAMBERLO_VELOCITY_H_
#define TAMBERLO_VELOCITY_H_

#include <tamberlo/element_cur.h>
#include <tamberlo/export.h>
#include <tamberlo/fields.h>
#include <tamberlo/position.h>

/// Tagged with Position on purpose: there is no element type tagged
/// Velocity, and clients' layouts depend on that.
struct TAMBERLO_API Velocity {
  ElementCur<float, Position> dx;  ///< x component
  ElementCur<float, Position> dy;  ///< y component
  ElementCur<float, Position> dz;  ///< z component
};
TAMBERLO_FIELDS(Velocity, dx, dy, dz)

#endif  // TAMBERLO_VELOCITY_H_
