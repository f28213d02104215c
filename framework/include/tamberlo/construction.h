// How a version's constructor builds its chain: one helper for the
// library's families and for users' own, so that the order of the steps
// and the rollback of a failed construction are written once.
#ifndef TAMBERLO_CONSTRUCTION_H_
#define TAMBERLO_CONSTRUCTION_H_

#include <tamberlo/export.h>
#include <tamberlo/msg_base.h>

#include <cstdint>
#include <exception>
#include <type_traits>

namespace tamberlo {
namespace detail {

/// Ends the announcement that the MsgBase part of `root` made while it was
/// built on this thread: it stands, or every `roots` entry it wrote is
/// restored.  Does nothing when `root` made none.  The record lives inside
/// the library, which is why this is exported.
TAMBERLO_API void settleAnnouncement(MsgBase* root, bool stands) noexcept;

// Takes the announcement back on every way out of a constructor that did
// not reach keep().
class AnnouncementGuard {
 public:
  explicit AnnouncementGuard(MsgBase& root) noexcept : root_(&root) {}
  AnnouncementGuard(const AnnouncementGuard&) = delete;
  AnnouncementGuard& operator=(const AnnouncementGuard&) = delete;
  ~AnnouncementGuard() { settleAnnouncement(root_, kept_); }

  void keep() noexcept { kept_ = true; }

 private:
  MsgBase* root_;
  bool kept_ = false;
};

template <typename V, typename = void>
struct HasVersionNumbers : std::false_type {};
template <typename V>
struct HasVersionNumbers<
    V, std::void_t<decltype(V::familyId), decltype(V::versionNo)>>
    : std::bool_constant<std::is_base_of_v<MsgBase, V>> {};

template <typename Newer, typename Older>
constexpr bool olderFits() {
  if constexpr (HasVersionNumbers<Newer>::value &&
                HasVersionNumbers<Older>::value) {
    return Older::familyId == Newer::familyId &&
           Older::versionNo < Newer::versionNo;
  } else {
    return false;
  }
}

template <typename V>
constexpr void checkVersion() {
  static_assert(HasVersionNumbers<V>::value,
                "a version class derives from MsgBase and declares static "
                "constexpr std::int32_t familyId and versionNo");
}

template <typename Newer, typename Older>
constexpr void checkOlder() {
  checkVersion<Newer>();
  checkVersion<Older>();
  static_assert(!HasVersionNumbers<Newer>::value ||
                    !HasVersionNumbers<Older>::value ||
                    olderFits<Newer, Older>(),
                "Older must be an older version (smaller versionNo) of the "
                "same family (same familyId) as the version being built");
}

}  // namespace detail

/// The body of a version's constructor when an older version lies below it:
///
///     Msg30_v2::Msg30_v2(MsgMap& links) : MsgBase(familyId, versionNo, links)
///     { tamberlo::buildOlder<Msg30_v1>(*this, &Msg30_v2::init); }
///
/// Records `self` in its `peer` map, builds `Older` from that map (so the
/// older version's `upstream` names `self`), stores it in `older`, then
/// calls `init`, which binds it.  If any step throws, the announcement that
/// `self`'s MsgBase part made (a root built from a map naming other
/// families) is taken back before the exception leaves, so no object that
/// existed before names the failed root.  Returns the older version.
template <typename Older, typename Self>
Older& buildOlder(Self& self, void (Self::*init)()) {
  detail::checkOlder<Self, Older>();
  static_assert(std::is_constructible_v<Older, MsgMap&>,
                "Older needs a constructor from MsgMap&");
  detail::AnnouncementGuard guard(self);
  self.peer[self.id] = &self;
  auto* older = new Older(self.peer);
  self.older[self.id] = older;
  (self.*init)();
  guard.keep();
  return *older;
}

/// The body of the oldest version's constructor, which builds nothing below
/// it: `tamberlo::buildOlder<void>(*this)`.  Records `self` in `peer` under
/// the same guard.
template <typename Older, typename Self>
void buildOlder(Self& self) {
  static_assert(std::is_void_v<Older>,
                "only the oldest version builds nothing below it, as "
                "buildOlder<void>(*this); a version with an older one passes "
                "its init: buildOlder<Older>(*this, &Self::init)");
  detail::checkVersion<Self>();
  detail::AnnouncementGuard guard(self);
  self.peer[self.id] = &self;
  guard.keep();
}

/// The next older version of `self`, typed, for `init` to bind:
/// `tamberlo::olderVersion<Msg15_v3>(*this)`.  buildOlder calls init only
/// once that version exists; called before, or after the `older` map was
/// rewritten to name something else, it terminates rather than hand out a
/// reference to nothing.
template <typename Older, typename Self>
Older& olderVersion(Self& self) noexcept {
  detail::checkOlder<Self, Older>();
  const auto found = self.older.find(self.id);
  MsgBase* older = found == self.older.end() ? nullptr : found->second;
  if (older == nullptr || older->id != Older::familyId ||
      older->version != Older::versionNo) {
    std::terminate();
  }
  return *static_cast<Older*>(older);
}

}  // namespace tamberlo

#endif  // TAMBERLO_CONSTRUCTION_H_
