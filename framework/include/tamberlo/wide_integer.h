/// \file
/// Integer arithmetic that loses no bit, in 128 bits without a compiler's
/// extension: what tamberlo::Scale computes in between integer types, where
/// a double would round.
#ifndef TAMBERLO_WIDE_INTEGER_H_
#define TAMBERLO_WIDE_INTEGER_H_

#include <cstdint>
#include <limits>
#include <type_traits>

namespace tamberlo::detail {

// A number of up to 128 bits, as its sign and magnitude.  Zero may carry
// either sign.
struct WideInteger {
  bool negative;
  std::uint64_t high;
  std::uint64_t low;
};

// The magnitude of an integer of up to 64 bits, the lowest int64 included.
template <typename I>
constexpr std::uint64_t magnitudeOf(I value) {
  static_assert(std::numeric_limits<I>::digits <= 64,
                "integers of up to 64 bits");
  if constexpr (std::is_signed_v<I>) {
    if (value < 0) return 0U - static_cast<std::uint64_t>(value);
  }
  return static_cast<std::uint64_t>(value);
}

template <typename I>
constexpr bool isNegative(I value) {
  if constexpr (std::is_signed_v<I>) {
    return value < 0;
  } else {
    return false;
  }
}

// a * b, exactly, from four products of 32-bit halves.
template <typename A, typename B>
constexpr WideInteger multiply(A a, B b) {
  constexpr std::uint64_t kHalf = 0xFFFFFFFFU;
  const std::uint64_t x = magnitudeOf(a);
  const std::uint64_t y = magnitudeOf(b);
  const std::uint64_t lowLow = (x & kHalf) * (y & kHalf);
  const std::uint64_t lowHigh = (x & kHalf) * (y >> 32U);
  const std::uint64_t highLow = (x >> 32U) * (y & kHalf);
  const std::uint64_t middle =
      (lowLow >> 32U) + (lowHigh & kHalf) + (highLow & kHalf);
  return {isNegative(a) != isNegative(b),
          (x >> 32U) * (y >> 32U) + (lowHigh >> 32U) + (highLow >> 32U) +
              (middle >> 32U),
          (middle << 32U) | (lowLow & kHalf)};
}

// a + b, exactly, while the sum's magnitude stays below 2^128 (two products
// of 64-bit magnitudes, as Scale adds, stay below 2^127 + 2^126).
constexpr WideInteger add(const WideInteger& a, const WideInteger& b) {
  if (a.negative == b.negative) {
    const std::uint64_t low = a.low + b.low;
    return {a.negative, a.high + b.high + (low < a.low ? 1U : 0U), low};
  }
  const bool aGreater = a.high != b.high ? a.high > b.high : a.low >= b.low;
  const WideInteger& greater = aGreater ? a : b;
  const WideInteger& lesser = aGreater ? b : a;
  return {greater.negative,
          greater.high - lesser.high - (greater.low < lesser.low ? 1U : 0U),
          greater.low - lesser.low};
}

// A sign and a magnitude as a To, saturated at its range.
template <typename To>
constexpr To fromMagnitude(bool negative, std::uint64_t magnitude) {
  if (!negative || magnitude == 0) {
    constexpr auto kMax =
        static_cast<std::uint64_t>(std::numeric_limits<To>::max());
    return magnitude >= kMax ? std::numeric_limits<To>::max()
                             : static_cast<To>(magnitude);
  }
  if constexpr (std::is_signed_v<To>) {
    constexpr std::uint64_t kLowest =
        magnitudeOf(std::numeric_limits<To>::lowest());
    return magnitude >= kLowest
               ? std::numeric_limits<To>::lowest()
               : static_cast<To>(-static_cast<std::int64_t>(magnitude));
  } else {
    return To{0};
  }
}

// a / divisor, rounded to nearest with ties away from zero, as a To,
// saturated at its range.
template <typename To, typename D>
constexpr To divideRounded(const WideInteger& a, D divisor) {
  const std::uint64_t d = magnitudeOf(divisor);
  const bool negative = a.negative != isNegative(divisor);
  constexpr std::uint64_t kBeyond = std::numeric_limits<std::uint64_t>::max();
  // From here on the quotient needs more than 64 bits.
  if (a.high >= d) return fromMagnitude<To>(negative, kBeyond);
  std::uint64_t quotient = 0;
  std::uint64_t remainder = 0;
  if (a.high == 0) {
    quotient = a.low / d;
    remainder = a.low % d;
  } else {
    // Long division, a bit at a time; the remainder stays below d, and a
    // bit shifted out of it means the next step subtracts d.
    remainder = a.high;
    for (int bit = 63; bit >= 0; --bit) {
      const bool carry = (remainder >> 63U) != 0;
      remainder =
          (remainder << 1U) | ((a.low >> static_cast<unsigned>(bit)) & 1U);
      quotient <<= 1U;
      if (carry || remainder >= d) {
        remainder -= d;
        quotient |= 1U;
      }
    }
  }
  if (remainder >= d - remainder) {  // at least half the divisor
    if (quotient == kBeyond) return fromMagnitude<To>(negative, kBeyond);
    ++quotient;
  }
  return fromMagnitude<To>(negative, quotient);
}

}  // namespace tamberlo::detail

#endif  // TAMBERLO_WIDE_INTEGER_H_
