// Degrees Celsius and whole degrees Fahrenheit, the conversion of family 30
// in the examples.
#ifndef TAMBERLO_EXAMPLES_FAHRENHEIT_H_
#define TAMBERLO_EXAMPLES_FAHRENHEIT_H_

#include <cmath>
#include <cstdint>
#include <limits>

/// Rounded to the nearest whole degree.  Converting NaN or an out-of-range
/// double to an integer is undefined, so those read as 0 or saturate.
inline std::int32_t wholeFahrenheit(float celsius) {
  const double f = std::round(celsius * 9.0 / 5.0 + 32.0);
  if (std::isnan(f)) return 0;
  if (f >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (f <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(f);
}

inline float celsiusFrom(std::int32_t fahrenheit) {
  return static_cast<float>((fahrenheit - 32.0) * 5.0 / 9.0);
}

#endif  // TAMBERLO_EXAMPLES_FAHRENHEIT_H_
