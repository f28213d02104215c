// The message of the std::out_of_range that a write throws when the
// element's type cannot hold the value, written here so that clients'
// headers need neither <stdexcept> nor <string>.
#include <tamberlo/cannot_hold.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

std::string nameOf(const tamberlo::detail::ArithmeticType& type) {
  if (type.floating) {
    if (type.digits == std::numeric_limits<float>::digits) return "float";
    if (type.digits == std::numeric_limits<double>::digits) return "double";
    return "long double";
  }
  if (type.digits == 1 && !type.isSigned) return "bool";
  const int bits = type.digits + (type.isSigned ? 1 : 0);
  return (type.isSigned ? "std::int" : "std::uint") + std::to_string(bits) +
         "_t";
}

// In the shortest form that reads back as the same value of its own type.
std::string textOf(const tamberlo::detail::ArithmeticValue& value) {
  std::array<char, 64> text{};
  if (!value.type.floating) {
    return (value.negative ? "-" : "") + std::to_string(value.magnitude);
  }
  if (value.type.digits == std::numeric_limits<double>::digits) {
    const auto end = std::to_chars(text.data(), text.data() + text.size(),
                                   static_cast<double>(value.floating));
    return {text.data(), end.ptr};
  }
  // A long double: enough digits to read back, as every C library prints.
  std::snprintf(text.data(), text.size(), "%.*Lg",
                std::numeric_limits<long double>::max_digits10, value.floating);
  return text.data();
}

}  // namespace

void tamberlo::detail::throwCannotHold(const ArithmeticValue& value,
                                       const ArithmeticType& target) {
  const char* why = !target.floating      ? "beyond its range"
                    : value.type.floating ? "beyond its finite range"
                                          : "not exactly one of its values";
  throw std::out_of_range("tamberlo: an element of " + nameOf(target) +
                          " cannot hold the " + nameOf(value.type) + " " +
                          textOf(value) + ": " + why);
}
