/// \file
/// Converted: an older version's field that shows a newer version's field in
/// another representation, declared once with its conversion.
#ifndef TAMBERLO_CONVERTED_H_
#define TAMBERLO_CONVERTED_H_

#include <tamberlo/conversions.h>
#include <tamberlo/el_base.h>
#include <tamberlo/element_traits.h>

#include <type_traits>
#include <utility>

namespace tamberlo {

/// The source of a Converted whose conversion reads and writes the whole
/// newer version, for a field made of several of its fields:
/// `Converted<std::string, wholeVersion<Person_v2>, FullName> name;`.
template <typename Newer>
// A constant marker, never dereferenced.
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
inline constexpr Newer* wholeVersion = nullptr;

namespace detail {

// What a Converted's Source names: the newer class and the value a
// conversion receives from it.
template <auto Source>
struct SourceOf;
template <typename SourceElement, typename Newer, SourceElement Newer::*Member>
struct SourceOf<Member> {
  using Element = SourceElement;
  using NewerClass = Newer;
  using Value = ElementValueT<Element>;
  static constexpr bool kWhole = false;
};
template <typename Newer, Newer* Whole>
struct SourceOf<Whole> {
  using Element = void;
  using NewerClass = Newer;
  using Value = Newer;
  static constexpr bool kWhole = true;
};

// A conversion's functions may be templates over the two types (the
// ready-made ones) or plain functions of the user's types.
template <typename C, typename Older, typename Value, typename = void>
constexpr bool kPlainToOlder = false;
template <typename C, typename Older, typename Value>
constexpr bool
    kPlainToOlder<C, Older, Value,
                  std::void_t<decltype(C::toOlder(std::declval<Value&>()))>> =
        true;

template <typename C, typename Older, typename Value, typename = void>
constexpr bool kTemplateToOlder = false;
template <typename C, typename Older, typename Value>
constexpr bool
    kTemplateToOlder<C, Older, Value,
                     std::void_t<decltype(C::template toOlder<Older, Value>(
                         std::declval<const Value&>()))>> = true;

template <typename C, typename Older, typename Value, typename = void>
constexpr bool kPlainToNewer = false;
template <typename C, typename Older, typename Value>
constexpr bool kPlainToNewer<
    C, Older, Value,
    std::void_t<decltype(C::toNewer(std::declval<const Older&>()))>> = true;

template <typename C, typename Older, typename Value, typename = void>
constexpr bool kMergingToNewer = false;
template <typename C, typename Older, typename Value>
constexpr bool kMergingToNewer<
    C, Older, Value,
    std::void_t<decltype(C::toNewer(std::declval<const Older&>(),
                                    std::declval<Value&>()))>> = true;

template <typename C, typename Older, typename Value, typename = void>
constexpr bool kTemplateToNewer = false;
template <typename C, typename Older, typename Value>
constexpr bool
    kTemplateToNewer<C, Older, Value,
                     std::void_t<decltype(C::template toNewer<Value, Older>(
                         std::declval<const Older&>()))>> = true;

// A Conversion between values, in whichever form it declares its
// functions: what a Converted of an element runs, and what a record reader
// runs before it writes, to see what a value becomes.
template <typename T, typename V, typename Conversion>
struct ConversionOf {
  static T toOlder(V& newer) {
    if constexpr (kPlainToOlder<Conversion, T, V>) {
      return Conversion::toOlder(newer);
    } else {
      return Conversion::template toOlder<T, V>(newer);
    }
  }
  // `current()` gives the newer value that a merging conversion takes;
  // the other forms never call it.
  template <typename Current>
  static V toNewer(const T& older, Current&& current) {
    if constexpr (kPlainToNewer<Conversion, T, V>) {
      return Conversion::toNewer(older);
    } else if constexpr (kMergingToNewer<Conversion, T, V>) {
      return Conversion::toNewer(older, current());
    } else {
      return Conversion::template toNewer<V, T>(older);
    }
  }
};

}  // namespace detail

namespace detail {

// How a bound Converted reaches its newer version: two functions that the
// newer version's own code instantiates when it binds the field, so that
// what a client compiles never depends on the newer version's layout or on
// the kind of its elements.
template <typename T, typename Newer>
struct ConvertedAccess {
  T (*read)(Newer&);                // the newer value, converted
  void (*write)(Newer&, const T&);  // converts back and writes it
};

// The functions of a Converted<T, Source, Conversion> whose source is the
// element type SourceElement (void for a whole version).  SourceElement is
// part of the name, so a build in which the source forwards never shares
// an instance with one in which it stored.
template <typename T, auto Source, typename Conversion, typename SourceElement>
struct ConvertedFunctions {
  using From = SourceOf<Source>;
  using Newer = typename From::NewerClass;
  using V = typename From::Value;

