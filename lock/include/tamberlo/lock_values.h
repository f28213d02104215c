/// \file
/// What a version shows, as a lock keeps it: each listed field read through
/// the version, as its clients read it, a value struct's fields one by one,
/// each in its text form.  A change to a conversion, a scale, an offset or
/// a default changes what some version shows.
#ifndef TAMBERLO_LOCK_VALUES_H_
#define TAMBERLO_LOCK_VALUES_H_

#include <tamberlo/fields.h>
#include <tamberlo/lock_layout.h>
#include <tamberlo/to_string.h>

#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tamberlo::detail {

// Whether a lock keeps the values of type T: those with a built-in text
// form, and value structs, whose fields are taken one by one.
template <typename T>
constexpr bool kLockShows =
    std::is_same_v<T, bool> || std::is_enum_v<T> || isDecimalInteger<T> ||
    std::is_floating_point_v<T> || std::is_same_v<T, std::string> ||
    hasFields<T>;

// A value's text: as toString writes it, but a string's bytes as they are,
// UTF-8 or not, since the lock only compares them.
template <typename T>
std::string lockText(const T& value) {
  std::string text;
  if constexpr (std::is_same_v<T, bool>) {
    text = value ? "true" : "false";
  } else if constexpr (std::is_enum_v<T>) {
    appendNumber(text, static_cast<std::underlying_type_t<T>>(value));
  } else if constexpr (std::is_same_v<T, std::string>) {
    appendQuoted(text, value);
  } else {
    appendNumber(text, value);
  }
  return text;
}

// Adds what `reader`, the version `object` is or holds, shows of each of
// `object`'s listed fields whose values a lock keeps, each named by its
// path after `path`.
template <typename Object>
void addShown(std::string_view reader, Object& object, const std::string& path,
              std::vector<LockedValue>& values) {
  forEachField(object, [&](std::string_view name, auto& element) {
    using Value = ElementValueT<std::remove_reference_t<decltype(element)>>;
    if constexpr (kLockShows<Value>) {
      const std::string field = path + std::string(name);
      if constexpr (hasFields<Value>) {
        addShown(reader, element.get(), field + ".", values);
      } else {
        values.push_back({std::string(reader), field, lockText(element.get())});
      }
    }
  });
}

// What `version` shows of its fields.
template <typename Version>
std::vector<LockedValue> shownBy(Version& version) {
  std::vector<LockedValue> values;
  addShown(fieldsOf<Version>().className, version, "", values);
  return values;
}

}  // namespace tamberlo::detail

#endif  // TAMBERLO_LOCK_VALUES_H_
