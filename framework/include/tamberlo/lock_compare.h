/// \file
/// A lock compared with the classes as they are now: one line for each
/// change that breaks a client or a record of a released version, and none
/// for the change that adding a version makes.
#ifndef TAMBERLO_LOCK_COMPARE_H_
#define TAMBERLO_LOCK_COMPARE_H_

#include <tamberlo/lock_layout.h>

#include <algorithm>
#include <cstddef>
#include <string>
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

inline std::string lockedAndNow(const std::string& locked,
                                const std::string& now) {
  return locked + " in the lock, " + now + " now";
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
                  bool superseded, bool layout)
      : locked_(locked), now_(now), superseded_(superseded), layout_(layout) {}

  void run(std::vector<std::string>& changes) {
    const std::string& name = locked_.name;
    if (!locked_.isStruct &&
        (locked_.family != now_.family || locked_.version != now_.version)) {
      changes.push_back(name + ": " +
                        lockedAndNow(numbers(locked_), numbers(now_)));
    }
    const std::vector<bool> moved = movedFields();
    bool structural =
        std::find(moved.begin(), moved.end(), true) != moved.end();
    for (std::size_t j = 0; j < now_.fields.size(); ++j) {
      structural =
          structural || (inLock(now_.fields[j]) == npos_ && !renamedAt(j));
    }
    for (std::size_t i = 0; i < locked_.fields.size(); ++i) {
      structural =
          structural || (inNow(locked_.fields[i]) == npos_ && !renamedAt(i));
    }
    long long shift = 0;  // how far the fields so far moved the next one
    for (std::size_t i = 0; i < locked_.fields.size(); ++i) {
      const LockedField& field = locked_.fields[i];
      const std::string where = name + "::" + field.name + ": ";
      std::size_t j = inNow(field);
      if (renamedAt(i)) {
        j = i;
        changes.push_back(where + "renamed to " + now_.fields[j].name);
      } else if (j == npos_) {
        changes.push_back(name + ": field " + field.name + " removed");
        continue;
      } else if (moved[j]) {
        changes.push_back(where +
                          lockedAndNow("position " + std::to_string(i + 1),
                                       std::to_string(j + 1)));
      }
      compareField(field, now_.fields[j], where, changes);
      if (layout_ && !structural) {
        const auto offset = static_cast<long long>(now_.fields[j].offset) -
                            static_cast<long long>(field.offset);
        if (offset != shift) {
          changes.push_back(
              where + lockedAndNow("offset " + std::to_string(field.offset),
                                   std::to_string(now_.fields[j].offset)));
        }
        shift = offset + static_cast<long long>(now_.fields[j].size) -
                static_cast<long long>(field.size);
      }
    }
    for (std::size_t j = 0; j < now_.fields.size(); ++j) {
      if (inLock(now_.fields[j]) == npos_ && !renamedAt(j)) {
        changes.push_back(name + ": field " + now_.fields[j].name +
                          " inserted");
      }
    }
    if (layout_ && !structural &&
        static_cast<long long>(now_.size) -
                static_cast<long long>(locked_.size) !=
            shift) {
      changes.push_back(name + ": " +
                        lockedAndNow("size " + std::to_string(locked_.size),
                                     std::to_string(now_.size)));
    }
  }

 private:
  static std::string numbers(const LockedClass& c) {
    return "family " + std::to_string(c.family) + " version " +
           std::to_string(c.version);
  }

  std::size_t inNow(const LockedField& field) const {
    const std::size_t j = fieldIndex(now_.fields, field.name);
    return j == now_.fields.size() ? npos_ : j;
  }
  std::size_t inLock(const LockedField& field) const {
    const std::size_t i = fieldIndex(locked_.fields, field.name);
    return i == locked_.fields.size() ? npos_ : i;
  }
  bool renamedAt(std::size_t k) const {
    return k < locked_.fields.size() && k < now_.fields.size() &&
           inNow(locked_.fields[k]) == npos_ && inLock(now_.fields[k]) == npos_;
  }

  // For each field now, whether it moved among the fields that kept their
  // names.
  std::vector<bool> movedFields() const {
    std::vector<std::size_t> locked;  // indices now, in the lock's order
    std::vector<std::size_t> now;     // the same, in their order now
    for (const LockedField& field : locked_.fields) {
      if (inNow(field) != npos_) locked.push_back(inNow(field));
    }
    for (std::size_t j = 0; j < now_.fields.size(); ++j) {
      if (inLock(now_.fields[j]) != npos_) now.push_back(j);
    }
    const std::vector<bool> kept = keptInOrder(locked, now);
    std::vector<bool> moved(now_.fields.size(), false);
    for (std::size_t k = 0; k < now.size(); ++k) moved[now[k]] = !kept[k];
    return moved;
  }

  // A stored element of the version that a newer one superseded may now
  // forward; its size changes with that.
  void compareField(const LockedField& locked, const LockedField& now,
                    const std::string& where,
                    std::vector<std::string>& changes) const {
    const bool retyped = locked.type != now.type;
    if (retyped) {
      changes.push_back(where +
                        lockedAndNow("value type " + locked.type, now.type));
    }
    const bool forwardsNow = superseded_ && locked.kind == "stored";
    if (locked.kind != now.kind && !forwardsNow) {
      changes.push_back(where +
                        lockedAndNow("element kind " + locked.kind, now.kind));
    }
    if (layout_ && !retyped && locked.kind == now.kind &&
        locked.size != now.size) {
      changes.push_back(where +
                        lockedAndNow("size " + std::to_string(locked.size),
                                     std::to_string(now.size)));
    }
  }

  static constexpr std::size_t npos_ = static_cast<std::size_t>(-1);
  const LockedClass& locked_;
  const LockedClass& now_;
  bool superseded_;
  bool layout_;
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
                      layout)
          .run(changes);
    }
  }
  for (const LockedClass& released : locked.structs) {
    if (const LockedClass* current = findLocked(now.structs, released.name)) {
      ClassComparison(released, *current, false, layout).run(changes);
    }
  }
  return changes;
}

}  // namespace tamberlo::detail

#endif  // TAMBERLO_LOCK_COMPARE_H_
