// toString: a message or value struct as a client of its class sees it.
#ifndef TAMBERLO_TO_STRING_H_
#define TAMBERLO_TO_STRING_H_

#include <tamberlo/fields.h>

#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <type_traits>

namespace tamberlo {
namespace detail {

template <typename Object>
void appendObject(std::string& out, Object& object);

template <typename T>
void appendValue(std::string& out, T& value) {
  if constexpr (std::is_floating_point_v<T>) {
    // libc++ writes a negative quiet NaN as "-nan(ind)"; spell NaNs alike
    // with every standard library.
    if (std::isnan(value)) {
      out += std::signbit(value) ? "-nan" : "nan";
      return;
    }
  }
  if constexpr (std::is_arithmetic_v<T> && !std::is_same_v<T, bool>) {
    // Shortest text that reads back to the same value; big enough for any
    // double in that form.
    std::array<char, 32> text{};
    const auto end =
        std::to_chars(text.data(), text.data() + text.size(), value);
    out.append(text.data(), end.ptr);
  } else {
    appendObject(out, value);
  }
}

template <typename Object>
void appendObject(std::string& out, Object& object) {
  out += fieldsOf<Object>().className;
  out += '{';
  bool first = true;
  forEachField(object, [&](std::string_view name, auto& element) {
    out += first ? "" : ", ";
    first = false;
    out += name;
    out += '=';
    appendValue(out, element.get());
  });
  out += '}';
}

}  // namespace detail

/// `Msg15_v2{alt=32808, lat=45, lng=0}`: each listed field read through its
/// get(), as a client of that class reads it (converting reads run and
/// write their caches); value structs nested in the same form, numbers in
/// the shortest form that reads back to the same value (std::to_chars).
template <typename Object>
std::string toString(Object& object) {
  std::string out;
  detail::appendObject(out, object);
  return out;
}

}  // namespace tamberlo

#endif  // TAMBERLO_TO_STRING_H_