  // The source's value.  A stored one is read and written in place, which
  // is what its get() and set() do, without a virtual call.
  static V& source(Newer& newer) {
    if constexpr (std::is_same_v<StoredValueT<SourceElement>, V>) {
      return (newer.*Source).value;
    } else {
      return (newer.*Source).get();
    }
  }
  static void store(Newer& newer, const V& v) {
    if constexpr (std::is_same_v<StoredValueT<SourceElement>, V>) {
      (newer.*Source).value = v;
    } else {
      (newer.*Source).set(v);
    }
  }

  using Values = ConversionOf<T, V, Conversion>;

  static T read(Newer& newer) {
    if constexpr (From::kWhole) {
      return Conversion::toOlder(newer);
    } else {
      return Values::toOlder(source(newer));
    }
  }

  static void write(Newer& newer, const T& older) {
    if constexpr (From::kWhole) {
      Conversion::toNewer(older, newer);
    } else {
      store(newer,
            Values::toNewer(older, [&]() -> V& { return source(newer); }));
    }
  }

  static constexpr ConvertedAccess<T, Newer> kAccess{&read, &write};
};

}  // namespace detail

/// A field of an older version that shows a field of the next newer version
/// converted, written once in the older class:
///
///     tamberlo::Converted<std::int32_t, &Battery_v2::volts,
///                         tamberlo::Scale<1000>> millivolts;
///
/// `Source` is the newer version's element (or wholeVersion<Newer>), and
/// `Conversion` a class with `static T toOlder(const V& newer)` and either
/// `static V toNewer(const T& older)` or, where the older field holds only
/// part of the newer one, `static V toNewer(const T& older, V& current)`
/// (for wholeVersion: `static T toOlder(Newer&)` and `static void
/// toNewer(const T&, Newer&)`); Promotion by default.  A read converts the
/// newer value into this element's own slot and returns a reference to it,
/// a write converts back and writes the newer field.  tamberlo::bindByName,
/// or bind(owner), binds it to the newer version; unbound, it reads and
/// writes its own slot.
///
/// The conversion runs in the code that binds the field, the newer
/// version's: a client of this version keeps working, unrebuilt, when the
/// newer version's fields turn from stored into forwarding ones.
template <typename T, auto Source, typename Conversion = Promotion>
class Converted
    : public ElBase<T, typename detail::SourceOf<Source>::NewerClass> {
  using From = detail::SourceOf<Source>;
  using V = typename From::Value;

 public:
  /// The next newer version, whose field this one shows.
  using Newer = typename From::NewerClass;

  // Public as every element's value is: what a read returns a reference to.
  // NOLINTNEXTLINE(cppcoreguidelines-non-private-member-variables-in-classes)
  T value{};  ///< the last value read or, unbound, the field itself

  Converted() = default;
  /// Starts the own slot with `initial`, read while unbound.
  explicit Converted(T initial) : value(std::move(initial)) {}
  ///@{
  /// Copies keep the binding: a copy shows the same newer object.
  Converted(const Converted&) = default;
  Converted& operator=(const Converted&) = default;
  ///@}
  ~Converted() = default;

  /// Shows `newOwner`, the next newer version; null unbinds.
  void bind(Newer* newOwner) noexcept {
    owner_ = newOwner;
    access_ = newOwner == nullptr ? nullptr : accessOf();
  }

  /// The newer object shown; null while unbound.
  [[nodiscard]] Newer* owner() const noexcept { return owner_; }

  /// The newer value converted into the own slot; unbound, the own slot.
  T& get() override { return Converted::read(); }

  /// Converts `v` back and writes it to the newer version; unbound, stores
  /// it in the own slot.
  void set(const T& v) override { Converted::write(v); }

  /// Writes like set, without a second virtual call.
  void operator=(T v) { Converted::write(v); }

  ///@{
  /// A write of another number type: refused at compile time where it can
  /// change the value whatever the value is (a float or double into an
  /// integer element, an integer of a type the element's cannot hold all
  /// values of, but for an int, the type of literals); where only the value
  /// can tell, a value the element's type cannot hold throws
  /// std::out_of_range naming the value and the type.
  template <typename U, detail::IfRefusedOrChecked<T, U> = 0>
  void set(U v) {
    set(detail::writtenValue<Converted, T>(v));
  }
  template <typename U, detail::IfRefusedOrChecked<T, U> = 0>
  void operator=(U v) {
    set(v);
  }
  ///@}

 private:
  static constexpr bool kToOlder = detail::kPlainToOlder<Conversion, T, V> ||
                                   detail::kTemplateToOlder<Conversion, T, V>;
  static constexpr bool kToNewer =
      From::kWhole ? detail::kMergingToNewer<Conversion, T, V>
                   : detail::kPlainToNewer<Conversion, T, V> ||
                         detail::kMergingToNewer<Conversion, T, V> ||
                         detail::kTemplateToNewer<Conversion, T, V>;
  static constexpr bool kPromotesNumbers =
      !std::is_same_v<Conversion, Promotion> ||
      (std::is_arithmetic_v<T> && std::is_arithmetic_v<V>);
  static_assert(kPromotesNumbers,
                "tamberlo::Converted<T, Source>: the default conversion, "
                "Promotion, converts numbers; give a Conversion as the third "
                "argument for this field's types");
  // Instantiated only when usable, so a refusal above is the one error.
  static constexpr bool kUsable = kPromotesNumbers && kToOlder && kToNewer;
  static_assert(!kPromotesNumbers || kToOlder,
                "tamberlo::Converted<T, Source, Conversion>: Conversion needs "
                "static T toOlder(const V& newer), V being the value type of "
                "Source (for wholeVersion<Newer>, toOlder(Newer&))");
  static_assert(!kPromotesNumbers || kToNewer,
                "tamberlo::Converted<T, Source, Conversion>: Conversion needs "
                "static V toNewer(const T& older), or static V toNewer(const "
                "T& older, V& current) (for wholeVersion<Newer>, static void "
                "toNewer(const T&, Newer&))");

  using Access = detail::ConvertedAccess<T, Newer>;

  // Instantiated by bind, in the code of whoever binds: the newer version.
  static const Access* accessOf() noexcept {
    if constexpr (kUsable) {
      return &detail::ConvertedFunctions<T, Source, Conversion,
                                         typename From::Element>::kAccess;
    } else {
      return nullptr;
    }
  }

  T& read() {
    if (access_ != nullptr) value = access_->read(*owner_);
    return value;
  }
  void write(const T& v) {
    if (access_ != nullptr) {
      access_->write(*owner_, v);
    } else {
      value = v;
    }
  }

  Newer* owner_ = nullptr;          // the newer object shown
  const Access* access_ = nullptr;  // set with owner_, by bind
};

/// A Converted field: its own value type, and the newer version it shows.
template <typename T, auto Source, typename Conversion>
struct ElementParts<Converted<T, Source, Conversion>> {
  using Value = T;  ///< the value type
  /// the newer version
  using ForwardsTo = typename detail::SourceOf<Source>::NewerClass;
};

namespace detail {
template <typename Element>
constexpr bool isConverted = false;
template <typename T, auto Source, typename Conversion>
constexpr bool isConverted<Converted<T, Source, Conversion>> = true;
}  // namespace detail

}  // namespace tamberlo

#endif  // TAMBERLO_CONVERTED_H_
