/// \file
/// ElementCur: the element that stores its value.
#ifndef TAMBERLO_ELEMENT_CUR_H_
#define TAMBERLO_ELEMENT_CUR_H_

#include <tamberlo/el_base.h>
#include <tamberlo/element_traits.h>

#include <utility>

/// The element that stores its value: a field of a newest version, or a
/// component of a value struct.  `Owner` is a tag, the class that holds it.
template <typename T, typename Owner>
class ElementCur : public ElBase<T, Owner> {
 public:
  /// Value-initialised (0 for numbers), so nothing ever reads garbage.
  T value{};

  ElementCur() = default;
  /// Starts with `initial`, a field's default: `ElementCur<float, Msg62_v2>
  /// humidity{50.0f};`.  Every version that sees the field reads it until
  /// something is written.
  explicit ElementCur(T initial) : value(std::move(initial)) {}
  ///@{
  /// Copies copy the value.
  ElementCur(const ElementCur&) = default;
  ElementCur& operator=(const ElementCur&) = default;
  ///@}
  ~ElementCur() = default;

  /// The stored value itself.
  T& get() override { return value; }
  /// Stores `v`.
  void set(const T& v) override { value = v; }
  /// Stores `v`; returns nothing, so chained assignment is not offered.
  void operator=(T v) { value = v; }

  ///@{
  /// A write of another number type: refused at compile time where it can
  /// change the value whatever the value is (a float or double into an
  /// integer element, an integer of a type the element's cannot hold all
  /// values of, but for an int, the type of literals); where only the value
  /// can tell, a value the element's type cannot hold throws
  /// std::out_of_range naming the value and the type.
  template <typename U, tamberlo::detail::IfRefusedOrChecked<T, U> = 0>
  void set(U v) {
    value = tamberlo::detail::writtenValue<ElementCur, T>(v);
  }
  template <typename U, tamberlo::detail::IfRefusedOrChecked<T, U> = 0>
  void operator=(U v) {
    set(v);
  }
  ///@}
};

#endif  // TAMBERLO_ELEMENT_CUR_H_
