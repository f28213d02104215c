/// \file
/// toString: a message or value struct as a client of its class sees it.
#ifndef TAMBERLO_TO_STRING_H_
#define TAMBERLO_TO_STRING_H_

#include <tamberlo/fields.h>
#include <tamberlo/utf8.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace tamberlo {

/// Teaches toString a field value type of one's own: specialise it in
/// namespace tamberlo with
///
///     static void append(std::string& out, const T& value);
///
/// which appends the value's text to `out`.  A specialisation also replaces
/// the built-in form of a type.  Value structs with TAMBERLO_FIELDS need
/// none.
template <typename T, typename Enable = void>
struct TextForm {};

namespace detail {

template <typename T, typename = void>
constexpr bool hasTextForm = false;
template <typename T>
constexpr bool hasTextForm<
    T, std::void_t<decltype(TextForm<T>::append(
           std::declval<std::string&>(), std::declval<const T&>()))>> = true;

// std::to_chars takes the standard integer types and char, not the other
// character types.
template <typename T>
constexpr bool isDecimalInteger =
    std::is_integral_v<T> && !std::is_same_v<T, bool> &&
    !std::is_same_v<T, wchar_t> && !std::is_same_v<T, char16_t> &&
    !std::is_same_v<T, char32_t>;

template <typename T>
void appendNumber(std::string& out, T value) {
  if constexpr (std::is_floating_point_v<T>) {
    // libc++ writes a negative quiet NaN as "-nan(ind)"; spell NaNs alike
    // with every standard library.
    if (std::isnan(value)) {
      out += std::signbit(value) ? "-nan" : "nan";
      return;
    }
  }
  // Shortest text that reads back to the same value; big enough for any
  // integer and for any double in that form.
  std::array<char, 32> text{};
  const auto end = std::to_chars(text.data(), text.data() + text.size(), value);
  out.append(text.data(), end.ptr);
}

// In double quotes, with JSON's escapes.
inline void appendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          constexpr std::string_view kHex = "0123456789abcdef";
          const auto byte = static_cast<unsigned char>(c);
          out += "\\u00";
          out += kHex[byte >> 4U];
          out += kHex[byte & 0xFU];
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

// Bytes that are not UTF-8 have no text that reads back as them; records
// refuse them too.
[[noreturn]] inline void refuseNonUtf8(std::string_view className,
                                       std::string_view field) {
  std::string what = "tamberlo::toString: ";
  what += className;
  what += "::";
  what += field;
  throw std::invalid_argument(what + ": a string that is not UTF-8");
}

// Instantiated only for a type without a text form, so that the error
// names the type.
template <typename T>
constexpr void noTextForm() {
  static_assert(hasTextForm<T>,
                "tamberlo::toString: this field's value type T has no text "
                "form; declare TAMBERLO_FIELDS for it, or specialise "
                "tamberlo::TextForm<T> with static void append(std::string& "
                "out, const T& value)");
}

template <typename Object>
void appendObject(std::string& out, Object& object);

// `Value` is const where the object read is: a nested value struct is
// then read as a const object too.  A refusal names `className` and
// `field`.
template <typename Value>
void appendValue(std::string& out, Value& value, std::string_view className,
                 std::string_view field) {
  using T = std::remove_const_t<Value>;
  if constexpr (hasTextForm<T>) {
    TextForm<T>::append(out, value);
  } else if constexpr (std::is_same_v<T, bool>) {
    out += value ? "true" : "false";
  } else if constexpr (std::is_enum_v<T>) {
    appendNumber(out, static_cast<std::underlying_type_t<T>>(value));
  } else if constexpr (isDecimalInteger<T> || std::is_floating_point_v<T>) {
    appendNumber(out, value);
  } else if constexpr (std::is_same_v<T, std::string>) {
    if (!isUtf8(value)) refuseNonUtf8(className, field);
    appendQuoted(out, value);
  } else if constexpr (hasFields<T>) {
    appendObject(out, value);
  } else {
    noTextForm<T>();
  }
}

// What a client of the element reads: get() for a modifiable element,
// which may run a converting accessor; the stored value of a const one.
template <typename Element>
decltype(auto) readForText(Element& element) {
  if constexpr (std::is_const_v<Element>) {
    static_assert(
        std::is_void_v<
            typename ElementParts<std::remove_const_t<Element>>::ForwardsTo>,
        "tamberlo::toString of a const object reads stored elements only: "
        "pass a modifiable object, since a forwarding element's read may "
        "write a cache of the version it forwards to");
    return (element.value);
  } else {
    return element.get();
  }
}

template <typename Object>
void appendObject(std::string& out, Object& object) {
  constexpr std::string_view kClass = fieldsOf<Object>().className;
  out += kClass;
  out += '{';
  bool first = true;
  forEachField(object, [&](std::string_view field, auto& element) {
    out += first ? "" : ", ";
    first = false;
    out += field;
    out += '=';
    appendValue(out, readForText(element), kClass, field);
  });
  out += '}';
}

}  // namespace detail

/// `Msg15_v2{alt=32808, lat=45, lng=0}`: each listed field read through its
/// get(), as a client of that class reads it (converting reads run and
/// write their caches); value structs nested in the same form.  `bool` as
/// true or false; integers in decimal, enumerations as their underlying
/// integer; floating point in the shortest form that reads back to the same
/// value (std::to_chars), NaN as nan or -nan; std::string in double quotes
/// with JSON's escapes; other types through TextForm.  A const object may
/// hold stored elements only.  A std::string that is not UTF-8 throws
/// std::invalid_argument naming the class and field, as records refuse it:
/// no text reads back as those bytes.
template <typename Object>
std::string toString(Object& object) {
  std::string out;
  detail::appendObject(out, object);
  return out;
}

}  // namespace tamberlo

#endif  // TAMBERLO_TO_STRING_H_
