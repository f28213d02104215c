// A field's value in a record: how a float, a non-finite value and a
// string are written, and how a value that a parser hands over becomes the
// value of a field, or the reason it cannot.
#ifndef TAMBERLO_RECORD_VALUES_H_
#define TAMBERLO_RECORD_VALUES_H_

#include <tamberlo/record_types.h>
#include <tamberlo/utf8.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#if !defined(__cpp_lib_to_chars)
#error \
    "tamberlo/records.h needs std::to_chars and std::from_chars for float and double, as libstdc++ has them from GCC 11 on"
#endif

namespace tamberlo::detail {

/// The double a record holds for the finite float `f`: the double nearest
/// f's shortest decimal, so that the record's text shows that decimal
/// rather than f widened (0.1f as 0.1, not 0.10000000149011612).  Where that
/// double would round to another float, f widened, so that every float
/// reads back as itself.
inline double recordNumber(float f) {
  std::array<char, 32> text{};
  const char* end =
      std::to_chars(text.data(), text.data() + text.size(), f).ptr;
  double nearest = 0;
  std::from_chars(text.data(), end, nearest);
  return static_cast<float>(nearest) == f ? nearest : static_cast<double>(f);
}
inline double recordNumber(double d) { return d; }

/// How a record spells a non-finite value, which JSON numbers lack.
template <typename Real>
const char* nonFiniteName(Real value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  return std::signbit(value) ? "-inf" : "inf";
}

/// One value of a record, as a parser or a document hands it over.
struct RecordValue {
  enum class Type : std::uint8_t {
    null,
    boolean,
    integer,
    unsignedInteger,
    number,
    text,
    bytes,
    array,
    object
  };

  explicit RecordValue(Type t = Type::null) : type(t) {}

