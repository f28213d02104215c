// Which types a record holds, checked at compile time, and what a reader
// needs to know of a class's fields before it reads a record of it.
#ifndef TAMBERLO_RECORD_TYPES_H_
#define TAMBERLO_RECORD_TYPES_H_

#include <tamberlo/construction.h>
#include <tamberlo/element_traits.h>
#include <tamberlo/fields.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <tuple>
#include <type_traits>

namespace tamberlo::detail {

template <typename T>
constexpr bool kIsCharacter =
    std::is_same_v<T, char> || std::is_same_v<T, wchar_t> ||
    std::is_same_v<T, char16_t> || std::is_same_v<T, char32_t>;
#if defined(__cpp_char8_t)
template <>
constexpr bool kIsCharacter<char8_t> = true;
#endif

template <typename T>
constexpr bool kIsRecordInteger =
    std::is_integral_v<T> && !std::is_same_v<T, bool> && !kIsCharacter<T>;

// An enumeration without a fixed underlying type holds only the values of
// its enumerators' bit range, which a reader cannot know; only one with a
// fixed type may be list-initialised from an integer.
template <typename E, typename = void>
constexpr bool kHasFixedUnderlyingType = false;
template <typename E>
constexpr bool kHasFixedUnderlyingType<
    E, std::void_t<decltype(E{std::underlying_type_t<E>{}})>> = true;

// The integer a record writes for a field of integer or enumeration type T.
template <typename T, bool = std::is_enum_v<T>>
struct IntegerOf {
  using type = T;
};
template <typename T>
struct IntegerOf<T, true> {
  using type = std::underlying_type_t<T>;
};

// Instantiated only for a refused type, so the error names it.
template <typename FieldType>
constexpr void refuseRecordField() {
  static_assert(kAlwaysFalse<FieldType, FieldType>,
                "a record holds fields of type bool, an integer type (not a "
                "character type), an enumeration, float, double, std::string "
                "or a value struct with TAMBERLO_FIELDS: give this field one "
                "of them");
}
template <typename Enumeration>
constexpr void refuseEnumerationWithoutFixedType() {
  static_assert(kAlwaysFalse<Enumeration, Enumeration>,
                "a record holds an enumeration only with a fixed underlying "
                "type, since it cannot know which other values are valid: "
                "declare it as enum class E or enum E : int");
}

template <typename List>
struct FieldTypes;

// Every value type a record of T holds, checked at compile time.
template <typename T>
constexpr void checkRecordField() {
  if constexpr (std::is_enum_v<T>) {
    if constexpr (!kHasFixedUnderlyingType<T>) {
      refuseEnumerationWithoutFixedType<T>();
    }
  } else if constexpr (hasFields<T>) {
    FieldTypes<decltype(fieldsOf<T>())>::check();
  } else if constexpr (!std::is_same_v<T, bool> && !kIsRecordInteger<T> &&
                       !std::is_same_v<T, float> &&
                       !std::is_same_v<T, double> &&
                       !std::is_same_v<T, std::string>) {
    refuseRecordField<T>();
  }
}

// Entries of the table a reader checks a record against (FieldNode): one
// per field, value structs' fields included.
template <typename T>
constexpr std::size_t nodesOf() {
  if constexpr (hasFields<T>) {
    return 1 + FieldTypes<decltype(fieldsOf<T>())>::nodes();
  } else {
    return 1;
  }
}

// How many objects nest below a field of type T.
template <typename T>
constexpr std::size_t depthOf() {
  if constexpr (hasFields<T>) {
    return 1 + FieldTypes<decltype(fieldsOf<T>())>::depth();
  } else {
    return 0;
  }
}

template <typename Class, typename... Elements>
struct FieldTypes<FieldList<Class, Elements...>> {
  /// What a reader stages for the class before it writes: one value per
  /// field, in the order listed.
  using Values = std::tuple<ElementValueT<Elements>...>;

  static constexpr void check() {
    (checkRecordField<ElementValueT<Elements>>(), ...);
  }
  static constexpr std::size_t nodes() {
    return (std::size_t{0} + ... + nodesOf<ElementValueT<Elements>>());
  }
  static constexpr std::size_t depth() {
    return std::max({std::size_t{0}, depthOf<ElementValueT<Elements>>()...});
  }
};

template <typename Object>
using FieldTypesOf = FieldTypes<decltype(fieldsOf<Object>())>;

/// A class whose records can be written and read: a version class whose
/// fields are all of types a record holds.
template <typename Version>
constexpr void checkRecordClass() {
  checkVersion<Version>();
  FieldTypesOf<Version>::check();
}

}  // namespace tamberlo::detail

#endif  // TAMBERLO_RECORD_TYPES_H_
