/// \file
/// Position: latitude, longitude and altitude in metres.
#ifndef TAMBERLO_POSITION_H_
#define TAMBERLO_POSITION_H_

#include <tamberlo/element_cur.h>
#include <tamberlo/export.h>
#include <tamberlo/fields.h>

/// Components are elements, read with get() and written with set() or an
/// assignment from a float.  Copies copy the values only.
struct TAMBERLO_API Position {
  ElementCur<float, Position> lat;  ///< latitude
  ElementCur<float, Position> lng;  ///< longitude
  ElementCur<float, Position> alt;  ///< metres
};
TAMBERLO_FIELDS(Position, lat, lng, alt)

#endif  // TAMBERLO_POSITION_H_
