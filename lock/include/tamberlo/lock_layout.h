/// \file
/// What a lock file records of a version class or value struct: its size,
/// its numbers and its listed fields, each with its value type, element
/// kind, offset and size, all taken from real objects; and what each
/// version shows of a fresh chain and of its records.
#ifndef TAMBERLO_LOCK_LAYOUT_H_
#define TAMBERLO_LOCK_LAYOUT_H_

#include <tamberlo/converted.h>
#include <tamberlo/element_prev.h>
#include <tamberlo/element_traits.h>
#include <tamberlo/fields.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace tamberlo::detail {

// One listed field as a lock records it.
struct LockedField {
  std::string name;
  std::string kind;  // "stored", "forwarding" or "converted"
  std::size_t offset = 0;
  std::size_t size = 0;
  std::string type;  // the value type, named as valueTypeName does
};

// What version `reader` shows of one field (a value struct's field by its
// path, `position.lat`), in its text form.
struct LockedValue {
  std::string reader;
  std::string field;
  std::string text;
};

// A version class, or a value struct (isStruct, numbers 0), as a lock
// records it.
struct LockedClass {
  std::string name;
  bool isStruct = false;
  std::int32_t family = 0;
  std::int32_t version = 0;
  std::size_t size = 0;
  std::vector<LockedField> fields;
  std::vector<LockedValue> defaults;  // what it shows of a fresh chain
  std::string record;  // one record of the version, JSON; empty without
  // What every version of the family shows once the record is read into a
  // fresh chain.
  std::vector<LockedValue> reads;
  // Its element members that the field list leaves out, by the names a
  // lock file gave the test (not written to a lock file).
  std::vector<std::string> unlisted;
};

// Everything a lock records: the target whose layout it holds, the version
// classes by family and version, the value structs they hold by name.
struct Lock {
  std::string target;
  std::vector<LockedClass> classes;
  std::vector<LockedClass> structs;
};

// The signature the compiler gives this function, which spells T: GCC and
// Clang end it with "[with T = ...]" or "[T = ...]", MSVC with
// "signatureOf<...>(void)".
template <typename T>
const char* signatureOf() {
#if defined(_MSC_VER) && !defined(__clang__)
  return __FUNCSIG__;
#else
  // The predefined name is an array; its address is what is returned.
  // NOLINTNEXTLINE(cppcoreguidelines-pro-bounds-array-to-pointer-decay)
  return __PRETTY_FUNCTION__;
#endif
}

// The type that `signature`, signatureOf's, spells, as its declaration
// names it.  The anonymous namespace is spelled alike for every compiler,
// so that a lock written with one is read with another.
inline std::string spelledType(std::string_view signature) {
#if defined(_MSC_VER) && !defined(__clang__)
  constexpr std::string_view kOpen = "signatureOf<";
  signature = signature.substr(signature.find(kOpen) + kOpen.size());
  signature = signature.substr(0, signature.rfind(">(void)"));
  for (const std::string_view tag : {"enum ", "struct ", "class "}) {
    if (signature.substr(0, tag.size()) == tag) {
      signature.remove_prefix(tag.size());
    }
  }
#else
  constexpr std::string_view kOpen = "T = ";
  signature = signature.substr(signature.find(kOpen) + kOpen.size());
  signature = signature.substr(0, signature.rfind(']'));
#endif
  std::string name(signature);
  constexpr std::string_view kClang = "(anonymous namespace)";
  for (auto at = name.find(kClang); at != std::string::npos;
       at = name.find(kClang)) {
    name.replace(at, kClang.size(), "{anonymous}");
  }
  return name;
}

template <typename T>
constexpr bool kIsCharacterType =
    std::is_same_v<T, char> || std::is_same_v<T, wchar_t> ||
    std::is_same_v<T, char16_t> || std::is_same_v<T, char32_t>;
#if defined(__cpp_char8_t)
template <>
constexpr bool kIsCharacterType<char8_t> = true;
#endif

inline std::string integerName(bool isSigned, std::size_t bits) {
  return (isSigned ? "int" : "uint") + std::to_string(bits) + "_t";
}

// A field's value type as a lock names it: an integer by its width and
// signedness (int32_t, uint8_t), so that int and int32_t read alike; the
// other arithmetic types as written (bool, char, float, double);
// std::string; an enumeration as `enum Name : int32_t`; a value struct by
// the name its field list gives it; anything else as the compiler spells
// it.
template <typename T>
std::string valueTypeName() {
  if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool> &&
                !kIsCharacterType<T>) {
    return integerName(std::is_signed_v<T>, sizeof(T) * CHAR_BIT);
  } else if constexpr (std::is_same_v<T, std::string>) {
    return "std::string";
  } else if constexpr (std::is_enum_v<T>) {
    return "enum " + spelledType(signatureOf<T>()) + " : " +
           valueTypeName<std::underlying_type_t<T>>();
  } else if constexpr (hasFields<T>) {
    return std::string(fieldsOf<T>().className);
  } else {
    return spelledType(signatureOf<T>());
  }
}

