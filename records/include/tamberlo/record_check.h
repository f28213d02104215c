// What a record's value becomes on its way to the element that stores it.
// A reader follows each field through the elements it forwards to, runs
// every Converted's conversion on the value, and refuses the record where
// one would not give the value back, before it writes anything.
#ifndef TAMBERLO_RECORD_CHECK_H_
#define TAMBERLO_RECORD_CHECK_H_

#include <tamberlo/converted.h>
#include <tamberlo/element_prev.h>
#include <tamberlo/element_traits.h>
#include <tamberlo/fields.h>
#include <tamberlo/record_values.h>
#include <tamberlo/to_string.h>

#include <cmath>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>

namespace tamberlo::detail {

/// Whether `a` and `b` hold the same value: as == compares them (0 and -0
/// alike), a NaN as any NaN, a value struct field by field.
template <typename T>
bool sameValue(T a, T b) {
  if constexpr (hasFields<T>) {
    return std::apply(
        [&](const auto&... field) {
          return (sameValue((a.*field.member).get(), (b.*field.member).get()) &&
                  ...);
        },
        fieldsOf<T>().fields);
  } else if constexpr (std::is_floating_point_v<T>) {
    return a == b || (std::isnan(a) && std::isnan(b));
  } else {
    return a == b;
  }
}

/// A value as a message names it: as its record writes it, a value struct
/// in its text form.
template <typename T>
std::string describeValue(const T& value) {
  if constexpr (std::is_same_v<T, std::string>) {
    return inQuotes(value);
  } else if constexpr (std::is_floating_point_v<T>) {
    return describe(recordNumber(value));
  } else {
    std::string text;
    T copy = value;  // a value struct's fields are read through get()
    appendValue(text, copy, {}, {});
    return text;
  }
}

// A class's name for messages, where it lists its fields.
template <typename Class>
constexpr std::string_view nameOf() {
  if constexpr (hasFields<Class>) {
    return fieldsOf<Class>().className;
  } else {
    return "the newer version";
  }
}

// Whether Class is one of the Listed classes (a std::tuple).
template <typename Class, typename Listed>
constexpr bool kListed = false;
template <typename Class, typename... Listed>
constexpr bool kListed<Class, std::tuple<Listed...>> =
    (std::is_same_v<Class, Listed> || ...);

// Each returns why `value`, written through the element, would not be
// stored as given; nothing where it would.  An element is followed into a
// newer version only where that version is one of the reader's Listed
// classes: the reader's code depends on the layouts of the classes it
// names and of no other, so that a newer version may gain a version of its
// own, and change kind, under a reader built before.  The declarations
// first, since each may follow another.
template <typename Listed, typename Element, typename T>
std::string changeOf(Element& element, const T& value);
template <typename Listed, typename T, typename Owner>
std::string changeOf(ElementPrev<T, Owner>& element, const T& value);
template <typename Listed, typename T, auto Source, typename Conversion>
std::string changeOf(Converted<T, Source, Conversion>& element, const T& value);

// A stored element stores the value itself.
template <typename Listed, typename Element, typename T>
std::string changeOf(Element& /*element*/, const T& /*value*/) {
  return {};
}

// Member form: on to the listed field of the newer version it forwards
// to.  Its own slot stores the value; an accessor pair, or a target not
// listed, is code of its own family, which a reader takes as it is.
template <typename Listed, typename T, typename Owner>
std::string changeOf(ElementPrev<T, Owner>& element, const T& value) {
  std::string why;
  if constexpr (hasFields<Owner> && kListed<Owner, Listed>) {
    if (element.owner == nullptr || element.setter != nullptr ||
        element.offset < 0) {
      return why;
    }
    Owner& newer = *element.owner;
    forEachField(newer, [&](std::string_view /*name*/, auto& target) {
      using Target = std::remove_reference_t<decltype(target)>;
      if constexpr (std::is_same_v<ElementValueT<Target>, T>) {
        if (elementOffset(newer, target) == element.offset) {
          why = changeOf<Listed>(target, value);
        }
      }
    });
  }
  return why;
}

// The conversion on the way, and back: it must give the value back.  A
// conversion of the whole newer version writes that version itself, so
// that it can be run only by writing, and one that merges into the newer
// value needs that value, read from the newer version: where the reader
// does not list it, or for the whole version, a reader takes it as it is.
template <typename Listed, typename T, auto Source, typename Conversion>
std::string changeOf(Converted<T, Source, Conversion>& element,
                     const T& value) {
  using From = SourceOf<Source>;
  using V = typename From::Value;
  using Newer = typename From::NewerClass;
  constexpr bool kReachable = kListed<Newer, Listed>;
  if constexpr (From::kWhole ||
                (kMergingToNewer<Conversion, T, V> && !kReachable)) {
    return {};
  } else {
    if (element.owner() == nullptr) return {};  // its own slot
    using Values = ConversionOf<T, V, Conversion>;
    V current{};
    V newer = Values::toNewer(value, [&]() -> V& {
      if constexpr (kReachable) current = (element.owner()->*Source).get();
      return current;
    });
    V shown = newer;
    const T back = Values::toOlder(shown);
    if (!sameValue(back, value)) {
      std::string why = describeValue(value) + " would read back as " +
                        describeValue(back) + " after its conversion for ";
      return why += nameOf<Newer>();
    }
    if constexpr (kReachable) {
      return changeOf<Listed>(element.owner()->*Source, newer);
    } else {
      return {};
    }
  }
}

/// Why writing `value` through `element` would not store it as given, or
/// what a conversion on the way throws; nothing where it would store it.
/// Listed is a std::tuple of the classes the reader names.
template <typename Listed, typename Element, typename T>
std::string refusalOf(Element& element, const T& value) {
  try {
    return changeOf<Listed>(element, value);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  }
}

}  // namespace tamberlo::detail

#endif  // TAMBERLO_RECORD_CHECK_H_
