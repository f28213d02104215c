// AnnouncementGuard: takes back a root's announcement if its constructor
// fails.  Internal to the library.
#ifndef TAMBERLO_ANNOUNCEMENT_H_
#define TAMBERLO_ANNOUNCEMENT_H_

#include <exception>

class MsgBase;

/// Put first in the body of a version class's constructor.  A root built
/// from a map has announced itself to other objects in its MsgBase part; if
/// the rest of the constructor throws (building the chain allocates), the
/// guard restores every `roots` entry that the announcement wrote, so no
/// object that existed before points at the freed root.
class AnnouncementGuard {
 public:
  explicit AnnouncementGuard(MsgBase* root) noexcept
      : root_(root), uncaught_(std::uncaught_exceptions()) {}
  AnnouncementGuard(const AnnouncementGuard&) = delete;
  AnnouncementGuard& operator=(const AnnouncementGuard&) = delete;
  ~AnnouncementGuard();

 private:
  MsgBase* root_;
  int uncaught_;
};

#endif  // TAMBERLO_ANNOUNCEMENT_H_