  Type type;
  bool boolean = false;
  std::int64_t integer = 0;
  /// JSON text's -0: the integer 0, whose sign a float or double keeps.
  bool negativeZero = false;
  std::uint64_t unsignedInteger = 0;
  double number = 0;
  /// The text of a number beyond what 64-bit integers hold (an integer,
  /// `number` being its double) or beyond double's range (`number` being
  /// an infinity), as JSON text or a CBOR integer below -2^63 states it.
  std::string_view numberText;
  std::string* text = nullptr;
};

/// Whether a number's text is an integer's: digits after an optional sign.
inline bool isIntegerText(std::string_view text) {
  return !text.empty() &&
         text.find_first_not_of("-0123456789") == std::string_view::npos;
}

/// `text` in JSON quotes, or its length where it is long or not UTF-8:
/// messages quote what a record holds, which may be anything.
inline std::string inQuotes(std::string_view text) {
  if (text.size() > 40 || !isUtf8(text)) {
    return "a string of " + std::to_string(text.size()) + " bytes";
  }
  return nlohmann::ordered_json(text).dump();
}

inline std::string describe(double number) {
  if (!std::isfinite(number)) return nonFiniteName(number);
  return nlohmann::ordered_json(number).dump();
}

/// A value as a message names it.
inline std::string describe(const RecordValue& value) {
  switch (value.type) {
    case RecordValue::Type::null:
      return "null";
    case RecordValue::Type::boolean:
      return value.boolean ? "true" : "false";
    case RecordValue::Type::integer:
      return std::to_string(value.integer);
    case RecordValue::Type::unsignedInteger:
      return std::to_string(value.unsignedInteger);
    case RecordValue::Type::number:
      if (!value.numberText.empty()) return std::string(value.numberText);
      return describe(value.number);
    case RecordValue::Type::text:
      return inQuotes(*value.text);
    case RecordValue::Type::bytes:
      return "a byte string";
    case RecordValue::Type::array:
      return "an array";
    case RecordValue::Type::object:
      break;
  }
  return "an object";
}

inline std::string expected(std::string_view what, const RecordValue& value) {
  std::string text = "expected ";
  text += what;
  text += ", got ";
  return text += describe(value);
}

template <typename I>
bool inRange(std::int64_t value) {
  using Limits = std::numeric_limits<I>;
  if constexpr (!std::is_signed_v<I>) {
    return value >= 0 &&
           static_cast<std::uint64_t>(value) <= std::uint64_t{Limits::max()};
  } else if constexpr (sizeof(I) < sizeof(std::int64_t)) {
    return value >= Limits::min() && value <= Limits::max();
  } else {
    return true;
  }
}

template <typename I>
bool inRange(std::uint64_t value) {
  if constexpr (std::is_signed_v<I> || sizeof(I) < sizeof(std::uint64_t)) {
    return value <= static_cast<std::uint64_t>(std::numeric_limits<I>::max());
  } else {
    return true;
  }
}

/// An integer within I's range.  A number in a form other than an
/// integer's (45.0, 1e2) is refused, whether or not it is whole: a double
/// above 2^53 may stand for another integer than its text, and a whole
/// double for a decimal with a fraction.
template <typename I>
bool readInteger(const RecordValue& value, I& out, std::string& why) {
  using Limits = std::numeric_limits<I>;
  bool fits = false;
  switch (value.type) {
    case RecordValue::Type::integer:
      fits = inRange<I>(value.integer);
      if (fits) out = static_cast<I>(value.integer);
      break;
    case RecordValue::Type::unsignedInteger:
      fits = inRange<I>(value.unsignedInteger);
      if (fits) out = static_cast<I>(value.unsignedInteger);
      break;
    case RecordValue::Type::number:
      if (!isIntegerText(value.numberText)) {
        why = expected("an integer", value);
        return false;
      }
      break;  // beyond 64 bits, so beyond I's range
    default:
      why = expected("an integer", value);
      return false;
  }
  if (!fits) {
    // Promoted, so that 8-bit limits print as numbers.
    why = describe(value) + " is out of range, " +
          std::to_string(+Limits::min()) + " to " +
          std::to_string(+Limits::max());
  }
  return fits;
}

template <typename Real>
bool readNonFinite(const std::string& name, Real& out, std::string& why) {
  const Real inf = std::numeric_limits<Real>::infinity();
  const Real nan = std::numeric_limits<Real>::quiet_NaN();
  if (name == "nan" || name == "-nan") {
    out = std::copysign(nan, name == "nan" ? Real{1} : Real{-1});
  } else if (name == "inf" || name == "-inf") {
    out = name == "inf" ? inf : -inf;
  } else {
    why = inQuotes(name) +
          " is not a number; non-finite values are \"nan\", \"-nan\", "
          "\"inf\" and \"-inf\"";
    return false;
  }
  return true;
}

// The smallest magnitude that rounds to infinity as a float: halfway from
// FLT_MAX to 2^128, where a tie rounds to the even one, 2^128.
constexpr double kFloatRangeEnd = 0x1.ffffffp127;

/// A float or double from a number, an integer or a non-finite value's
/// name; numbers beyond double's range are refused, and for a float those
/// that would round to infinity.
template <typename Real>
bool readReal(const RecordValue& value, Real& out, std::string& why) {
  constexpr bool kFloat = std::is_same_v<Real, float>;
  switch (value.type) {
    case RecordValue::Type::integer:
      out = value.negativeZero ? -Real{0} : static_cast<Real>(value.integer);
      return true;
    case RecordValue::Type::unsignedInteger:
      out = static_cast<Real>(value.unsignedInteger);
      return true;
    case RecordValue::Type::number:
      if ((!value.numberText.empty() && std::isinf(value.number)) ||
          (kFloat && std::isfinite(value.number) &&
           std::fabs(value.number) >= kFloatRangeEnd)) {
        why = describe(value) + " is beyond the range of " +
              (kFloat ? "float" : "double");
        return false;
      }
      out = static_cast<Real>(value.number);
      return true;
    case RecordValue::Type::text:
      return readNonFinite(*value.text, out, why);
    default:
      why = expected("a number", value);
      return false;
  }
}

/// The value of a field of type T (not a value struct) from `value`; on a
/// fault, false and what is wrong in `why`.  A string is moved out.
template <typename T>
bool readValue(RecordValue& value, T& out, std::string& why) {
  if constexpr (std::is_same_v<T, bool>) {
    if (value.type != RecordValue::Type::boolean) {
      why = expected("true or false", value);
      return false;
    }
    out = value.boolean;
    return true;
  } else if constexpr (std::is_enum_v<T>) {
    typename IntegerOf<T>::type number{};
    if (!readInteger(value, number, why)) return false;
    out = static_cast<T>(number);
    return true;
  } else if constexpr (std::is_integral_v<T>) {
    return readInteger(value, out, why);
  } else if constexpr (std::is_floating_point_v<T>) {
    return readReal(value, out, why);
  } else {
    if (value.type != RecordValue::Type::text) {
      why = expected("a string", value);
      return false;
    }
    if (!isUtf8(*value.text)) {
      why = "a string that is not UTF-8";
      return false;
    }
    out = std::move(*value.text);
    return true;
  }
}

}  // namespace tamberlo::detail

#endif  // TAMBERLO_RECORD_VALUES_H_
