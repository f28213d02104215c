// The layout of every element the library's classes hold, pinned at compile
// time.  Clients compile the element templates from the headers, so their
// layout is part of the ABI, and abidiff cannot see all of it: libabigail
// drops pointer-to-member data members, so swapping ElementPrev's getter
// and setter would pass the ABI check and break every existing client.
//
// Figures are in words (W = sizeof(void*)) and hold on every target built
// here: x86-64, aarch64 and i686 Linux, and x86-64 Windows with MinGW-w64.
// All of them follow the Itanium C++ ABI, where a pointer to member
// function is two words, word-aligned.  A failure here is an ABI break:
// keep the old layout, or raise the soversion and update these figures.
// The classes built from these elements are locked beside them, field by
// field, in abi/families.lock (the test families_lock).
#include <tamberlo/tamberlo.h>

#include <cstddef>
#include <cstdint>

#if defined(__GNUC__)
// offsetof on a class that is not standard-layout is conditionally
// supported; GCC and Clang support it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"

namespace {

constexpr std::size_t kWord = sizeof(void*);

// Member `m` of `E` starts at byte `at` and takes `bytes`.
#define TAMBERLO_PIN(E, m, at, bytes)                          \
  static_assert(offsetof(E, m) == (at), #E "::" #m " offset"); \
  static_assert(sizeof(E::m) == (bytes), #E "::" #m " size")

// ElementCur: the vtable pointer, then the value.
#define TAMBERLO_CUR(E, valueBytes, words)       \
  TAMBERLO_PIN(E, value, kWord, valueBytes);     \
  static_assert(sizeof(E) == (words)*kWord, #E); \
  static_assert(alignof(E) == kWord, #E " alignment")

// ElementPrev: the vtable pointer, the value, then the binding; every field
// after the value moves with the value's size in words.
#define TAMBERLO_PREV(E, valueBytes, valueWords)                  \
  TAMBERLO_PIN(E, value, kWord, valueBytes);                      \
  TAMBERLO_PIN(E, owner, (1 + (valueWords)) * kWord, kWord);      \
  TAMBERLO_PIN(E, offset, (2 + (valueWords)) * kWord, 4);         \
  TAMBERLO_PIN(E, getter, (3 + (valueWords)) * kWord, 2 * kWord); \
  TAMBERLO_PIN(E, setter, (5 + (valueWords)) * kWord, 2 * kWord); \
  static_assert(sizeof(E) == (7 + (valueWords)) * kWord, #E);     \
  static_assert(alignof(E) == kWord, #E " alignment")

// The value structs: three or four float elements of two words each.
static_assert(sizeof(Position) == 6 * kWord && alignof(Position) == kWord);
static_assert(sizeof(Velocity) == 6 * kWord && alignof(Velocity) == kWord);
static_assert(sizeof(EulerAngles) == 6 * kWord &&
              alignof(EulerAngles) == kWord);
static_assert(sizeof(Quaternions) == 8 * kWord &&
              alignof(Quaternions) == kWord);

using PositionField = ElementCur<float, Position>;  // Velocity's too
using EulerField = ElementCur<float, EulerAngles>;
using QuaternionField = ElementCur<float, Quaternions>;
using StoredPosition = ElementCur<Position, Msg15_v5>;
using StoredQuaternion = ElementCur<Quaternions, Msg16_v2>;
TAMBERLO_CUR(PositionField, 4, 2);
TAMBERLO_CUR(EulerField, 4, 2);
TAMBERLO_CUR(QuaternionField, 4, 2);
TAMBERLO_CUR(StoredPosition, 6 * kWord, 7);
TAMBERLO_CUR(StoredQuaternion, 8 * kWord, 9);

// The forwarding elements of each older version.  A float or int32 value
// takes one word with its padding (on i686, none).
using V2Feet = ElementPrev<std::int32_t, Msg15_v3>;
using V2Float = ElementPrev<float, Msg15_v3>;
using V3Float = ElementPrev<float, Msg15_v4>;
using V3Feet = ElementPrev<std::int32_t, Msg15_v4>;
using V4Float = ElementPrev<float, Msg15_v5>;
using V1Attitude = ElementPrev<EulerAngles, Msg16_v2>;
TAMBERLO_PREV(V2Feet, 4, 1);
TAMBERLO_PREV(V2Float, 4, 1);
TAMBERLO_PREV(V3Float, 4, 1);
TAMBERLO_PREV(V3Feet, 4, 1);
TAMBERLO_PREV(V4Float, 4, 1);
TAMBERLO_PREV(V1Attitude, 6 * kWord, 6);

#undef TAMBERLO_PREV
#undef TAMBERLO_CUR
#undef TAMBERLO_PIN

}  // namespace

#pragma GCC diagnostic pop
#endif
