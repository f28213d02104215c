// ElementPrev: the element that forwards to the next newer version.
#ifndef TAMBERLO_ELEMENT_PREV_H_
#define TAMBERLO_ELEMENT_PREV_H_

#include <tamberlo/el_base.h>

#include <cstdint>
#include <new>

/// Forwards every get and set to `owner`, the next newer version: through
/// its accessor pair when one is bound (accessor form), otherwise to the
/// element `offset` bytes into `owner` (member form).
///
/// An element that has no owner (never bound, or bound to null) and a member
/// form with a negative offset have no target; they read and write their own
/// `value` slot instead, so misuse never dereferences null.
template <typename T, typename Owner>
class ElementPrev : public ElBase<T, Owner> {
 public:
  using Getter = T& (Owner::*)();
  using Setter = void (Owner::*)(T);

  T value{};  ///< own slot, used only while there is no target
  Owner* owner = nullptr;
  std::int32_t offset = -1;  ///< bytes from `owner` to the target element
  Getter getter = nullptr;
  Setter setter = nullptr;

  ElementPrev() = default;
  /// Copies keep the binding: a copy forwards to the same `owner`.
  ElementPrev(const ElementPrev&) = default;
  ElementPrev& operator=(const ElementPrev&) = default;
  ~ElementPrev() = default;

  /// Replaces the binding; validates nothing.
  void bind(Owner* newOwner, std::int32_t newOffset, Getter newGetter,
            Setter newSetter) {
    owner = newOwner;
    offset = newOffset;
    getter = newGetter;
    setter = newSetter;
  }

  T& get() override {
    if (owner == nullptr) return value;
    if (getter != nullptr) return (owner->*getter)();
    ElInterface<T>* t = target();
    return t != nullptr ? t->get() : value;
  }

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
  /// assignment from a value would, whatever kind of element it is.
  void operator=(T v) { set(v); }

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

#endif  // TAMBERLO_ELEMENT_PREV_H_
