/// \file
/// How a version's constructor builds its chain: one helper for the
/// library's families and for users' own, so that the order of the steps
/// and the rollback of a failed construction are written once.
#ifndef TAMBERLO_CONSTRUCTION_H_
#define TAMBERLO_CONSTRUCTION_H_

#include <tamberlo/bind_by_name.h>
#include <tamberlo/element_traits.h>
#include <tamberlo/fields.h>
#include <tamberlo/identity.h>
#include <tamberlo/msg_base.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <string_view>
#include <tuple>
#include <type_traits>

namespace tamberlo {

class WrongVersion;  // <tamberlo/wrong_version.h>

namespace detail {

/// A version class as a message names it: by its field list's name, or by
/// its numbers where it has none.
struct VersionName {
  std::string_view className;  ///< empty without a field list
  std::int32_t familyId;       ///< its family id
  std::int32_t versionNo;      ///< its version number
};

/// Throws WrongVersion: `self`'s older version is `found` (null where there
/// is none), not `asked`.  The message is written inside the library, which
/// keeps <stdexcept> and <string> out of every client's includes; hence
/// the export.
[[noreturn]] TAMBERLO_API void throwWrongVersion(const VersionName& asked,
                                                 const VersionName& self,
                                                 const MsgBase* found);

template <typename V, typename = void>
struct HasVersionNumbers : std::false_type {};
template <typename V>
struct HasVersionNumbers<
    V, std::void_t<decltype(V::familyId), decltype(V::versionNo)>>
    : std::bool_constant<std::is_base_of_v<MsgBase, V>> {};

template <typename V>
constexpr void checkVersion() {
  static_assert(HasVersionNumbers<V>::value,
                "a version class derives from MsgBase and declares static "
                "constexpr std::int32_t familyId and versionNo");
  if constexpr (HasVersionNumbers<V>::value) {
    static_assert(V::familyId >= 0,
                  "a family id is not negative: the maps' negative keys are "
                  "the library's own");
  }
}

// Whether every listed forwarding element of Older forwards to Newer; true
// when Older lists no fields, since then nothing can be told.
template <typename Older, typename Newer>
constexpr bool forwardsTo() {
  if constexpr (hasFields<Older>) {
    return std::apply(
        [](const auto&... field) {
          return ((std::is_void_v<ForwardsToOf<decltype(field)>> ||
                   std::is_same_v<ForwardsToOf<decltype(field)>, Newer>)&&...);
        },
        fieldsOf<Older>().fields);
  } else {
    return true;
  }
}

template <typename Newer, typename Older>
constexpr void checkOlder() {
  checkVersion<Newer>();
  checkVersion<Older>();
  if constexpr (HasVersionNumbers<Newer>::value &&
                HasVersionNumbers<Older>::value) {
    static_assert(Older::familyId == Newer::familyId &&
                      Older::versionNo < Newer::versionNo,
                  "Older must be an older version (smaller versionNo) of the "
                  "same family (same familyId) as the version being built");
    static_assert(forwardsTo<Older, Newer>(),
                  "Older's elements forward to another class than the version "
                  "being built: Older must be the next older version, the one "
                  "whose ElementPrev members name this class");
  }
}

// A class's name for messages.
template <typename V>
constexpr VersionName versionName() {
  if constexpr (hasFields<V>) {
    return {fieldsOf<V>().className, V::familyId, V::versionNo};
  } else {
    return {{}, V::familyId, V::versionNo};
  }
}

/// What the library needs of a version it builds, besides its fingerprint,
/// which travels as a value (kFingerprint): its name and number, how to
/// destroy it in place, and how to give its stored fields the values of a
/// fresh object (null where the class lists no fields).  One object per
/// class, kOps<V>; the library copies what it keeps.
struct VersionOps {
  const ClassId* id;                                   ///< the class
  void (*destroy)(MsgBase* object) noexcept;           ///< runs ~V()
  void (*reset)(MsgBase& live, const MsgBase& fresh);  ///< stored fields
};

template <typename V>
void destroyInPlace(MsgBase* object) noexcept {
  static_cast<V*>(object)->~V();
}

// Gives an element of a live object the value that the same element of a
// fresh one holds, where it holds its value itself: a stored element, and
// a forwarding or converted one without a target (retired, unbound).  One
// that forwards or converts holds nothing of its own.
template <typename T, typename Owner>
void resetElement(ElementCur<T, Owner>& live,
                  const ElementCur<T, Owner>& fresh) {
  live.value = fresh.value;
}
template <typename T, typename Owner>
void resetElement(ElementPrev<T, Owner>& live,
                  const ElementPrev<T, Owner>& fresh) {
  if (live.owner == nullptr ||
      (live.getter == nullptr && live.setter == nullptr && live.offset < 0)) {
    live.value = fresh.value;
  }
}
template <typename T, auto Source, typename Conversion>
void resetElement(Converted<T, Source, Conversion>& live,
                  const Converted<T, Source, Conversion>& fresh) {
  if (live.owner() == nullptr) live.value = fresh.value;
}

// Every listed field of `live` as resetElement leaves it, from `fresh`, an
// object built anew.
template <typename V>
void resetStored(MsgBase& live, const MsgBase& fresh) {
  auto& to = static_cast<V&>(live);
  const auto& from = static_cast<const V&>(fresh);
  std::apply(
      [&](const auto&... field) {
        (resetElement(to.*field.member, from.*field.member), ...);
      },
      fieldsOf<V>().fields);
}

template <typename V>
constexpr auto resetOf() {
  using Reset = void (*)(MsgBase&, const MsgBase&);
  if constexpr (hasFields<V>) {
    return Reset{&resetStored<V>};
  } else {
    return Reset{nullptr};
  }
}

template <typename V>
inline constexpr VersionOps kOps{&kClassId<V>, &destroyInPlace<V>,
                                 resetOf<V>()};

/// One buildOlder call as the library began it, for the calls that end it.
struct OlderPlace {
  std::uint32_t root;  ///< its construction's root in this thread's
  std::uint32_t slot;  ///< the older version's entry in it
  void* place;         ///< where to build the older version
  bool isRoot;         ///< the version building is the root of its chain
};

/// How a buildOlder call ended.
enum class BuildEnd : int {
  kNotBuilt,  ///< the older version's constructor threw
  kBuilt,     ///< it was built, and then something threw
  kDone,      ///< the call finished
};

/// Begins `self`'s buildOlder call: `self` is the older version that the
/// call before it placed, or the root of a new construction.  Returns
/// where to build its older version, of `size` and `align`, which is
/// recorded as `older`.  The construction of each thread lives in the
/// library, so that versions built by code in different modules (the
/// library, a family's shared library, a client) are one transaction;
/// hence the exports.  Sizes are 32-bit, so that the exported name is the
/// same on every target.
TAMBERLO_API OlderPlace beginOlder(MsgBase& self, Fingerprint fingerprint,
                                   const VersionOps& ops, std::uint32_t size,
                                   std::uint32_t align,
                                   Fingerprint olderFingerprint,
                                   const VersionOps& older);
/// Lets a root's construction stand: its chain is recorded, and its
/// announcement stands, unless it claims versions that another class holds
/// in the graph it joined (std::logic_error naming the class; nothing
/// changed).
TAMBERLO_API void finishRoot(const OlderPlace& call);
/// Ends a buildOlder call: unless it is kDone, frees every version built
/// since it began, newest first, and a root takes back its announcement.
TAMBERLO_API void endOlder(const OlderPlace& call, BuildEnd end) noexcept;
/// The oldest version, which builds nothing below it, is built: the end of
/// the call that placed it, or of a one-version root's construction (as
/// finishRoot).
TAMBERLO_API void builtOldest(MsgBase& self, Fingerprint fingerprint,
                              const VersionOps& ops);

// One buildOlder call: begun on construction, ended on destruction.
class OlderStep {
 public:
  template <typename Self, typename Older>
  OlderStep(Self& self, Older* /*tag*/)
      : step_(beginOlder(self, kFingerprint<Self>, kOps<Self>,
                         static_cast<std::uint32_t>(sizeof(Older)),
                         static_cast<std::uint32_t>(alignof(Older)),
                         kFingerprint<Older>, kOps<Older>)) {}
  OlderStep(const OlderStep&) = delete;
  OlderStep& operator=(const OlderStep&) = delete;
  ~OlderStep() { endOlder(step_, end_); }

