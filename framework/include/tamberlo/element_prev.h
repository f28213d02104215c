/// \file
/// ElementPrev: the element that forwards to the next newer version.
#ifndef TAMBERLO_ELEMENT_PREV_H_
#define TAMBERLO_ELEMENT_PREV_H_

#include <tamberlo/el_base.h>
#include <tamberlo/element_traits.h>

#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

namespace tamberlo::detail {
/// The accessor pair of a nested bind onto a member that forwards, defined
/// with the field lists in <tamberlo/fields.h>.
template <typename Owner, typename Member, typename Component>
struct NestedAccessors;
}  // namespace tamberlo::detail

/// The offset to pass to ElementPrev::bind for `member`, an element of
/// `owner`: taken from the real objects, since the message classes are not
/// standard-layout and offsetof does not apply to them.
template <typename Owner, typename T>
std::int32_t elementOffset(const Owner& owner, const ElInterface<T>& member) {
  // Byte addresses are what the member form stores.
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
  const auto* start = reinterpret_cast<const unsigned char*>(&owner);
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
  const auto* at = reinterpret_cast<const unsigned char*>(&member);
  return static_cast<std::int32_t>(at - start);
}

/// Forwards every get and set to `owner`, the next newer version: through
/// its accessor pair when one is bound (accessor form), otherwise to the
/// element `offset` bytes into `owner` (member form).
///
/// An element that has no owner (never bound, or bound to null) and a member
/// form with a negative offset have no target; they read and write their own
/// `value` slot instead, so misuse never dereferences null.  A retired
/// element (retire()) does so on purpose.
template <typename T, typename Owner>
class ElementPrev : public ElBase<T, Owner> {
 public:
  /// The accessor form's getter: a member of Owner returning T&.
  using Getter = T& (Owner::*)();
  /// The accessor form's setter: a member of Owner taking a T by value.
  using Setter = void (Owner::*)(T);

  /// The offset that marks a retired element; -1 is never bound.
  static constexpr std::int32_t kRetired = -2;

  T value{};                 ///< own slot, used only while there is no target
  Owner* owner = nullptr;    ///< the object forwarded to; null: no target
  std::int32_t offset = -1;  ///< bytes from `owner` to the target element
  Getter getter = nullptr;   ///< accessor form's getter, else null
  Setter setter = nullptr;   ///< accessor form's setter, else null

  ElementPrev() = default;
  /// Starts the own slot with `initial`: what a retired field reads until
  /// it is written.
  explicit ElementPrev(T initial) : value(std::move(initial)) {}
  ///@{
  /// Copies keep the binding: a copy forwards to the same `owner`.
  ElementPrev(const ElementPrev&) = default;
  ElementPrev& operator=(const ElementPrev&) = default;
  ///@}
  ~ElementPrev() = default;

  /// Replaces the binding; validates nothing.  The two-argument and
  /// three-argument forms below are checked by the compiler: prefer them.
  void bind(Owner* newOwner, std::int32_t newOffset, Getter newGetter,
            Setter newSetter) {
    owner = newOwner;
    offset = newOffset;
    getter = newGetter;
    setter = newSetter;
  }

  /// Member form, checked: forwards to `member` of `newOwner`, as in
  /// `older.lat.bind(this, &Msg15_v4::lat)`.  The member must be an element
  /// whose value type is T.  A null owner leaves the element without a
  /// target.
  template <typename Member, typename Class>
  void bind(Owner* newOwner, Member Class::*member) noexcept {
    static_assert(tamberlo::isElement<Member>,
                  "bind(owner, &Owner::member): the member is not an element "
                  "(ElementCur or ElementPrev); to reach a plain member or to "
                  "convert, bind a getter and a setter instead");
    static_assert(!tamberlo::isElement<Member> ||
                      std::is_same_v<tamberlo::ElementValueT<Member>, T>,
                  "bind(owner, &Owner::member): the member is an element of "
                  "another value type; bind a converting getter and setter "
                  "instead");
    static_assert(std::is_base_of_v<Class, Owner>,
                  "bind(owner, &Owner::member): the member belongs to another "
                  "class than this element's Owner");
    if constexpr (std::is_same_v<tamberlo::ElementValueT<Member>, T> &&
                  std::is_base_of_v<Class, Owner>) {
      if (newOwner == nullptr) {
        bind(nullptr, -1, nullptr, nullptr);
      } else {
        bind(newOwner, elementOffset(*newOwner, newOwner->*member), nullptr,
             nullptr);
      }
    }
  }

