/// \file
/// A lock compared with the classes as they are now: one line for each
/// change that breaks a client or a record of a released version, or
/// changes what a version shows, and none for the change that adding a
/// version makes.
#ifndef TAMBERLO_LOCK_COMPARE_H_
#define TAMBERLO_LOCK_COMPARE_H_

#include <tamberlo/lock_layout.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
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

// How far `at` lies beyond the end of the field before it in memory, or
// from the object's start for the first; with `at` one past the last, how
// far the object's size lies beyond the last field's end.
inline std::ptrdiff_t gapBefore(const std::vector<LockedField>& fields,
                                std::size_t objectSize, std::size_t at) {
  const std::size_t offset =
      at < fields.size() ? fields[at].offset : objectSize;
  std::size_t end = 0;
  for (const LockedField& other : fields) {
    if (other.offset < offset) end = std::max(end, other.offset + other.size);
  }
  return static_cast<std::ptrdiff_t>(offset) - static_cast<std::ptrdiff_t>(end);
}

// Compares one class or value struct with its lock.  Fields pair by name,
// or as a rename where a name is gone at a position that a new name now
// holds, unless the member of the old name is still there, left out of the
// field list.  A field removed, left out, inserted or moved changes the
// offsets of others and the class's size, so these are then not reported
// too; otherwise an offset is reported where the field no longer follows
// the field before it in memory as closely as it did (a plain member or
// padding came or went between them), and the size likewise after the
// last field.
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
    const std::string where = locked_.name + ": ";
    if (!locked_.isStruct && locked_.family != now_.family) {
      sayChanged(where, "family", std::to_string(locked_.family),
                 std::to_string(now_.family));
    }
    if (!locked_.isStruct && locked_.version != now_.version) {
      sayChanged(where, "version", std::to_string(locked_.version),
                 std::to_string(now_.version));
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
    if (layout_ && !structural_ &&
        gapBefore(locked_.fields, locked_.size, locked_.fields.size()) !=
            gapBefore(now_.fields, now_.size, now_.fields.size())) {
      sayChanged(where, "size", std::to_string(locked_.size),
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

  [[nodiscard]] std::size_t inNow(const LockedField& field) const {
    const std::size_t j = fieldIndex(now_.fields, field.name);
    return j == now_.fields.size() ? kNone : j;
  }
  [[nodiscard]] std::size_t inLock(const LockedField& field) const {
    const std::size_t i = fieldIndex(locked_.fields, field.name);
    return i == locked_.fields.size() ? kNone : i;
  }
  [[nodiscard]] bool leftOut(const LockedField& field) const {
    return std::find(now_.unlisted.begin(), now_.unlisted.end(), field.name) !=
           now_.unlisted.end();
  }
  [[nodiscard]] bool renamedAt(std::size_t k) const {
    return k < locked_.fields.size() && k < now_.fields.size() &&
           inNow(locked_.fields[k]) == kNone && !leftOut(locked_.fields[k]) &&
           inLock(now_.fields[k]) == kNone;
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
    if (gone(i) && leftOut(field)) {
      say({locked_.name, "::", field.name,
           ": still a member, left out of TAMBERLO_FIELDS"});
      return;
    }
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
    if (layout_ && !structural_ &&
        gapBefore(locked_.fields, locked_.size, i) !=
            gapBefore(now_.fields, now_.size, j)) {
      sayChanged(where, "offset", std::to_string(field.offset),
                 std::to_string(now.offset));
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
  std::vector<bool> moved_;  // for each field now
  bool structural_ = false;  // a field removed, left out, inserted or moved
};

// The value type of the field at `path` (`position.lat`) of class or value
// struct `name` in `lock`; empty where there is none.
inline std::string typeAt(const Lock& lock, const std::string& name,
                          std::string_view path) {
  const LockedClass* holder = findLocked(lock.classes, name);
  if (holder == nullptr) holder = findLocked(lock.structs, name);
  while (holder != nullptr) {
    const auto dot = path.find('.');
    const std::size_t at =
        fieldIndex(holder->fields, std::string(path.substr(0, dot)));
    if (at == holder->fields.size()) break;
    if (dot == std::string_view::npos) return holder->fields[at].type;
    holder = findLocked(lock.structs, holder->fields[at].type);
    path.remove_prefix(dot + 1);
  }
  return {};
}

// How many units in the last place two texts of one floating-point value
// may lie apart: a conversion compiled by another compiler, or run with
// another C library, may differ in its last bits.
inline constexpr int kLockUlps = 4;

template <typename F>
F parsedAs(const std::string& text, bool& parsed) {
  char* end = nullptr;
  F value{};
  if constexpr (std::is_same_v<F, float>) {
    value = std::strtof(text.c_str(), &end);
  } else if constexpr (std::is_same_v<F, double>) {
    value = std::strtod(text.c_str(), &end);
  } else {
    value = std::strtold(text.c_str(), &end);
  }
  parsed = parsed && !text.empty() && *end == '\0';
  return value;
}

// Whether two texts of an F lie within kLockUlps units in its last place;
// a NaN only of another NaN.
template <typename F>
bool closeFloats(const std::string& a, const std::string& b) {
  bool parsed = true;
  F x = parsedAs<F>(a, parsed);
  F y = parsedAs<F>(b, parsed);
  if (!parsed) return false;
  if (std::isnan(x) || std::isnan(y)) return std::isnan(x) && std::isnan(y);
  if (y < x) std::swap(x, y);
  for (int step = 0; step < kLockUlps && x < y; ++step) {
    x = std::nextafter(x, y);
  }
  return x == y;
}

// Whether two texts of a value of `type` show the same value.
inline bool sameShown(const std::string& type, const std::string& a,
                      const std::string& b) {
  if (a == b) return true;
  if (type == "float") return closeFloats<float>(a, b);
  if (type == "double") return closeFloats<double>(a, b);
  return type == "long double" && closeFloats<long double>(a, b);
}

// A line for each value of `locked` that `now` shows otherwise, read by the
// same version of a field of the same value type in both; `of` says of
// what.  A value that `now` lacks is left to the comparison of layouts
// and records.
inline void compareShown(const Lock& lockedLock, const Lock& nowLock,
                         const std::vector<LockedValue>& locked,
                         const std::vector<LockedValue>& now,
                         std::string_view of,
                         std::vector<std::string>& changes) {
  for (const LockedValue& value : locked) {
    const auto match = std::find_if(now.begin(), now.end(), [&](const auto& v) {
      return v.reader == value.reader && v.field == value.field;
    });
    if (match == now.end()) continue;
    const std::string type = typeAt(lockedLock, value.reader, value.field);
    if (type.empty() || type != typeAt(nowLock, value.reader, value.field) ||
        sameShown(type, value.text, match->text)) {
      continue;
    }
    std::string line = value.reader;
    line += "::";
    line += value.field;
    line += ' ';
    line += of;
    line += ": ";
    line += value.text + " in the lock, " + match->text + " now";
    changes.push_back(std::move(line));
  }
}

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

// Every change from `locked` to `now` that breaks a released version or
// changes what one shows, one line each, in the lock's order.  Offsets and
// sizes are compared only where both were taken on the same target.
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
      compareShown(locked, now, released.defaults, current->defaults,
                   "of a fresh chain", changes);
      compareShown(locked, now, released.reads, current->reads,
                   "of the record of " + released.name, changes);
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
