/// \file
/// How a version's constructor builds its chain: one helper for the
/// library's families and for users' own, so that the order of the steps
/// and the rollback of a failed construction are written once.
#ifndef TAMBERLO_CONSTRUCTION_H_
#define TAMBERLO_CONSTRUCTION_H_

#include <tamberlo/bind_by_name.h>
#include <tamberlo/element_traits.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg_base.h>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace tamberlo {

/// How many versions may be under construction at once on one thread, in
/// the whole process: every version below a root whose construction has
/// not finished counts, across nested roots.  One more throws
/// std::length_error, and every construction under way is undone.
inline constexpr std::size_t kMaxUnderConstruction = 256;

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

/// Where a construction stands on this thread: returned by openFrame and
/// handed back to the calls that end it.
struct FrameMark {
  std::size_t mark;  ///< versions under construction when it opened
  MsgBase* outer;    ///< the version whose buildOlder ran before it
  bool below;        ///< built by `outer`, as its next older version
};

/// Opens the construction of `self`, the class `type` (a std::type_info,
/// untyped so that the export names no standard type), on this thread.
/// The state of every thread's constructions lives in the library, so that
/// versions built by code in different modules see one another; hence the
/// exports.
TAMBERLO_API FrameMark openFrame(MsgBase& self, const void* type);
/// Takes over `older`, just built below the innermost open construction;
/// `destroy` frees it if the construction fails.  Past the limit it frees
/// `older` and throws std::length_error.
TAMBERLO_API void adoptVersion(MsgBase* older,
                               void (*destroy)(MsgBase*) noexcept);
/// Lets the construction stand: a root's versions are its chain for good,
/// and its announcement stands, unless it claims versions that another
/// class holds in the graph it joined (std::logic_error, nothing changed).
TAMBERLO_API void commitFrame(MsgBase& self, const FrameMark& frame);
/// Ends the construction; unless it was committed, frees every version
/// built since it opened, newest first.
TAMBERLO_API void closeFrame(const FrameMark& frame, bool committed) noexcept;

template <typename Version>
void destroyAs(MsgBase* object) noexcept {
  // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): built by buildOlder
  delete static_cast<Version*>(object);
}

// One buildOlder call, as an open construction of `self`.
template <typename Self>
class ChainFrame {
 public:
  explicit ChainFrame(Self& self)
      : self_(&self), frame_(openFrame(self, typeOf<Self>())) {}
  ChainFrame(const ChainFrame&) = delete;
  ChainFrame& operator=(const ChainFrame&) = delete;
  ~ChainFrame() { closeFrame(frame_, committed_); }

  // Takes over `older`, just built below `self`.
  template <typename Older>
  Older& adopt(Older* older) {
    adoptVersion(older, &destroyAs<Older>);
    return *older;
  }

  void finish() {
    commitFrame(*self_, frame_);
    committed_ = true;
  }

 private:
  Self* self_;
  FrameMark frame_;
  bool committed_ = false;
};

}  // namespace detail

namespace detail {

// Builds Older below `self` and calls `bind(older)` on it, under a frame
// that undoes everything if anything throws.
template <typename Older, typename Self, typename Bind>
Older& build(Self& self, Bind bind) {
  checkOlder<Self, Older>();
  static_assert(std::is_constructible_v<Older, MsgMap&>,
                "Older needs a constructor from MsgMap&");
  ChainFrame<Self> frame(self);
  self.peer[self.id] = &self;
  Older& older = frame.adopt(new Older(self.peer));
  self.older[self.id] = &older;
  bind(older);
  frame.finish();
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
/// root built meanwhile from a map that named one of them no longer does.
/// That holds when every constructor of the family is buildOlder and
/// nothing else: what a constructor does after it returns is outside it.
/// Each version is recorded as the class it was built as, so that a typed
/// getVersion never hands it out as another; and a root that joins a graph
/// where another class holds one of its versions under the same family id
/// fails with std::logic_error naming both.
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
    detail::ChainFrame<Self> frame(self);
    self.peer[self.id] = &self;
    frame.finish();
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
