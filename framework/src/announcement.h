// AnnouncementGuard: takes back a root's announcement if its constructor
// fails.  Internal to the library.
#ifndef TAMBERLO_ANNOUNCEMENT_H_
#define TAMBERLO_ANNOUNCEMENT_H_

class MsgBase;

/// Put first in the body of a version class's constructor, and call keep()
/// last.  A root built from a map has announced itself to other objects in
/// its MsgBase part; if the rest of the constructor throws (building the
/// chain allocates), the guard restores every `roots` entry that the
/// announcement wrote, so no object that existed before points at the
/// freed root.
class AnnouncementGuard {
 public:
  explicit AnnouncementGuard(MsgBase* root) noexcept;
  AnnouncementGuard(const AnnouncementGuard&) = delete;
  AnnouncementGuard& operator=(const AnnouncementGuard&) = delete;
  ~AnnouncementGuard();

  /// The constructor has succeeded: the announcement stands.
  void keep() noexcept;

 private:
  MsgBase* root_ = nullptr;  ///< null when there is nothing to take back
};

#endif  // TAMBERLO_ANNOUNCEMENT_H_
