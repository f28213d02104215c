// TAMBERLO_FIELDS: the element members of a message or value struct, by
// name, declared once beside the class; and forEachField, which visits them.
#ifndef TAMBERLO_FIELDS_H_
#define TAMBERLO_FIELDS_H_

#include <tamberlo/element_cur.h>
#include <tamberlo/element_prev.h>
#include <tamberlo/element_traits.h>

#include <array>
#include <cstddef>
#include <string_view>
#include <tuple>
#include <type_traits>

namespace tamberlo {

/// The argument by which a TAMBERLO_FIELDS declaration is found: argument-
/// dependent lookup searches the namespace of `Class` (where the macro
/// placed it) as well as this one.
template <typename Class>
struct FieldsOf {};

/// One listed field: its name and the member it names.
template <typename Class, typename Element>
struct Field {
  std::string_view name;
  Element Class::*member;
};

/// What a TAMBERLO_FIELDS declaration states about `Class`.
template <typename Class, typename... Elements>
struct FieldList {
  std::string_view className;
  std::tuple<Field<Class, Elements>...> fields;
};

namespace detail {

// Whether `&Class::name` is a pointer to an element data member.
template <typename MemberPointer>
constexpr bool isElementMember = false;
template <typename Member, typename Holder>
constexpr bool isElementMember<Member Holder::*> = isElement<Member>;

template <typename Class, typename Element, typename Holder>
constexpr Field<Class, Element> field(std::string_view name,
                                      Element Holder::*member) {
  return {name, member};
}

template <typename Class, typename... Elements>
constexpr FieldList<Class, Elements...> fieldList(
    std::string_view className, std::tuple<Field<Class, Elements>...> fields) {
  return {className, fields};
}

template <std::size_t Count>
constexpr std::size_t timesListed(
    const std::array<std::string_view, Count>& names, std::string_view name) {
  std::size_t times = 0;
  for (std::string_view listed : names) times += listed == name ? 1 : 0;
  return times;
}

template <typename Class, typename = void>
constexpr bool hasFields = false;
template <typename Class>
constexpr bool
    hasFields<Class, std::void_t<decltype(tamberloFields(FieldsOf<Class>{}))>> =
        true;

}  // namespace detail

/// The field list declared for `Class` by TAMBERLO_FIELDS.
template <typename Class>
constexpr auto fieldsOf() {
  using Plain = std::remove_cv_t<Class>;
  static_assert(detail::hasFields<Plain>,
                "no TAMBERLO_FIELDS(...) is declared for this class: declare "
                "one after the class, in its namespace");
  return tamberloFields(FieldsOf<Plain>{});
}

/// Calls `f(name, element)` for each listed field of `object`, in the order
/// listed; `element` is the member itself.
template <typename Object, typename F>
void forEachField(Object& object, F&& f) {
  constexpr auto list = fieldsOf<Object>();
  std::apply(
      [&](const auto&... field) { (f(field.name, object.*field.member), ...); },
      list.fields);
}

}  // namespace tamberlo

// The preprocessor has no loop: TAMBERLO_DETAIL_EACH_<n> applies m to each
// of n arguments, for up to 32 fields.
// NOLINTBEGIN(cppcoreguidelines-macro-usage)
#define TAMBERLO_DETAIL_EACH_1(m, c, a) m(c, a)
#define TAMBERLO_DETAIL_EACH_2(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_1(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_3(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_2(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_4(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_3(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_5(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_4(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_6(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_5(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_7(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_6(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_8(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_7(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_9(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_8(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_10(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_9(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_11(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_10(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_12(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_11(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_13(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_12(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_14(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_13(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_15(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_14(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_16(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_15(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_17(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_16(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_18(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_17(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_19(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_18(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_20(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_19(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_21(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_20(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_22(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_21(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_23(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_22(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_24(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_23(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_25(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_24(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_26(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_25(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_27(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_26(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_28(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_27(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_29(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_28(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_30(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_29(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_31(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_30(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_32(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_31(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_NTH(_1, _2, _3, _4, _5, _6, _7, _8, _9, _10, _11, _12, \
                            _13, _14, _15, _16, _17, _18, _19, _20, _21, _22,  \
                            _23, _24, _25, _26, _27, _28, _29, _30, _31, _32,  \
                            n, ...)                                            \
  n
#define TAMBERLO_DETAIL_COUNT(...)                                             \
  TAMBERLO_DETAIL_NTH(__VA_ARGS__, 32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, \
                      21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, \
                      6, 5, 4, 3, 2, 1, )
#define TAMBERLO_DETAIL_CAT(a, b) TAMBERLO_DETAIL_CAT2(a, b)
#define TAMBERLO_DETAIL_CAT2(a, b) a##b
#define TAMBERLO_DETAIL_EACH(m, c, ...)                   \
  TAMBERLO_DETAIL_CAT(TAMBERLO_DETAIL_EACH_,              \
                      TAMBERLO_DETAIL_COUNT(__VA_ARGS__)) \
  (m, c, __VA_ARGS__)

#define TAMBERLO_DETAIL_NAME(c, f) std::string_view{#f},
#define TAMBERLO_DETAIL_CHECK(c, f)                                       \
  static_assert(::tamberlo::detail::isElementMember<decltype(&c::f)>,     \
                "TAMBERLO_FIELDS(" #c ", ...): " #f                       \
                " is not an element member (ElementCur or ElementPrev)"); \
  static_assert(::tamberlo::detail::timesListed(names, #f) == 1,          \
                "TAMBERLO_FIELDS(" #c ", ...): " #f " is listed twice");
#define TAMBERLO_DETAIL_FIELD(c, f) ::tamberlo::detail::field<c>(#f, &c::f),

/// Lists the element members of `Class` in declaration order, at namespace
/// scope after the class, in the class's namespace:
/// `TAMBERLO_FIELDS(Msg15_v2, alt, lat, lng)`.  Declares one constexpr
/// function, found by argument-dependent lookup; it adds no member, and
/// nothing to the class's layout or to any module's exported symbols.
#define TAMBERLO_FIELDS(Class, ...)                                           \
  constexpr auto tamberloFields(::tamberlo::FieldsOf<Class>) {                \
    constexpr std::array names{                                               \
        TAMBERLO_DETAIL_EACH(TAMBERLO_DETAIL_NAME, Class, __VA_ARGS__)};      \
    TAMBERLO_DETAIL_EACH(TAMBERLO_DETAIL_CHECK, Class, __VA_ARGS__)           \
    return ::tamberlo::detail::fieldList<Class>(                              \
        #Class, std::tuple{TAMBERLO_DETAIL_EACH(TAMBERLO_DETAIL_FIELD, Class, \
                                                __VA_ARGS__)});               \
  }
// NOLINTEND(cppcoreguidelines-macro-usage)

#endif  // TAMBERLO_FIELDS_H_