// An element kind as a lock names it.
template <typename Element>
constexpr std::string_view kindOf() {
  if constexpr (isConverted<Element>) {
    return "converted";
  } else if constexpr (std::is_void_v<
                           typename ElementParts<Element>::ForwardsTo>) {
    return "stored";
  } else {
    return "forwarding";
  }
}

template <typename Members, typename Object>
std::vector<LockedField> describeFields(Object& object,
                                        std::vector<LockedClass>& structs);

// A class or value struct without its fields yet.  Code that does not
// depend on the class stays out of the templates, which every lock test
// instantiates for each class.
inline LockedClass lockedClass(std::string_view name, bool isStruct,
                               std::int32_t family, std::int32_t version,
                               std::size_t size) {
  LockedClass described;
  described.name = name;
  described.isStruct = isStruct;
  described.family = family;
  described.version = version;
  described.size = size;
  return described;
}

inline bool holds(const std::vector<LockedClass>& structs,
                  std::string_view name) {
  return std::any_of(
      structs.begin(), structs.end(),
      [&](const LockedClass& held) { return held.name == name; });
}

// Those of `members` that `fields` does not list.
inline std::vector<std::string> leftOut(
    const std::vector<LockedField>& fields,
    const std::vector<std::string_view>& members) {
  std::vector<std::string> names;
  for (const std::string_view member : members) {
    if (std::none_of(fields.begin(), fields.end(),
                     [&](const LockedField& f) { return f.name == member; })) {
      names.emplace_back(member);
    }
  }
  return names;
}

// Adds value struct T, once, with the value structs it holds.  Its offsets
// are those of a value-initialised object.
template <typename Members, typename T>
void addStruct(std::vector<LockedClass>& structs) {
  const std::string_view name = fieldsOf<T>().className;
  if (holds(structs, name)) return;
  T probe{};
  LockedClass described = lockedClass(name, true, 0, 0, sizeof(T));
  described.fields = describeFields<Members>(probe, structs);
  described.unlisted = leftOut(described.fields, Members::template of<T>());
  structs.push_back(std::move(described));
}

inline void addField(std::vector<LockedField>& fields, std::string_view name,
                     std::string_view kind, std::int32_t offset,
                     std::size_t size, std::string type) {
  fields.push_back({std::string(name), std::string(kind),
                    static_cast<std::size_t>(offset), size, std::move(type)});
}

template <typename Members, typename Object>
std::vector<LockedField> describeFields(Object& object,
                                        std::vector<LockedClass>& structs) {
  std::vector<LockedField> fields;
  forEachField(object, [&](std::string_view name, auto& element) {
    using Element = std::remove_reference_t<decltype(element)>;
    using Value = ElementValueT<Element>;
    addField(fields, name, kindOf<Element>(), elementOffset(object, element),
             sizeof(Element), valueTypeName<Value>());
    if constexpr (hasFields<Value>) addStruct<Members, Value>(structs);
  });
  return fields;
}

// The layout of `version`, with the element members among `Members` that
// its field list leaves out; the value structs it holds are added to
// `structs`.
template <typename Members, typename Version>
LockedClass describeVersion(Version& version,
                            std::vector<LockedClass>& structs) {
  LockedClass described =
      lockedClass(fieldsOf<Version>().className, false, Version::familyId,
                  Version::versionNo, sizeof(Version));
  described.fields = describeFields<Members>(version, structs);
  described.unlisted =
      leftOut(described.fields, Members::template of<Version>());
  return described;
}

// What the offsets and sizes of a lock depend on beyond the declarations:
// pointers, long, where an int64_t and a double go after a char, long
// double and std::string.  A lock's offsets and sizes are compared only on
// a target that agrees.
inline std::string targetText() {
  struct AfterChar64 {
    char before;
    std::int64_t value;
  };
  struct AfterCharDouble {
    char before;
    double value;
  };
  return "pointer " + std::to_string(sizeof(void*)) + ", long " +
         std::to_string(sizeof(long)) + ", int64_t at " +
         std::to_string(offsetof(AfterChar64, value)) + ", double at " +
         std::to_string(offsetof(AfterCharDouble, value)) + ", long double " +
         std::to_string(sizeof(long double)) + ", std::string " +
         std::to_string(sizeof(std::string));
}

}  // namespace tamberlo::detail

#endif  // TAMBERLO_LOCK_LAYOUT_H_