  [[nodiscard]] void* place() const { return step_.place; }
  void built() { end_ = BuildEnd::kBuilt; }
  void finish() {
    if (step_.isRoot) finishRoot(step_);
    end_ = BuildEnd::kDone;
  }

 private:
  OlderPlace step_;
  BuildEnd end_ = BuildEnd::kNotBuilt;
};

}  // namespace detail

namespace detail {

// Builds Older below `self` and calls `bind(older)` on it, under a step
// that undoes everything if anything throws.
template <typename Older, typename Self, typename Bind>
Older& build(Self& self, Bind bind) {
  checkOlder<Self, Older>();
  static_assert(std::is_constructible_v<Older, MsgMap&>,
                "Older needs a constructor from MsgMap&");
  self.peer[self.id] = &self;
  OlderStep step(self, static_cast<Older*>(nullptr));
  Older& older = *new (step.place()) Older(self.peer);
  step.built();
  self.older[self.id] = &older;
  bind(older);
  step.finish();
  return older;
}

}  // namespace detail

/// The body of a version's constructor when an older version lies below it:
///
///     Msg30_v2::Msg30_v2(MsgMap& links) : MsgBase(familyId, versionNo, links)
///     { tamberlo::buildOlder<Msg30_v1>(*this, &Msg30_v2::init); }
///
/// Records `self` in its `peer` map, builds `Older` from that map (so the
/// older version's `upstream` names `self`), stores it in `older`, then
/// calls `init`, a member of Self taking nothing or the older version
/// (`void init(Msg30_v1& older)`), which binds it.  Returns the older
/// version.
///
/// If anything throws, from Self's members to `init`, every version built
/// below `self` is freed, and a root built from a map takes back its
/// announcement, so no object that existed before names what failed; a
/// root built meanwhile from a map that named one of them leaves the graph.
/// That holds when every constructor of the family is buildOlder and
/// nothing else: what a constructor does after it returns is outside it.
/// The root's chain is recorded with each version's layout fingerprint, so
/// that a typed getVersion never hands a version out as another class, and
/// an owner (tamberlo::Chain) can free it; a root that joins a graph where
/// another class holds one of its versions under the same family id fails
/// with std::logic_error naming it.
template <typename Older, typename Self, typename Init>
Older& buildOlder(Self& self, Init init) {
  constexpr bool kTakesNothing = std::is_same_v<Init, void (Self::*)()>;
  constexpr bool kTakesOlder = std::is_same_v<Init, void (Self::*)(Older&)>;
  static_assert(kTakesNothing || kTakesOlder,
                "buildOlder(*this, &Self::init): init must be a member "
                "function of the version being built that takes nothing or "
                "the older version (Older&) and returns void");
  return detail::build<Older>(self, [&](Older& older) {
    if constexpr (kTakesOlder) {
      (self.*init)(older);
    } else if constexpr (kTakesNothing) {
      (self.*init)();
    }
  });
}

/// The body of a constructor without an init:
/// `tamberlo::buildOlder<Msg30_v1>(*this)` builds the older version as the
/// form above does and binds it with bindByName, for versions whose older
/// version needs nothing else (fields of the same names, and Converted
/// ones).  The oldest version, which builds nothing below it, is
/// `tamberlo::buildOlder<void>(*this)`: it records `self` in `peer`.
template <typename Older, typename Self>
std::add_lvalue_reference_t<Older> buildOlder(Self& self) {
  if constexpr (std::is_void_v<Older>) {
    detail::checkVersion<Self>();
    self.peer[self.id] = &self;
    detail::builtOldest(self, detail::kFingerprint<Self>, detail::kOps<Self>);
  } else {
    return detail::build<Older>(self,
                                [&](Older& older) { bindByName(older, self); });
  }
}

/// The next older version of `self`, typed, for an `init` that takes
/// nothing: `tamberlo::olderVersion<Msg15_v3>(*this)`.  Throws WrongVersion
/// (<tamberlo/wrong_version.h>), naming both classes, when `older` names no
/// version of that class (init called before buildOlder built it, a wrong
/// class, or a rewritten map).
template <typename Older, typename Self>
Older& olderVersion(Self& self) {
  detail::checkOlder<Self, Older>();
  const auto found = self.older.find(self.id);
  MsgBase* older = found == self.older.end() ? nullptr : found->second;
  if (older == nullptr || older->id != Older::familyId ||
      older->version != Older::versionNo) {
    detail::throwWrongVersion(detail::versionName<Older>(),
                              detail::versionName<Self>(), older);
  }
  return *static_cast<Older*>(older);
}

}  // namespace tamberlo

#endif  // TAMBERLO_CONSTRUCTION_H_
