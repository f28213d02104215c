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

/// True for every ElementCur and ElementPrev, whatever its Owner tag.
template <typename M>
struct IsElement : std::false_type {};
template <typename T, typename Owner>
struct IsElement<ElementCur<T, Owner>> : std::true_type {};
template <typename T, typename Owner>
struct IsElement<ElementPrev<T, Owner>> : std::true_type {};
template <typename M>
inline constexpr bool isElement = IsElement<M>::value;

/// The value type of element `M`; void for anything that is not an element.
template <typename M>
struct ElementValue {
  using type = void;
};
template <typename T, typename Owner>
struct ElementValue<ElementCur<T, Owner>> {
  using type = T;
};
template <typename T, typename Owner>
struct ElementValue<ElementPrev<T, Owner>> {
  using type = T;
};
template <typename M>
using ElementValueT = typename ElementValue<M>::type;

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
