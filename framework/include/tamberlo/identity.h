/// \file
/// The identity of a version class, as the code that names it was compiled:
/// a fingerprint of its layout, derived at compile time, and its name.  The
/// library records each version's fingerprint when it builds it, and a
/// typed lookup compares it with the fingerprint of the class it asks for,
/// so that no module is handed an object as a class of another layout.
/// Neither depends on run-time type information or on where a module is
/// loaded.
#ifndef TAMBERLO_IDENTITY_H_
#define TAMBERLO_IDENTITY_H_

#include <tamberlo/element_traits.h>
#include <tamberlo/fields.h>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <tuple>
#include <type_traits>

namespace tamberlo::detail {

/// A layout fingerprint in the exports: `unsigned long long`, which every
/// target names alike, where std::uint64_t is `unsigned long` on some.
using Fingerprint = unsigned long long;

/// A version class by name and number, for messages and for the classes a
/// graph holds.  Plain data, so that the exports that take it name no
/// standard type.  Its fingerprint travels apart, as a value: kClassId<V>
/// is an object that the dynamic linker may share between modules under
/// default visibility, and two modules that know V differently must each
/// give their own fingerprint.
struct ClassId {
  const char* name;        ///< the class's name, not terminated
  std::size_t nameLength;  ///< its length
  std::int32_t versionNo;  ///< its version number
};

// FNV-1a, 64 bits: constexpr, and the same on every compiler.
inline constexpr std::uint64_t kDigestStart = 0xcbf29ce484222325U;

constexpr std::uint64_t digest(std::uint64_t h, std::string_view text) {
  for (const char c : text) {
    h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3U;
  }
  // The length ends the text, so that two texts never run together.
  return (h ^ text.size()) * 0x100000001b3U;
}
constexpr std::uint64_t digest(std::uint64_t h, std::uint64_t n) {
  for (int byte = 0; byte < 8; ++byte) {
    h = (h ^ ((n >> (8 * byte)) & 0xffU)) * 0x100000001b3U;
  }
  return h;
}

// The compiler's spelling of T, for messages about a class without a field
// list.  Not part of a fingerprint: compilers spell some types differently.
template <typename T>
constexpr std::string_view spelledName() {
#if defined(_MSC_VER) && !defined(__clang__)
  std::string_view s = __FUNCSIG__;
  constexpr std::string_view kOpen = "spelledName<";
  s = s.substr(s.find(kOpen) + kOpen.size());
  s = s.substr(0, s.rfind(">(void)"));
  for (const std::string_view tag : {"class ", "struct "}) {
    if (s.substr(0, tag.size()) == tag) s.remove_prefix(tag.size());
  }
  return s;
#else
  std::string_view s = __PRETTY_FUNCTION__;
  constexpr std::string_view kOpen = "T = ";
  s = s.substr(s.find(kOpen) + kOpen.size());
  return s.substr(0, s.find_first_of(";]"));
#endif
}

template <typename T>
constexpr std::uint64_t valueDigest(std::uint64_t h);

template <typename Element>
constexpr std::uint64_t elementDigest(std::uint64_t h) {
  using Parts = ElementParts<Element>;
  using Target = typename Parts::ForwardsTo;
  h = digest(h, sizeof(Element));
  h = digest(h, alignof(Element));
  if constexpr (std::is_void_v<Target>) {
    h = digest(h, "stored");
  } else {
    // The version forwarded to, by its numbers: a version that stops
    // storing a field, and forwards it to a new one, changes here.
    h = digest(h, "forwards");
    h = digest(h, static_cast<std::uint64_t>(Target::familyId));
    h = digest(h, static_cast<std::uint64_t>(Target::versionNo));
  }
  return valueDigest<typename Parts::Value>(h);
}

// The listed fields of T, by name and element, in the order listed.
template <typename T>
constexpr std::uint64_t fieldsDigest(std::uint64_t h) {
  constexpr auto list = fieldsOf<T>();
  h = digest(h, list.className);
  std::apply(
      [&h](const auto&... field) {
        ((h = elementDigest<
              typename std::decay_t<decltype(field)>::ElementType>(
              digest(h, field.name))),
         ...);
      },
      list.fields);
  return h;
}

template <typename T>
constexpr std::uint64_t valueDigest(std::uint64_t h) {
  h = digest(h, sizeof(T));
  h = digest(h, alignof(T));
  if constexpr (std::is_same_v<T, bool>) {
    return digest(h, "bool");
  } else if constexpr (std::is_enum_v<T>) {
    return valueDigest<std::underlying_type_t<T>>(digest(h, "enum"));
  } else if constexpr (std::is_integral_v<T>) {
    return digest(h, std::is_signed_v<T> ? "signed" : "unsigned");
  } else if constexpr (std::is_floating_point_v<T>) {
    return digest(h, "floating");
  } else if constexpr (hasFields<T>) {
    return fieldsDigest<T>(h);
  } else {
    // Another class (std::string, say) by its size and alignment alone.
    return digest(h, "class");
  }
}

/// The fingerprint of version class V: its numbers, size and alignment,
/// and, where TAMBERLO_FIELDS lists them, its name and each field's name,
/// element kind, size, value type and the version it forwards to.  Two
/// builds of one class agree unless its layout or field list changed.
template <typename V>
constexpr std::uint64_t fingerprintOf() {
  std::uint64_t h = digest(kDigestStart, "tamberlo version class");
  h = digest(h, static_cast<std::uint64_t>(V::familyId));
  h = digest(h, static_cast<std::uint64_t>(V::versionNo));
  h = digest(h, sizeof(V));
  h = digest(h, alignof(V));
  if constexpr (hasFields<V>) h = fieldsDigest<V>(h);
  return h != 0 ? h : 1;  // 0 is "unknown"
}

/// A class's name for messages: as its field list gives it, else as the
/// compiler spells it.
template <typename V>
constexpr std::string_view classNameOf() {
  if constexpr (hasFields<V>) {
    return fieldsOf<V>().className;
  } else {
    return spelledName<V>();
  }
}

/// V's fingerprint, a constant of the code that names it.
template <typename V>
inline constexpr Fingerprint kFingerprint = fingerprintOf<V>();

/// V by name and number.
template <typename V>
inline constexpr ClassId kClassId{classNameOf<V>().data(),
                                  classNameOf<V>().size(), V::versionNo};

}  // namespace tamberlo::detail

#endif  // TAMBERLO_IDENTITY_H_