  /// Member form onto a component of a value struct, checked:
  /// `older.lat.bind(this, &Msg69_v2::position, &Position::lat)` forwards to
  /// the `lat` of the Position that `position` holds.  The component must be
  /// an element whose value type is T.  While `position` stores its value,
  /// this is the member form, into that value; once it forwards (its version
  /// gained a newer one), the same line binds an accessor pair that the
  /// binding code instantiates, found through the TAMBERLO_FIELDS lists of
  /// Owner and of the value struct, which must then name both.
  template <
      typename Member, typename Class, typename Component, typename Struct,
      std::enable_if_t<std::is_member_object_pointer_v<Member Class::*>, int> =
          0>
  void bind(Owner* newOwner, Member Class::*member,
            Component Struct::*component) {
    using Whole = tamberlo::ElementValueT<Member>;
    static_assert(tamberlo::isElement<Member> && std::is_class_v<Whole>,
                  "bind(owner, &Owner::member, &Struct::component): the member "
                  "is not an element whose value is a value struct; bind a "
                  "conversion of the whole value instead");
    static_assert(!std::is_class_v<Whole> || std::is_base_of_v<Struct, Whole>,
                  "bind(owner, &Owner::member, &Struct::component): the "
                  "component belongs to another class than the member's value "
                  "type");
    static_assert(std::is_same_v<tamberlo::ElementValueT<Component>, T>,
                  "bind(owner, &Owner::member, &Struct::component): the "
                  "component is not an element of this element's value type");
    static_assert(std::is_base_of_v<Class, Owner>,
                  "bind(owner, &Owner::member, &Struct::component): the member "
                  "belongs to another class than this element's Owner");
    if constexpr (std::is_class_v<Whole> && std::is_base_of_v<Struct, Whole> &&
                  std::is_same_v<tamberlo::ElementValueT<Component>, T> &&
                  std::is_base_of_v<Class, Owner>) {
      if (newOwner == nullptr) {
        bind(nullptr, -1, nullptr, nullptr);
      } else if constexpr (std::is_same_v<tamberlo::StoredValueT<Member>,
                                          Whole>) {
        bind(newOwner,
             elementOffset(*newOwner, (newOwner->*member).value.*component),
             nullptr, nullptr);
      } else {
        using Accessors =
            tamberlo::detail::NestedAccessors<Owner, Member, Component>;
        const auto found = Accessors::find(member, component);
        bind(newOwner, -1, found.getter, found.setter);
      }
    }
  }

  /// Keeps the field in this element on purpose, for a field that the
  /// newer version dropped: reads give what was last written here (or the
  /// element's initial value), each object its own.  checkChain accepts it.
  void retire() noexcept { bind(nullptr, kRetired, nullptr, nullptr); }

  /// Accessor form, checked: `older.alt.bind(this, &Msg15_v4::getAlt,
  /// &Msg15_v4::setAlt)`.  The getter takes nothing and returns T&; the
  /// setter takes a T by value and returns nothing.
  template <typename G, typename S,
            std::enable_if_t<!std::is_member_object_pointer_v<G>, int> = 0>
  void bind(Owner* newOwner, G newGetter, S newSetter) noexcept {
    constexpr bool kGetterFits = std::is_member_function_pointer_v<G> &&
                                 std::is_convertible_v<G, Getter>;
    constexpr bool kSetterFits = std::is_member_function_pointer_v<S> &&
                                 std::is_convertible_v<S, Setter>;
    static_assert(kGetterFits,
                  "bind(owner, getter, setter): the getter must be a member "
                  "function of Owner that takes nothing and returns T&");
    static_assert(kSetterFits,
                  "bind(owner, getter, setter): the setter must be a member "
                  "function of Owner that takes a T by value and returns "
                  "void");
    if constexpr (kGetterFits && kSetterFits) {
      bind(newOwner, -1, newGetter, newSetter);
    }
  }

  /// The target's value: what the getter returns, or the target element's
  /// get(); the own slot when there is no target.
  T& get() override {
    if (owner == nullptr) return value;
    if (getter != nullptr) return (owner->*getter)();
    ElInterface<T>* t = target();
    return t != nullptr ? t->get() : value;
  }

  /// Writes through the setter, or the target element's set(); into the
  /// own slot when there is no target.
  void set(const T& v) override {
    if (owner != nullptr && setter != nullptr) {
      (owner->*setter)(v);
    } else if (ElInterface<T>* t = target()) {
      t->set(v);
    } else {
      value = v;
    }
  }

  /// Forwards like set: the target's virtual set stores exactly what its own
  /// assignment from a value would, whatever kind of element it is.  Called
  /// by name, not through this element's own virtual set.
  void operator=(T v) { ElementPrev::set(v); }

  ///@{
  /// A write of another number type: refused at compile time where it can
  /// change the value whatever the value is (a float or double into an
  /// integer element, an integer of a type the element's cannot hold all
  /// values of, but for an int, the type of literals); where only the value
  /// can tell, a value the element's type cannot hold throws
  /// std::out_of_range naming the value and the type.
  template <typename U, tamberlo::detail::IfRefusedOrChecked<T, U> = 0>
  void set(U v) {
    set(tamberlo::detail::writtenValue<ElementPrev, T>(v));
  }
  template <typename U, tamberlo::detail::IfRefusedOrChecked<T, U> = 0>
  void operator=(U v) {
    set(v);
  }
  ///@}

 private:
  // The member form binds by byte offset, so reaching the target takes byte
  // arithmetic and casts.
  // NOLINTBEGIN(cppcoreguidelines-pro-type-reinterpret-cast,cppcoreguidelines-pro-bounds-pointer-arithmetic)
  [[nodiscard]] ElInterface<T>* target() const {
    if (owner == nullptr || offset < 0) return nullptr;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(owner) + offset;
    // The bytes hold an element of value type T: its ElInterface<T> part.
    return std::launder(reinterpret_cast<ElInterface<T>*>(bytes));
  }
  // NOLINTEND(cppcoreguidelines-pro-type-reinterpret-cast,cppcoreguidelines-pro-bounds-pointer-arithmetic)
};

#endif  // TAMBERLO_ELEMENT_PREV_H_
