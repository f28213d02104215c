// Degrees Celsius shown as whole degrees Fahrenheit: family 30's
// conversion, written out as every conversion of one's own is written.
// Being linear, it is also tamberlo::Scale<9, 5, 32>.
#ifndef TAMBERLO_EXAMPLES_FAHRENHEIT_H_
#define TAMBERLO_EXAMPLES_FAHRENHEIT_H_

#include <tamberlo/conversions.h>

#include <cstdint>

// convertValue rounds to the nearest whole degree, saturates and reads NaN
// as 0: a plain cast would be undefined for those.
struct Fahrenheit {
  static std::int32_t toOlder(float celsius) {
    return tamberlo::convertValue<std::int32_t>(celsius * 9.0 / 5.0 + 32.0);
  }
  static float toNewer(std::int32_t fahrenheit) {
    return static_cast<float>((fahrenheit - 32.0) * 5.0 / 9.0);
  }
};

#endif  // TAMBERLO_EXAMPLES_FAHRENHEIT_H_
