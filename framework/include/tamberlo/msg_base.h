/// \file
/// MsgBase: family id, version number and the links that join versions.
#ifndef TAMBERLO_MSG_BASE_H_
#define TAMBERLO_MSG_BASE_H_

#include <tamberlo/export.h>
#include <tamberlo/msg_map.h>

#include <cstdint>

class MsgBase;

namespace tamberlo::detail {

/// Ends the announcement that the MsgBase part of `root` made while it was
/// built on this thread: it stands, or every `roots` entry it wrote that
/// still names `root` is restored.  Does nothing when `root` has none
/// pending.  The record lives inside the library, hence the export.
TAMBERLO_API void settleAnnouncement(MsgBase* root, bool stands) noexcept;

/// Whether `object` may have an announcement pending: only a root built
/// from a map naming another family announces itself.  Told from the map
/// it was built from, without a call into the library.
inline bool mayBeAnnounced(const MsgBase& object) noexcept;

template <typename Owner, typename Member, typename Component>
struct NestedAccessors;  // <tamberlo/fields.h>

}  // namespace tamberlo::detail

/// Base of every message version.  Not polymorphic: the factory and
/// getVersion hand out MsgBase pointers; getVersion<Version>() casts to the
/// class it was asked for.  Version objects are never freed by the library.
class TAMBERLO_API MsgBase {
 public:
  std::int32_t id;       ///< family id
  std::int32_t version;  ///< version number within the family
  MsgMap older;          ///< own id -> next older version (null in the oldest)
  MsgMap upstream;       ///< copy of the map the constructor received
  MsgMap peer;           ///< own id -> this; handed to the next older version
  MsgMap roots;          ///< family id -> root that answers getVersion for it

  /// A new root of family 15 or 16 with its whole chain, or null for any
  /// other family.  Each call builds a fresh chain that is never freed.
  static MsgBase* getInstance(int type);

  /// The version object of family `familyId`, number `versionNo`, that is
  /// reachable from this object, or null.  Leaves null entries behind in the
  /// maps it looks up.
  MsgBase* getVersion(std::int32_t familyId, std::int32_t versionNo);

  /// getVersion for a version class, which states its own `familyId` and
  /// `versionNo`: `root->getVersion<Msg15_v2>()`.  Taking both numbers from
  /// the class keeps the request and the cast from disagreeing.
  template <typename Version>
  Version* getVersion() {
    return static_cast<Version*>(
        getVersion(Version::familyId, Version::versionNo));
  }

  ///@{
  /// Copies name the same objects as their source.
  MsgBase(const MsgBase&) = default;
  MsgBase(MsgBase&&) = default;
  MsgBase& operator=(const MsgBase&) = default;
  MsgBase& operator=(MsgBase&&) = default;
  ///@}
  /// Destroys the maps.  A root whose construction failed after this part
  /// was built (a member, an older version or `init` threw) is destroyed
  /// here first, so this is where its announcement is taken back.
  ~MsgBase() {
    if (tamberlo::detail::mayBeAnnounced(*this)) {
      tamberlo::detail::settleAnnouncement(this, false);
    }
  }

  /// Replaces `older` with a copy of `links`; the library never calls it.
  void setOlder(MsgMap& links) { older = links; }
  /// Replaces `peer` with a copy of `links`; the library never calls it.
  void setPeer(MsgMap& links) { peer = links; }

 protected:
  /// Records a root built from an empty map as its own family's root, or
  /// announces it to every other family's object named in `links`.
  MsgBase(std::int32_t familyId, std::int32_t versionNo, MsgMap& links);

  /// Announces `root` as the root of family `familyId`: passed up every
  /// non-null `upstream` entry, recorded in `roots` where there is none.
  void setRoot(MsgBase* root, std::int32_t familyId);

 private:
  // The accessor pair of a nested bind onto a member that forwards: an
  // accessor form needs member functions of the version, and these are the
  // ones every version has.  `Access`, instantiated by the binding
  // version's code, says which member and component.  No layout, vtable or
  // export changes: they are templates, compiled where they are bound.
  template <typename Access>
  typename Access::Value& forwardedGet() {
    return Access::get(*this);
  }
  template <typename Access>
  void forwardedSet(typename Access::Value v) {
    Access::set(*this, v);
  }
  template <typename Owner, typename Member, typename Component>
  friend struct tamberlo::detail::NestedAccessors;
};

inline bool tamberlo::detail::mayBeAnnounced(const MsgBase& object) noexcept {
  // A loop rather than std::any_of: this header is in every client's
  // includes, and <algorithm> is large.
  // NOLINTNEXTLINE(readability-use-anyofallof)
  for (const auto& [key, named] : object.upstream) {
    if (key != object.id && named != nullptr) return true;
  }
  return false;
}

#endif  // TAMBERLO_MSG_BASE_H_
