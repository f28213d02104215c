/// \file
/// TAMBERLO_FIELDS: the element members of a message or value struct, by
/// name, declared once beside the class; and forEachField, which visits them.
#ifndef TAMBERLO_FIELDS_H_
#define TAMBERLO_FIELDS_H_

#include <tamberlo/element_cur.h>
#include <tamberlo/element_prev.h>
#include <tamberlo/element_traits.h>
#include <tamberlo/misuse.h>

#include <array>
#include <cstddef>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

class MsgBase;

namespace tamberlo {

/// The argument by which a TAMBERLO_FIELDS declaration is found: argument-
/// dependent lookup searches the namespace of `Class` (where the macro
/// placed it) as well as this one.
template <typename Class>
struct FieldsOf {};

/// One listed field: its name and the member it names.
template <typename Class, typename Element>
struct Field {
  using ElementType = Element;  ///< the member's element type
  std::string_view name;        ///< the name, as listed
  Element Class::*member;       ///< the member
};

/// What a TAMBERLO_FIELDS declaration states about `Class`.
template <typename Class, typename... Elements>
struct FieldList {
  std::string_view className;                    ///< `Class` as written
  std::tuple<Field<Class, Elements>...> fields;  ///< in the order listed
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

// Whether `name` is that of a member every version has from MsgBase, which
// a field of that name would hide.
constexpr bool isMsgBaseMemberName(std::string_view name) {
  return name == "id" || name == "version" || name == "older" ||
         name == "upstream" || name == "peer" || name == "roots";
}

template <std::size_t Count>
constexpr std::size_t timesListed(
    const std::array<std::string_view, Count>& names, std::string_view name) {
  std::size_t times = 0;
  for (std::string_view listed : names) times += listed == name ? 1 : 0;
  return times;
}

// The class that a listed field's element forwards to; void for a stored
// one.
template <typename ListedField>
using ForwardsToOf = typename ElementParts<
    typename std::decay_t<ListedField>::ElementType>::ForwardsTo;

// How many fields a TAMBERLO_FIELDS list names, from its text: the macro
// table that applies a macro to each field has room for kMaxFields.
inline constexpr std::size_t kMaxFields = 64;
constexpr std::size_t countFields(std::string_view list) {
  std::size_t count = 1;
  for (const char c : list) count += c == ',' ? 1 : 0;
  return count;
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
/// listed; `element` is the member itself (const for a const object).
template <typename Object, typename F>
void forEachField(Object& object, F&& f) {
  constexpr auto list = fieldsOf<Object>();
  std::apply(
      [&](const auto&... field) { (f(field.name, object.*field.member), ...); },
      list.fields);
}

namespace detail {

// Reads and writes one component of the value struct that a forwarding
// member of Owner reaches: the member is Owner's listed field MemberAt, the
// component its value struct's listed field ComponentAt.  Member, the
// element type, is part of the name, so a build in which the member still
// stored never shares an instance with this one.
template <typename Owner, typename Member, std::size_t MemberAt,
          std::size_t ComponentAt>
struct NestedComponent {
  using Whole = ElementValueT<Member>;
  static constexpr auto kMember =
      std::get<MemberAt>(fieldsOf<Owner>().fields).member;
  static constexpr auto kComponent =
      std::get<ComponentAt>(fieldsOf<Whole>().fields).member;
  using Value = ElementValueT<typename std::tuple_element_t<
      ComponentAt, decltype(fieldsOf<Whole>().fields)>::ElementType>;

  // What the member's get() returns: the newest version's value, or a
  // converted copy of it, whose component is then a snapshot.
  static Value& get(MsgBase& self) {
    return ((static_cast<Owner&>(self).*kMember).get().*kComponent).get();
  }
  // The whole value, with the component changed, written back through the
  // member, so that it reaches the newest version through any conversion.
  static void set(MsgBase& self, Value v) {
    auto& member = static_cast<Owner&>(self).*kMember;
    Whole whole = member.get();
    (whole.*kComponent).set(v);
    member.set(whole);
  }
};

template <typename Owner, typename Member, typename Component>
struct NestedAccessors {
  using T = ElementValueT<Component>;
  using Whole = ElementValueT<Member>;
  struct Pair {
    T& (Owner::*getter)();
    void (Owner::*setter)(T);
  };
  static_assert(hasFields<Owner> && hasFields<Whole>,
                "bind(owner, &Owner::member, &Struct::component) onto a member "
                "that forwards finds both in the TAMBERLO_FIELDS lists of "
                "Owner and of the member's value struct: declare them");

  // The pair for `member` and `component`, found among the listed fields.
  template <typename MemberPointer, typename ComponentPointer>
  static Pair find(MemberPointer member, ComponentPointer component) {
    Pair found{nullptr, nullptr};
    if constexpr (hasFields<Owner> && hasFields<Whole>) {
      constexpr std::size_t kFields =
          std::tuple_size_v<decltype(fieldsOf<Owner>().fields)>;
      findMember(static_cast<Member Owner::*>(member),
                 static_cast<Component Whole::*>(component), found,
                 std::make_index_sequence<kFields>{});
      if (found.getter == nullptr) {
        throwMisuse(fieldsOf<Owner>().className,
                    ": bind(owner, &member, &component) onto a member that "
                    "forwards: the member is not listed in its "
                    "TAMBERLO_FIELDS, or the component not in ",
                    fieldsOf<Whole>().className, "'s");
      }
    }
    return found;
  }

 private:
  template <std::size_t... At>
  static void findMember(Member Owner::*member, Component Whole::*component,
                         Pair& found, std::index_sequence<At...> /*fields*/) {
    (tryMember<At>(member, component, found), ...);
  }

  template <std::size_t At>
  static void tryMember(Member Owner::*member, Component Whole::*component,
                        Pair& found) {
    constexpr auto listed = std::get<At>(fieldsOf<Owner>().fields);
    using Listed = typename std::decay_t<decltype(listed)>::ElementType;
    if constexpr (std::is_same_v<Listed, Member>) {
      if (static_cast<Member Owner::*>(listed.member) != member) return;
      constexpr std::size_t kComponents =
          std::tuple_size_v<decltype(fieldsOf<Whole>().fields)>;
      findComponent<At>(component, found,
                        std::make_index_sequence<kComponents>{});
    }
  }

  template <std::size_t MemberAt, std::size_t... At>
  static void findComponent(Component Whole::*component, Pair& found,
                            std::index_sequence<At...> /*components*/) {
    (tryComponent<MemberAt, At>(component, found), ...);
  }

  template <std::size_t MemberAt, std::size_t At>
  static void tryComponent(Component Whole::*component, Pair& found) {
    constexpr auto listed = std::get<At>(fieldsOf<Whole>().fields);
    using Listed = typename std::decay_t<decltype(listed)>::ElementType;
    if constexpr (std::is_same_v<Listed, Component>) {
      if (static_cast<Component Whole::*>(listed.member) != component) return;
      using Access = NestedComponent<Owner, Member, MemberAt, At>;
      found = {&Owner::template forwardedGet<Access>,
               &Owner::template forwardedSet<Access>};
    }
  }
};

}  // namespace detail
}  // namespace tamberlo

// The preprocessor has no loop: TAMBERLO_DETAIL_EACH_<n> applies m to each
// of n arguments, for up to 64 fields.  Lists of 65 to 128 select
// TAMBERLO_DETAIL_EACH_TOO_MANY, which expands to nothing, so that the one
// error is the static_assert that names the limit.
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
#define TAMBERLO_DETAIL_EACH_33(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_32(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_34(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_33(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_35(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_34(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_36(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_35(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_37(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_36(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_38(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_37(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_39(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_38(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_40(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_39(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_41(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_40(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_42(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_41(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_43(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_42(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_44(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_43(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_45(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_44(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_46(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_45(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_47(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_46(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_48(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_47(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_49(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_48(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_50(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_49(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_51(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_50(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_52(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_51(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_53(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_52(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_54(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_53(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_55(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_54(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_56(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_55(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_57(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_56(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_58(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_57(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_59(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_58(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_60(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_59(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_61(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_60(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_62(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_61(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_63(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_62(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_64(m, c, a, ...) \
  m(c, a) TAMBERLO_DETAIL_EACH_63(m, c, __VA_ARGS__)
#define TAMBERLO_DETAIL_EACH_TOO_MANY(m, c, ...)
#define TAMBERLO_DETAIL_NTH(                                                   \
    _1, _2, _3, _4, _5, _6, _7, _8, _9, _10, _11, _12, _13, _14, _15, _16,     \
    _17, _18, _19, _20, _21, _22, _23, _24, _25, _26, _27, _28, _29, _30, _31, \
    _32, _33, _34, _35, _36, _37, _38, _39, _40, _41, _42, _43, _44, _45, _46, \
    _47, _48, _49, _50, _51, _52, _53, _54, _55, _56, _57, _58, _59, _60, _61, \
    _62, _63, _64, _65, _66, _67, _68, _69, _70, _71, _72, _73, _74, _75, _76, \
    _77, _78, _79, _80, _81, _82, _83, _84, _85, _86, _87, _88, _89, _90, _91, \
    _92, _93, _94, _95, _96, _97, _98, _99, _100, _101, _102, _103, _104,      \
    _105, _106, _107, _108, _109, _110, _111, _112, _113, _114, _115, _116,    \
    _117, _118, _119, _120, _121, _122, _123, _124, _125, _126, _127, _128, n, \
    ...)                                                                       \
  n
#define TAMBERLO_DETAIL_COUNT(...)                                             \
  TAMBERLO_DETAIL_NTH(                                                         \
      __VA_ARGS__, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, \
      TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY,    \
      TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY,    \
      TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY,    \
      TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY,    \
      TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY,    \
      TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY,    \
      TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY,    \
      TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY, TOO_MANY,    \
      TOO_MANY, TOO_MANY, 64, 63, 62, 61, 60, 59, 58, 57, 56, 55, 54, 53, 52,  \
      51, 50, 49, 48, 47, 46, 45, 44, 43, 42, 41, 40, 39, 38, 37, 36, 35, 34,  \
      33, 32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16,  \
      15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, )
// The list as text, after macros in it were expanded.
#define TAMBERLO_DETAIL_TEXT(...) #__VA_ARGS__
#define TAMBERLO_DETAIL_CAT(a, b) TAMBERLO_DETAIL_CAT2(a, b)
#define TAMBERLO_DETAIL_CAT2(a, b) a##b
#define TAMBERLO_DETAIL_EACH(m, c, ...)                   \
  TAMBERLO_DETAIL_CAT(TAMBERLO_DETAIL_EACH_,              \
                      TAMBERLO_DETAIL_COUNT(__VA_ARGS__)) \
  (m, c, __VA_ARGS__)

// Fully qualified throughout: the macro expands in the user's namespace.
#define TAMBERLO_DETAIL_NAME(c, f) ::std::string_view{#f},
#define TAMBERLO_DETAIL_CHECK(c, f)                                       \
  static_assert(::tamberlo::detail::isElementMember<decltype(&c::f)>,     \
                "TAMBERLO_FIELDS(" #c ", ...): " #f                       \
                " is not an element member (ElementCur or ElementPrev)"); \
  static_assert(::tamberlo::detail::timesListed(names, #f) == 1,          \
                "TAMBERLO_FIELDS(" #c ", ...): " #f " is listed twice");  \
  static_assert(!::tamberlo::detail::isMsgBaseMemberName(#f),             \
                "TAMBERLO_FIELDS(" #c ", ...): " #f                       \
                " hides the MsgBase member of that name, which every "    \
                "version has: name the field otherwise");
#define TAMBERLO_DETAIL_FIELD(c, f) ::tamberlo::detail::field<c>(#f, &c::f),

/// Lists the element members of `Class` in declaration order, at namespace
/// scope after the class, in the class's namespace:
/// `TAMBERLO_FIELDS(Msg15_v2, alt, lat, lng)`; at most 64 of them.
/// Declares one constexpr function, found by argument-dependent lookup; it
/// adds no member, and nothing to the class's layout or to any module's
/// exported symbols.
/// \hideinitializer
#define TAMBERLO_FIELDS(Class, ...)                                            \
  constexpr auto tamberloFields(::tamberlo::FieldsOf<Class>) {                 \
    static_assert(::tamberlo::detail::countFields(TAMBERLO_DETAIL_TEXT(        \
                      __VA_ARGS__)) <= ::tamberlo::detail::kMaxFields,         \
                  "TAMBERLO_FIELDS(" #Class                                    \
                  ", ...) lists more than 64 "                                 \
                  "fields, its limit: group fields into value structs");       \
    constexpr ::std::array<::std::string_view,                                 \
                           ::tamberlo::detail::countFields(                    \
                               TAMBERLO_DETAIL_TEXT(__VA_ARGS__))>             \
        names{TAMBERLO_DETAIL_EACH(TAMBERLO_DETAIL_NAME, Class, __VA_ARGS__)}; \
    TAMBERLO_DETAIL_EACH(TAMBERLO_DETAIL_CHECK, Class, __VA_ARGS__)            \
    return ::tamberlo::detail::fieldList<Class>(                               \
        #Class, ::std::tuple{TAMBERLO_DETAIL_EACH(TAMBERLO_DETAIL_FIELD,       \
                                                  Class, __VA_ARGS__)});       \
  }
// NOLINTEND(cppcoreguidelines-macro-usage)

#endif  // TAMBERLO_FIELDS_H_
