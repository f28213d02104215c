/// \file
/// MsgBase: family id, version number and the links that join versions.
#ifndef TAMBERLO_MSG_BASE_H_
#define TAMBERLO_MSG_BASE_H_

#include <tamberlo/export.h>
#include <tamberlo/msg_map.h>

#include <cstdint>
#include <typeinfo>

class MsgBase;

namespace tamberlo::detail {

/// Ends the announcement that the MsgBase part of `root` made: it stands,
/// or every `roots` entry it wrote that still names `root` is restored.
/// Does nothing when `root` made none.  The record lives inside the
/// library, hence the export.
TAMBERLO_API void settleAnnouncement(MsgBase* root, bool stands) noexcept;

/// Forgets `object`, which is being destroyed: the class it was built as,
/// the announcement it made, and every name of it that another family's
/// object keeps through an announcement (a `roots` entry, an `upstream`
/// entry).  MsgBase's destructor calls it.
TAMBERLO_API void released(MsgBase* object) noexcept;

/// Whether `object` may be handed out as the class `type` (a
/// std::type_info, untyped so that the export names no standard type): it
/// was built as that class, or it was not built through buildOlder and its
/// class is unknown.
TAMBERLO_API bool builtAs(const MsgBase* object, const void* type) noexcept;

template <typename Owner, typename Member, typename Component>
struct NestedAccessors;  // <tamberlo/fields.h>

/// The identity a version is recorded with and looked up by, where the
/// compiler has run-time type information; without it none, and typed
/// lookups check nothing.
template <typename Version>
const void* typeOf() noexcept {
#if defined(__GXX_RTTI) || defined(_CPPRTTI)
  return &typeid(Version);
#else
  return nullptr;
#endif
}

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
  /// `versionNo`: `root->getVersion<Msg15_v2>()`.  Null, too, when the
  /// object found was built through buildOlder as another class (two
  /// classes sharing a family id): an object is handed out only as the
  /// class it was built as.  One a hand-wired constructor built is not
  /// recorded, and is handed out as asked.
  template <typename Version>
  Version* getVersion();

  ///@{
  /// Copies name the same objects as their source.
  MsgBase(const MsgBase&) = default;
  MsgBase& operator=(const MsgBase&) = default;
  ///@}
  ///@{
  /// Moving would empty the maps that the chain's other objects are named
  /// in while they still name this object, so a version is never moved: a
  /// version class's move, which this deletes, is ignored, and moving one
  /// copies it, leaving the source in its place.
  MsgBase(MsgBase&&) = delete;
  MsgBase& operator=(MsgBase&&) = delete;
  ///@}
  /// Destroys the maps, after the library forgets this object: a root
  /// whose construction failed (a member, an older version or `init`
  /// threw) takes back its announcement here, and no other family's object
  /// keeps naming a destroyed one.
  ~MsgBase() { tamberlo::detail::released(this); }

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

template <typename Version>
Version* MsgBase::getVersion() {
  MsgBase* found = getVersion(Version::familyId, Version::versionNo);
  const void* type = tamberlo::detail::typeOf<Version>();
  if (found == nullptr ||
      (type != nullptr && !tamberlo::detail::builtAs(found, type))) {
    return nullptr;
  }
  return static_cast<Version*>(found);
}

#endif  // TAMBERLO_MSG_BASE_H_
