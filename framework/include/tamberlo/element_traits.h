/// \file
/// What the compiler knows about elements: which types are elements, their
/// value types, which writes into them are refused, and which checked.
#ifndef TAMBERLO_ELEMENT_TRAITS_H_
#define TAMBERLO_ELEMENT_TRAITS_H_

#include <tamberlo/cannot_hold.h>
#include <tamberlo/conversions.h>

#include <type_traits>

template <typename T, typename Owner>
class ElementCur;
template <typename T, typename Owner>
class ElementPrev;

namespace tamberlo {

/// What an element type is made of: its value type, and for a forwarding
/// element the class it forwards to (void for a stored one).  Both are void
/// for anything that is not an element.
template <typename M>
struct ElementParts {
  using Value = void;       ///< the value type
  using ForwardsTo = void;  ///< the class forwarded to
};
/// A stored element: its value type, forwarding to nothing.
template <typename T, typename Owner>
struct ElementParts<ElementCur<T, Owner>> {
  using Value = T;          ///< the value type
  using ForwardsTo = void;  ///< nothing
};
/// A forwarding element: its value type and the next newer version.
template <typename T, typename Owner>
struct ElementParts<ElementPrev<T, Owner>> {
  using Value = T;           ///< the value type
  using ForwardsTo = Owner;  ///< the next newer version
};

/// The value type of element `M`; void for anything that is not an element.
template <typename M>
using ElementValueT = typename ElementParts<M>::Value;

/// The value type of `M` if it is a stored element (ElementCur), else void.
template <typename M>
struct StoredValue {
  using type = void;  ///< void: not a stored element
};
/// A stored element's value type.
template <typename T, typename Owner>
struct StoredValue<ElementCur<T, Owner>> {
  using type = T;  ///< the value type
};
/// StoredValue<M>::type: the value type of a stored element, else void.
template <typename M>
using StoredValueT = typename StoredValue<M>::type;

/// True for every ElementCur and ElementPrev, whatever its Owner tag.
template <typename M>
inline constexpr bool isElement = !std::is_void_v<ElementValueT<M>>;

namespace detail {

// Whether writing a U into an element of integer value type T can change
// the value, whatever the value: a floating-point U truncates (undefined
// behaviour out of range), an integer U that T cannot hold wraps.  An int,
// the type of literals, is let through to the check below.
template <typename T, typename U>
constexpr bool changesValue() {
  if constexpr (std::is_integral_v<T> && std::is_floating_point_v<U>) {
    return true;
  } else if constexpr (std::is_integral_v<T> && std::is_integral_v<U> &&
                       !std::is_same_v<U, int>) {
    return !holdsEvery<T, U>();
  } else {
    return false;
  }
}

// Whether only the value can tell: a number of another type, not refused
// above, that T cannot hold every value of (an int into a narrower integer
// element, an integer of more digits than a floating-point element has,
// a floating-point value of a wider range).  Never for a U that is T.
template <typename T, typename U>
constexpr bool checksValue() {
  if constexpr (std::is_arithmetic_v<T> && std::is_arithmetic_v<U>) {
    return !changesValue<T, U>() && !holdsEvery<T, U>();
  } else {
    return false;
  }
}

// Selects the overloads that take a write of another number type.
template <typename T, typename U>
using IfRefusedOrChecked =
    std::enable_if_t<changesValue<T, U>() || checksValue<T, U>(), int>;

template <typename Element, typename U>
constexpr bool kAlwaysFalse = false;

// Instantiated only by a refused write, so the error names the element's
// type and the value's type.
template <typename Element, typename U>
constexpr void refuseWrite() {
  if constexpr (std::is_floating_point_v<U>) {
    static_assert(kAlwaysFalse<Element, U>,
                  "a floating-point value written into an integer element "
                  "truncates (undefined behaviour out of range): convert it "
                  "to the element's integer type explicitly first");
  } else {
    static_assert(kAlwaysFalse<Element, U>,
                  "an integer written into an integer element that cannot "
                  "hold all its values (a narrower type, or another "
                  "signedness) can change its value: convert it to the "
                  "element's type explicitly first");
  }
}

// `value`, written into an Element of value type T, as a T: refused at
// compile time where the types decide, else std::out_of_range where T
// cannot hold it.
template <typename Element, typename T, typename U>
T writtenValue(U value) {
  if constexpr (changesValue<T, U>()) {
    refuseWrite<Element, U>();
    return T{};
  } else {
    if (!holds<T>(value)) {
      throwCannotHold(arithmeticValue(value), arithmeticType<T>());
    }
    return static_cast<T>(value);
  }
}

}  // namespace detail
}  // namespace tamberlo

#endif  // TAMBERLO_ELEMENT_TRAITS_H_
