/// \file
/// MsgBase: family id, version number and the links that join versions.
#ifndef TAMBERLO_MSG_BASE_H_
#define TAMBERLO_MSG_BASE_H_

#include <tamberlo/export.h>
#include <tamberlo/identity.h>
#include <tamberlo/msg_map.h>

#include <cstdint>

class MsgBase;

namespace tamberlo::detail {

/// Takes `object`, which is being destroyed, out of the graph it is part
/// of: its announcement, and the roots joined through it, which leave the
/// graph with it, so that no object that remains names it.  Reads only the
/// object's own maps and the objects they name; a copy, whose `peer` names
/// its source, is left alone.  MsgBase's destructor calls it.
TAMBERLO_API void released(MsgBase* object) noexcept;

/// getVersion, checked: the object found, or null; std::logic_error
/// (tamberlo::WrongVersion, <tamberlo/wrong_version.h>) naming `asked` when
/// the library built that object as a class of another fingerprint than
/// `fingerprint`.
TAMBERLO_API MsgBase* findVersion(MsgBase& from, std::int32_t familyId,
                                  std::int32_t versionNo,
                                  Fingerprint fingerprint,
                                  const ClassId& asked);

template <typename Owner, typename Member, typename Component>
struct NestedAccessors;  // <tamberlo/fields.h>

}  // namespace tamberlo::detail

/// Base of every message version.  Not polymorphic: the factory and
/// getVersion hand out MsgBase pointers; getVersion<Version>() casts to the
/// class it was asked for.  The library frees versions only for an owner
/// (tamberlo::Chain); the chains of the factory live until the process
/// ends.
class TAMBERLO_API MsgBase {
 public:
  std::int32_t id;       ///< family id
  std::int32_t version;  ///< version number within the family
  MsgMap older;          ///< own id -> next older version (null in the oldest)
  MsgMap upstream;       ///< copy of the map the constructor received
  MsgMap peer;           ///< own id -> this; handed to the next older version
  MsgMap roots;          ///< family id -> root that answers getVersion for it

  /// A new root of family 15 or 16 with its whole chain, or null for any
  /// other family.  Each call builds a fresh chain that lives until the
  /// process ends; `tamberlo::Chain` (<tamberlo/chain.h>) builds one that
  /// its owner frees.
  static MsgBase* getInstance(int type);

  /// The version object of family `familyId`, number `versionNo`, that is
  /// reachable from this object, or null.  Leaves null entries behind in the
  /// maps it looks up.
  MsgBase* getVersion(std::int32_t familyId, std::int32_t versionNo);

  /// getVersion for a version class, which states its own `familyId` and
  /// `versionNo`: `root->getVersion<Msg15_v2>()`.  An object that the
  /// library built through buildOlder is handed out only as the class it
  /// was built as: when its layout fingerprint differs from Version's as
  /// this code was compiled (another class of the same numbers, or a
  /// client compiled against another layout of Version), it throws
  /// tamberlo::WrongVersion naming Version.  An object whose constructor
  /// was wired by hand records nothing, and is handed out as asked.
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
  /// Destroys the maps, after taking this object out of its graph: a root
  /// whose construction failed (a member, an older version or `init`
  /// threw) takes back its announcement here, and no other family's object
  /// keeps naming a destroyed one.  A copy changes nothing.
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
  return static_cast<Version*>(tamberlo::detail::findVersion(
      *this, Version::familyId, Version::versionNo,
      tamberlo::detail::kFingerprint<Version>,
      tamberlo::detail::kClassId<Version>));
}

#endif  // TAMBERLO_MSG_BASE_H_
