/// \file
/// What a write throws when the element's type cannot hold the value
/// written: std::out_of_range, whose message the library writes.
#ifndef TAMBERLO_CANNOT_HOLD_H_
#define TAMBERLO_CANNOT_HOLD_H_

#include <tamberlo/export.h>
#include <tamberlo/wide_integer.h>

#include <cstdint>
#include <limits>
#include <type_traits>

namespace tamberlo::detail {

/// An arithmetic type, as a message names it.
struct ArithmeticType {
  bool floating;  ///< a floating-point type
  bool isSigned;  ///< a signed type
  int digits;     ///< its std::numeric_limits<T>::digits
};

/// A value of an arithmetic type, exactly, as a message names it.
struct ArithmeticValue {
  ArithmeticType type;      ///< its type
  bool negative;            ///< an integer's sign
  std::uint64_t magnitude;  ///< an integer's magnitude
  long double floating;     ///< a floating-point value
};

/// T as a message names it.  A floating-point value is held as a long
/// double, whatever its digits (113 where long double is quadruple).
template <typename T>
constexpr ArithmeticType arithmeticType() {
  static_assert(
      std::is_floating_point_v<T> || std::numeric_limits<T>::digits <= 64,
      "integers of up to 64 bits");
  return {std::is_floating_point_v<T>, std::is_signed_v<T>,
          std::numeric_limits<T>::digits};
}

/// `value` as a message names it.
template <typename U>
constexpr ArithmeticValue arithmeticValue(U value) {
  if constexpr (std::is_floating_point_v<U>) {
    return {arithmeticType<U>(), false, 0, value};
  } else {
    return {arithmeticType<U>(), isNegative(value), magnitudeOf(value), 0.0L};
  }
}

/// Throws std::out_of_range: an element of type `target` cannot hold
/// `value`.  The message, which names both, is written inside the library,
/// which keeps <stdexcept> and <string> out of every client's includes;
/// hence the export.
[[noreturn]] TAMBERLO_API void throwCannotHold(const ArithmeticValue& value,
                                               const ArithmeticType& target);

}  // namespace tamberlo::detail

#endif  // TAMBERLO_CANNOT_HOLD_H_
