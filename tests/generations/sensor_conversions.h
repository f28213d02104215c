// The conversions of the sensor family's version 2, one of each kind: its
// own (Fahrenheit, from the examples), one whose way back merges into the
// current value, and one over the whole newer version.
#ifndef TAMBERLO_TESTS_SENSOR_CONVERSIONS_H_
#define TAMBERLO_TESTS_SENSOR_CONVERSIONS_H_

#include <cstdint>

#include "fahrenheit.h"

// Whole hours of a count of minutes; writing keeps the minutes past the
// hour.
struct Hours {
  static std::int32_t toOlder(std::int32_t minutes) { return minutes / 60; }
  static std::int32_t toNewer(std::int32_t hours, std::int32_t& current) {
    return hours * 60 + current % 60;
  }
};

// Three 8-bit channels of the newer version packed into 0xRRGGBB.  Newer is
// a template argument: the same class serves whichever version stores the
// channels.
struct PackedRgb {
  template <typename Newer>
  static std::uint32_t toOlder(Newer& newer) {
    return static_cast<std::uint32_t>(newer.red.get()) << 16U |
           static_cast<std::uint32_t>(newer.green.get()) << 8U |
           newer.blue.get();
  }
  template <typename Newer>
  static void toNewer(const std::uint32_t& rgb, Newer& newer) {
    newer.red = static_cast<std::uint8_t>(rgb >> 16U);
    newer.green = static_cast<std::uint8_t>(rgb >> 8U);
    newer.blue = static_cast<std::uint8_t>(rgb);
  }
};

#endif  // TAMBERLO_TESTS_SENSOR_CONVERSIONS_H_
