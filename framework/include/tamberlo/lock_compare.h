/// \file
/// A lock compared with the classes as they are now: one line for each
/// change that breaks a client or a record of a released version, and none
/// for the change that adding a version makes.
#ifndef TAMBERLO_LOCK_COMPARE_H_
#define TAMBERLO_LOCK_COMPARE_H_

#include <tamberlo/lock_layout.h>

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tamberlo::detail {

inline const LockedClass* findLocked(const std::vector<LockedClass>& classes,
                                     const std::string& name) {
  const auto at =
      std::find_if(classes.begin(), classes.end(),
                   [&](const LockedClass& c) { return c.name == name; });
  return at == classes.end() ? nullptr : &*at;
}

inline std::size_t fieldIndex(const std::vector<LockedField>& fields,
                              const std::string& name) {
  const auto at =
      std::find_if(fields.begin(), fields.end(),
                   [&](const LockedField& f) { return f.name == name; });
  return static_cast<std::size_t>(at - fields.begin());
}

// For each of `now`'s items, whether it is in a longest subsequence common
// to `locked` and `now`, which hold the same items: the items that did not
// move.
inline std::vector<bool> keptInOrder(const std::vector<std::size_t>& locked,
                                     const std::vector<std::size_t>& now) {
  const std::size_t n = locked.size();
  // Lengths of the longest common subsequences of the suffixes.
  std::vector<std::vector<std::size_t>> longest(
      n + 1, std::vector<std::size_t>(n + 1, 0));
  for (std::size_t i = n; i-- > 0;) {
    for (std::size_t j = n; j-- > 0;) {
      longest[i][j] = locked[i] == now[j]
                          ? longest[i + 1][j + 1] + 1
                          : std::max(longest[i + 1][j], longest[i][j + 1]);
    }
  }
  std::vector<bool> kept(n, false);
  for (std::size_t i = 0, j = 0; i < n && j < n;) {
    if (locked[i] == now[j]) {
      kept[j] = true;
      ++i;
      ++j;
    } else if (longest[i + 1][j] >= longest[i][j + 1]) {
      ++i;
    } else {
      ++j;
    }
  }
  return kept;
}

// Compares one class or value struct with its lock.  Fields pair by name,
// or as a rename where a name is gone at a position that a new name now
// holds.  A field removed, inserted or moved changes the offsets of others
// and the class's size, so these are then not reported too; otherwise an
// offset is reported where it moved by more than the fields before it
// grew, and the size where it changed by more than its fields did.
class ClassComparison {
 public:
  ClassComparison(const LockedClass& locked, const LockedClass& now,
                  bool superseded, bool layout,
                  std::vector<std::string>& changes)
      : locked_(locked),
        now_(now),
        superseded_(superseded),
        layout_(layout),
        changes_(changes) {}

  void run() {
    if (!locked_.isStruct &&
        (locked_.family != now_.family || locked_.version != now_.version)) {
      say({locked_.name, ": ", numbers(locked_), " in the lock, ",
           numbers(now_), " now"});
    }
    moved_ = movedFields();
    structural_ = false;
    for (const bool moved : moved_) structural_ = structural_ || moved;
    for (std::size_t i = 0; i < locked_.fields.size(); ++i) {
      structural_ = structural_ || gone(i);
    }
    for (std::size_t j = 0; j < now_.fields.size(); ++j) {
      structural_ = structural_ || added(j);
    }
    for (std::size_t i = 0; i < locked_.fields.size(); ++i) compareLocked(i);
    for (std::size_t j = 0; j < now_.fields.size(); ++j) {
      if (added(j)) {
        say({locked_.name, ": field ", now_.fields[j].name, " inserted"});
      }
    }
    if (layout_ && !structural_ && delta(now_.size, locked_.size) != shift_) {
      sayChanged(locked_.name + ": ", "size", std::to_string(locked_.size),
                 std::to_string(now_.size));
    }
  }

 private:
  // Adds the line made of `parts`.
  void say(std::initializer_list<std::string_view> parts) {
    std::string line;
    for (const std::string_view part : parts) line += part;
    changes_.push_back(std::move(line));
  }
  void sayChanged(std::string_view where, std::string_view what,
                  std::string_view locked, std::string_view now) {
    say({where, what, " ", locked, " in the lock, ", now, " now"});
  }

  static std::string numbers(const LockedClass& c) {
    return "family " + std::to_string(c.family) + " version " +
           std::to_string(c.version);
  }

  static std::ptrdiff_t delta(std::size_t now, std::size_t locked) {
    return static_cast<std::ptrdiff_t>(now) -
           static_cast<std::ptrdiff_t>(locked);
  }

  [[nodiscard]] std::size_t inNow(const LockedField& field) const {
    const std::size_t j = fieldIndex(now_.fields, field.name);
    return j == now_.fields.size() ? kNone : j;
  }
  [[nodiscard]] std::size_t inLock(const LockedField& field) const {
    const std::size_t i = fieldIndex(locked_.fields, field.name);
    return i == locked_.fields.size() ? kNone : i;
  }
  [[nodiscard]] bool renamedAt(std::size_t k) const {
    return k < locked_.fields.size() && k < now_.fields.size() &&
           inNow(locked_.fields[k]) == kNone && inLock(now_.fields[k]) == kNone;
  }
  // Field i of the lock, gone with no rename; field j now, new.
  [[nodiscard]] bool gone(std::size_t i) const {
    return inNow(locked_.fields[i]) == kNone && !renamedAt(i);
  }
  [[nodiscard]] bool added(std::size_t j) const {
    return inLock(now_.fields[j]) == kNone && !renamedAt(j);
  }

  // For each field now, whether it moved among the fields that kept their
  // names.
  [[nodiscard]] std::vector<bool> movedFields() const {
    std::vector<std::size_t> locked;  // indices now, in the lock's order
    std::vector<std::size_t> now;     // the same, in their order now
    for (const LockedField& field : locked_.fields) {
      if (inNow(field) != kNone) locked.push_back(inNow(field));
    }
    for (std::size_t j = 0; j < now_.fields.size(); ++j) {
      if (inLock(now_.fields[j]) != kNone) now.push_back(j);
    }
    const std::vector<bool> kept = keptInOrder(locked, now);
    std::vector<bool> moved(now_.fields.size(), false);
    for (std::size_t k = 0; k < now.size(); ++k) moved[now[k]] = !kept[k];
    return moved;
  }

  void compareLocked(std::size_t i) {
    const LockedField& field = locked_.fields[i];
    if (gone(i)) {
      say({locked_.name, ": field ", field.name, " removed"});
      return;
    }
    const std::size_t j = renamedAt(i) ? i : inNow(field);
    const LockedField& now = now_.fields[j];
    const std::string where = locked_.name + "::" + field.name + ": ";
    if (renamedAt(i)) {
      say({where, "renamed to ", now.name});
    } else if (moved_[j]) {
      sayChanged(where, "position", std::to_string(i + 1),
                 std::to_string(j + 1));
    }
    compareField(field, now, where);
    if (layout_ && !structural_) {
      const std::ptrdiff_t offset = delta(now.offset, field.offset);
      if (offset != shift_) {
        sayChanged(where, "offset", std::to_string(field.offset),
                   std::to_string(now.offset));
      }
      shift_ = offset + delta(now.size, field.size);
    }
  }

  // A stored element of the version that a newer one superseded may now
  // forward; its size changes with that.
  void compareField(const LockedField& locked, const LockedField& now,
                    const std::string& where) {
    const bool retyped = locked.type != now.type;
    if (retyped) {
      sayChanged(where, "value type", locked.type, now.type);
    }
    const bool forwardsNow = superseded_ && locked.kind == "stored";
    if (locked.kind != now.kind && !forwardsNow) {
      sayChanged(where, "element kind", locked.kind, now.kind);
    }
    if (layout_ && !retyped && locked.kind == now.kind &&
        locked.size != now.size) {
      sayChanged(where, "size", std::to_string(locked.size),
                 std::to_string(now.size));
    }
  }

  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  const LockedClass& locked_;
  const LockedClass& now_;
  bool superseded_;
  bool layout_;
  std::vector<std::string>& changes_;
  std::vector<bool> moved_;   // for each field now
  bool structural_ = false;   // a field removed, inserted or moved
  std::ptrdiff_t shift_ = 0;  // how far the fields so far moved the next
};

// Whether adding a version superseded `released`: it is the newest version
// of its family in the lock, and a newer one is among the classes now.
inline bool superseded(const Lock& locked, const Lock& now,
                       const LockedClass& released) {
  const auto newer = [&](const LockedClass& other) {
    return other.family == released.family && other.version > released.version;
  };
  return std::none_of(locked.classes.begin(), locked.classes.end(), newer) &&
         std::any_of(now.classes.begin(), now.classes.end(), newer);
}

// Every change from `locked` to `now` that breaks a released version, one
// line each, in the lock's order.  Offsets and sizes are compared only
// where both were taken on the same target.
inline std::vector<std::string> compareLocks(const Lock& locked,
                                             const Lock& now) {
  std::vector<std::string> changes;
  const bool layout = locked.target == now.target;
  for (const LockedClass& released : locked.classes) {
    const LockedClass* current = findLocked(now.classes, released.name);
    if (current == nullptr) {
      changes.push_back(released.name + ": released, now missing from CLASSES");
    } else {
      ClassComparison(released, *current, superseded(locked, now, released),
                      layout, changes)
          .run();
    }
  }
  for (const LockedClass& released : locked.structs) {
    if (const LockedClass* current = findLocked(now.structs, released.name)) {
      ClassComparison(released, *current, false, layout, changes).run();
    }
  }
  return changes;
}

}  // namespace tamberlo::detail

#endif  // TAMBERLO_LOCK_COMPARE_H_
