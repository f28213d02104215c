/// \file
/// Ready-made conversions for tamberlo::Converted: a value's type promoted
/// and brought back, and a linear scale.
#ifndef TAMBERLO_CONVERSIONS_H_
#define TAMBERLO_CONVERSIONS_H_

#include <cstdint>
#include <limits>
#include <type_traits>

namespace tamberlo {
namespace detail {

// 2 to the power `exponent`, exactly, as a double.
constexpr double powerOfTwo(int exponent) {
  double result = 1.0;
  for (int i = 0; i < exponent; ++i) result *= 2.0;
  return result;
}

}  // namespace detail

namespace detail {

// A floating-point value as an integer: rounded to nearest with ties away
// from zero, NaN as 0, saturated at To's range.
template <typename To, typename From>
To roundToInteger(From value) {
  const auto x = static_cast<double>(value);
  if (x != x) return To{0};  // NaN
  // Both bounds are powers of two, exact in a double; the greatest value of
  // a 64-bit type is not.
  constexpr double kAbove = powerOfTwo(std::numeric_limits<To>::digits);
  constexpr double kLowest = std::is_signed_v<To> ? -kAbove : 0.0;
  // Rounded to nearest, ties away from zero, without <cmath>: below 2^52
  // a double has a fraction, which casting to a 64-bit integer drops
  // exactly; from there on it is a whole number already.
  double rounded = x;
  if (x < 4503599627370496.0 && x > -4503599627370496.0) {
    const auto whole = static_cast<double>(static_cast<std::int64_t>(x));
    const double fraction = x - whole;
    rounded = fraction >= 0.5    ? whole + 1.0
              : fraction <= -0.5 ? whole - 1.0
                                 : whole;
  }
  if (rounded >= kAbove) return std::numeric_limits<To>::max();
  if (rounded < kLowest) return std::numeric_limits<To>::lowest();
  return static_cast<To>(rounded);
}

// An integer as another integer type, saturated at its range.
template <typename To, typename From>
To saturate(From value) {
  if constexpr (std::is_signed_v<From>) {
    if (value < 0) {
      if constexpr (std::is_signed_v<To>) {
        const auto wide = static_cast<std::intmax_t>(value);
        return wide < std::numeric_limits<To>::lowest()
                   ? std::numeric_limits<To>::lowest()
                   : static_cast<To>(wide);
      } else {
        return To{0};
      }
    }
  }
  const auto wide = static_cast<std::uintmax_t>(value);
  return wide > static_cast<std::uintmax_t>(std::numeric_limits<To>::max())
             ? std::numeric_limits<To>::max()
             : static_cast<To>(wide);
}

}  // namespace detail

/// `value` as a `To`, made total.  To an integer type from a floating-point
/// one: rounded to nearest with ties away from zero, NaN as 0, and values
/// beyond `To`'s range saturated to its lowest or greatest.  Between integer
/// types: saturated likewise.  To a floating-point type, or to or from
/// `bool`: as static_cast (the nearest value; beyond `float`'s range a
/// double becomes an infinity).
template <typename To, typename From>
To convertValue(From value) {
  static_assert(std::is_arithmetic_v<To> && std::is_arithmetic_v<From>,
                "tamberlo::convertValue converts between arithmetic types");
  if constexpr (std::is_same_v<To, bool> || std::is_same_v<From, bool> ||
                std::is_floating_point_v<To>) {
    return static_cast<To>(value);
  } else if constexpr (std::is_floating_point_v<From>) {
    return detail::roundToInteger<To>(value);
  } else {
    return detail::saturate<To>(value);
  }
}

/// The default conversion of a Converted field: the older version shows
/// the newer value as its own type, and a write comes back the same way,
/// both through convertValue (an `int32_t` showing a `float` reads it
/// rounded to nearest, ties away from zero, saturated, NaN as 0).
struct Promotion {
  /// `newer` as the older field's type.
  template <typename Older, typename Newer>
  static Older toOlder(const Newer& newer) {
    return convertValue<Older>(newer);
  }
  /// `older` as the newer field's type.
  template <typename Newer, typename Older>
  static Newer toNewer(const Older& older) {
    return convertValue<Newer>(older);
  }
};

/// The older version shows the newer value times Numerator / Denominator,
/// plus Offset: `Scale<1000>` shows millivolts of volts, `Scale<9, 5, 32>`
/// degrees Fahrenheit of degrees Celsius.  Computed in double, in that
/// order, then brought to the shown type once by convertValue; a write
/// takes the offset away, then multiplies by Denominator / Numerator.
template <std::int64_t Numerator, std::int64_t Denominator = 1,
          std::int64_t Offset = 0>
struct Scale {
  static_assert(Numerator != 0 && Denominator != 0,
                "tamberlo::Scale needs a factor other than zero");
  /// `newer` * Numerator / Denominator + Offset, as the older field's type.
  template <typename Older, typename Newer>
  static Older toOlder(const Newer& newer) {
    return convertValue<Older>(static_cast<double>(newer) *
                                   static_cast<double>(Numerator) /
                                   static_cast<double>(Denominator) +
                               static_cast<double>(Offset));
  }
  /// (`older` - Offset) * Denominator / Numerator, as the newer field's
  /// type.
  template <typename Newer, typename Older>
  static Newer toNewer(const Older& older) {
    return convertValue<Newer>(
        (static_cast<double>(older) - static_cast<double>(Offset)) *
        static_cast<double>(Denominator) / static_cast<double>(Numerator));
  }
};

}  // namespace tamberlo

#endif  // TAMBERLO_CONVERSIONS_H_
