// What the compiler knows about elements: which types are elements, their
// value types, and which writes into them are refused.
#ifndef TAMBERLO_ELEMENT_TRAITS_H_
#define TAMBERLO_ELEMENT_TRAITS_H_

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
  using Value = void;
  using ForwardsTo = void;
};
template <typename T, typename Owner>
struct ElementParts<ElementCur<T, Owner>> {
  using Value = T;
  using ForwardsTo = void;
};
template <typename T, typename Owner>
struct ElementParts<ElementPrev<T, Owner>> {
  using Value = T;
  using ForwardsTo = Owner;
};

/// The value type of element `M`; void for anything that is not an element.
template <typename M>
using ElementValueT = typename ElementParts<M>::Value;

/// True for every ElementCur and ElementPrev, whatever its Owner tag.
template <typename M>
inline constexpr bool isElement = !std::is_void_v<ElementValueT<M>>;

namespace detail {

// Selects the overloads that refuse a floating-point value written into an
// integer element: the implicit conversion truncates, and is undefined
// behaviour when the value is out of the integer's range.
template <typename T, typename U>
using IfFloatIntoInteger =
    std::enable_if_t<std::is_integral_v<T> && std::is_floating_point_v<U>, int>;

template <typename Element, typename U>
constexpr bool kAlwaysFalse = false;

// Instantiated only by a refused write, so the error names the element's
// type and the value's type.
template <typename Element, typename U>
constexpr void refuseFloatIntoInteger() {
  static_assert(kAlwaysFalse<Element, U>,
                "a floating-point value written into an integer element "
                "truncates (undefined behaviour out of range): convert it to "
                "the element's integer type explicitly first");
}

}  // namespace detail
}  // namespace tamberlo

#endif  // TAMBERLO_ELEMENT_TRAITS_H_
