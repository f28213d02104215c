/// \file
/// Ready-made conversions for tamberlo::Converted: a value's type promoted
/// and brought back, and a linear scale.
#ifndef TAMBERLO_CONVERSIONS_H_
#define TAMBERLO_CONVERSIONS_H_

#include <tamberlo/wide_integer.h>

#include <cstdint>
#include <limits>
#include <type_traits>

namespace tamberlo {
namespace detail {

// 2 to the power `exponent`, exactly, as an F.
template <typename F = double>
constexpr F powerOfTwo(int exponent) {
  F result = 1;
  for (int i = 0; i < exponent; ++i) result *= 2;
  return result;
}

// Whether every value of arithmetic type U is a value of T as well (for
// floating-point types: whether U's finite range lies within T's, since
// rounding to nearest is how they work).  From a floating-point type to an
// integer type, never.
template <typename T, typename U>
constexpr bool holdsEvery() {
  using TL = std::numeric_limits<T>;
  using UL = std::numeric_limits<U>;
  if constexpr (std::is_floating_point_v<T> && std::is_floating_point_v<U>) {
    return UL::max_exponent <= TL::max_exponent;
  } else if constexpr (std::is_floating_point_v<U> ||
                       (std::is_signed_v<U> && !std::is_signed_v<T>)) {
    return false;  // fractions, or negatives
  } else {
    return UL::digits <= TL::digits;
  }
}

// Whether `value`, a U, is a value of T as well: an integer within an
// integer type's range, or exactly one of a floating-point type's values;
// from a wider floating-point type, NaN, infinite, or within T's finite
// range.
template <typename T, typename U>
constexpr bool holds(U value) {
  static_assert(std::is_floating_point_v<T> || std::is_integral_v<U>,
                "an integer type holds no floating-point value as such");
  if constexpr (holdsEvery<T, U>()) {
    return true;
  } else if constexpr (std::is_floating_point_v<U>) {
    constexpr auto kMax = static_cast<U>(std::numeric_limits<T>::max());
    constexpr U kInfinity = std::numeric_limits<U>::infinity();
    return !(value > kMax && value < kInfinity) &&
           !(value < -kMax && value > -kInfinity);
  } else if constexpr (std::is_floating_point_v<T>) {
    // Exact when the nearest T converts back to the value; one rounded up
    // to 2^digits lies beyond U, where converting back is undefined.
    const auto nearest = static_cast<T>(value);
    return nearest < powerOfTwo<T>(std::numeric_limits<U>::digits) &&
           static_cast<U>(nearest) == value;
  } else {
    if constexpr (std::is_signed_v<U>) {
      if (value < 0) {
        return std::is_signed_v<T> &&
               static_cast<std::intmax_t>(value) >=
                   static_cast<std::intmax_t>(std::numeric_limits<T>::lowest());
      }
    }
    return static_cast<std::uintmax_t>(value) <=
           static_cast<std::uintmax_t>(std::numeric_limits<T>::max());
  }
}

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
  if (holds<To>(value)) return static_cast<To>(value);
  if constexpr (std::is_signed_v<From>) {
    if (value < 0) return std::numeric_limits<To>::lowest();
  }
  return std::numeric_limits<To>::max();
}

// A number as a floating-point type: the nearest value, ties to even.  A
// finite value beyond To's range, which a cast leaves undefined, is rounded
// as IEEE 754 rounds it: to the greatest finite value up to half a unit in
// its last place beyond it, from there on (ties to even) to an infinity.
template <typename To, typename From>
To toFloating(From value) {
  if constexpr (std::is_floating_point_v<From> && !holdsEvery<To, From>()) {
    if (!holds<To>(value)) {
      using L = std::numeric_limits<To>;
      constexpr From kOverflow =
          powerOfTwo<From>(L::max_exponent) -
          powerOfTwo<From>(L::max_exponent - L::digits - 1);
      const To magnitude =
          value >= kOverflow || value <= -kOverflow ? L::infinity() : L::max();
      return value > 0 ? magnitude : -magnitude;
    }
  }
  return static_cast<To>(value);
}

}  // namespace detail

/// `value` as a `To`, made total: every value gives a defined result.  To
/// an integer type from a floating-point one: rounded to nearest with ties
/// away from zero, NaN as 0, and values beyond `To`'s range saturated to
/// its lowest or greatest.  Between integer types: saturated likewise
/// (`convertValue<std::uint32_t>(-1)` is 0).  To a floating-point type: the
/// nearest value, ties to even (an integer beyond 2^24 may round as a
/// `float`, beyond 2^53 as a `double`); a finite `double` beyond `float`'s
/// range becomes `FLT_MAX` up to half a unit in its last place beyond it,
/// an infinity from there on, as IEEE 754 rounds.  To or from `bool`: as
/// static_cast.
template <typename To, typename From>
To convertValue(From value) {
  static_assert(std::is_arithmetic_v<To> && std::is_arithmetic_v<From>,
                "tamberlo::convertValue converts between arithmetic types");
  if constexpr (std::is_same_v<To, bool> || std::is_same_v<From, bool>) {
    return static_cast<To>(value);
  } else if constexpr (std::is_floating_point_v<To>) {
    return detail::toFloating<To>(value);
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

namespace detail {
// Scale computes exactly between these.
template <typename A, typename B>
constexpr bool bothIntegers() {
  return std::is_integral_v<A> && std::is_integral_v<B> &&
         !std::is_same_v<A, bool> && !std::is_same_v<B, bool>;
}

// What LinearScale<C> reads from C.
template <typename C, typename = void>
constexpr bool kLinearMembers = false;
template <typename C>
constexpr bool
    kLinearMembers<C, std::void_t<decltype(C::factor), decltype(C::offset)>> =
        std::conjunction_v<std::is_same<decltype(C::factor), const double>,
                           std::is_same<decltype(C::offset), const double>>;

// C's factor (Index 0) or offset (1); 1 and 0 where C lacks them, so that
// LinearScale's refusal is the one error.
template <typename C, int Index>
constexpr double linearConstant() {
  if constexpr (kLinearMembers<C>) {
    return Index == 0 ? C::factor : C::offset;
  } else {
    return Index == 0 ? 1.0 : 0.0;
  }
}

constexpr bool isFinite(double x) {
  return x >= -std::numeric_limits<double>::max() &&
         x <= std::numeric_limits<double>::max();
}

template <typename C>
constexpr bool linearConstantsUsable() {
  return kLinearMembers<C> && isFinite(linearConstant<C, 0>()) &&
         linearConstant<C, 0>() != 0.0 && isFinite(linearConstant<C, 1>());
}
}  // namespace detail

/// The older version shows the newer value times Numerator / Denominator,
/// plus Offset: `Scale<1000>` shows millivolts of volts, `Scale<9, 5, 32>`
/// degrees Fahrenheit of degrees Celsius; a write takes the offset away,
/// then multiplies by Denominator / Numerator.  Between integer types
/// (bool aside) both are computed exactly, rounded once to nearest with
/// ties away from zero and saturated at the result's range, and a write of
/// the value the older field shows leaves the newer value as it is, so that
/// writing back what was read changes nothing stored.  Otherwise they are
/// computed in double, in that order, then brought to the result's type
/// once by convertValue.
template <std::int64_t Numerator, std::int64_t Denominator = 1,
          std::int64_t Offset = 0>
struct Scale {
  static_assert(Numerator != 0 && Denominator != 0,
                "tamberlo::Scale needs a factor other than zero");
  /// `newer` * Numerator / Denominator + Offset, as the older field's type.
  template <typename Older, typename Newer>
  static Older toOlder(const Newer& newer) {
    if constexpr (detail::bothIntegers<Older, Newer>()) {
      // (newer * Numerator + Offset * Denominator) / Denominator
      return detail::divideRounded<Older>(
          detail::add(detail::multiply(newer, Numerator), kOffsetPart),
          Denominator);
    } else {
      return convertValue<Older>(static_cast<double>(newer) *
                                     static_cast<double>(Numerator) /
                                     static_cast<double>(Denominator) +
                                 static_cast<double>(Offset));
    }
  }
  /// (`older` - Offset) * Denominator / Numerator, as the newer field's
  /// type.
  template <typename Newer, typename Older>
  static Newer toNewer(const Older& older) {
    if constexpr (detail::bothIntegers<Older, Newer>()) {
      // (older * Denominator - Offset * Denominator) / Numerator
      return detail::divideRounded<Newer>(
          detail::add(
              detail::multiply(older, Denominator),
              {!kOffsetPart.negative, kOffsetPart.high, kOffsetPart.low}),
          Numerator);
    } else {
      return convertValue<Newer>(
          (static_cast<double>(older) - static_cast<double>(Offset)) *
          static_cast<double>(Denominator) / static_cast<double>(Numerator));
    }
  }
  /// Between integer types, what a Converted field writes: `current` where
  /// it reads as `older` already, else toNewer(older).
  template <typename Newer, typename Older,
            std::enable_if_t<detail::bothIntegers<Older, Newer>(), int> = 0>
  static Newer toNewer(const Older& older, const Newer& current) {
    return toOlder<Older>(current) == older ? current : toNewer<Newer>(older);
  }

 private:
  static constexpr detail::WideInteger kOffsetPart =
      detail::multiply(Offset, Denominator);
};

/// The older version shows the newer value times `Constants::factor`, plus
/// `Constants::offset`, both `static constexpr double`, where one is not a
/// whole number:
///
///     struct KelvinOfCelsius {
///       static constexpr double factor = 1.0;
///       static constexpr double offset = 273.15;
///     };
///     tamberlo::Converted<double, &Cell_v2::celsius,
///                         tamberlo::LinearScale<KelvinOfCelsius>> kelvin;
///
/// Computed in double, then brought to the result's type once by
/// convertValue: a read is `newer * factor + offset`, a write `(older -
/// offset) / factor`.
template <typename Constants>
struct LinearScale {
  static_assert(detail::linearConstantsUsable<Constants>(),
                "tamberlo::LinearScale<Constants>: Constants needs static "
                "constexpr double factor and offset, both finite, the factor "
                "other than zero");
  /// `newer` * factor + offset, as the older field's type.
  template <typename Older, typename Newer>
  static Older toOlder(const Newer& newer) {
    return convertValue<Older>(static_cast<double>(newer) * kFactor + kOffset);
  }
  /// (`older` - offset) / factor, as the newer field's type.
  template <typename Newer, typename Older>
  static Newer toNewer(const Older& older) {
    return convertValue<Newer>((static_cast<double>(older) - kOffset) /
                               kFactor);
  }

 private:
  static constexpr double kFactor = detail::linearConstant<Constants, 0>();
  static constexpr double kOffset = detail::linearConstant<Constants, 1>();
};

}  // namespace tamberlo

#endif  // TAMBERLO_CONVERSIONS_H_
