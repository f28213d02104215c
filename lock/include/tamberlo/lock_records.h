// Records in a lock: one record of each locked version, its values set from
// each field's position and type, and what every version of its family
// shows once it is read into a fresh chain.
#ifndef TAMBERLO_LOCK_RECORDS_H_
#define TAMBERLO_LOCK_RECORDS_H_

#include <tamberlo/fields.h>
#include <tamberlo/lock_layout.h>
#include <tamberlo/lock_main.h>
#include <tamberlo/lock_values.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/record_error.h>
#include <tamberlo/record_read.h>
#include <tamberlo/record_types.h>
#include <tamberlo/record_write.h>

#include <cstddef>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tamberlo {
namespace detail {

template <typename List>
struct AllFieldsHeld;

// Whether records hold values of type T, as checkRecordField decides, but
// as a value: a lock writes records of the classes that have them only.
template <typename T>
constexpr bool recordHolds() {
  if constexpr (std::is_enum_v<T>) {
    return kHasFixedUnderlyingType<T>;
  } else if constexpr (hasFields<T>) {
    return AllFieldsHeld<decltype(fieldsOf<T>())>::value;
  } else {
    return std::is_same_v<T, bool> || kIsRecordInteger<T> ||
           std::is_same_v<T, float> || std::is_same_v<T, double> ||
           std::is_same_v<T, std::string>;
  }
}

template <typename Class, typename... Elements>
struct AllFieldsHeld<FieldList<Class, Elements...>> {
  static constexpr bool value = (recordHolds<ElementValueT<Elements>>() && ...);
};

template <typename Object>
void setLockValues(Object& object);

// The value of the field at `position` (from 1) in a lock's record: small
// and distinct, so that it passes the family's conversions both ways and a
// field read in another's place shows.
template <typename T>
T lockValue(std::size_t position) {
  if constexpr (std::is_same_v<T, bool>) {
    return position % 2 == 1;
  } else if constexpr (std::is_enum_v<T>) {
    return static_cast<T>(static_cast<std::underlying_type_t<T>>(position));
  } else if constexpr (std::is_same_v<T, std::string>) {
    return std::to_string(position);
  } else if constexpr (hasFields<T>) {
    T value{};
    setLockValues(value);
    return value;
  } else {
    return static_cast<T>(position);
  }
}

// Writes every listed field of `object` through its element.
template <typename Object>
void setLockValues(Object& object) {
  std::size_t position = 0;
  forEachField(object, [&](std::string_view /*name*/, auto& element) {
    using Value = ElementValueT<std::remove_reference_t<decltype(element)>>;
    element.set(lockValue<Value>(++position));
  });
}

// Reads a record as one of Held, the classes whose records exist.
template <typename... Held>
struct LockRecordReader {
  static void read(MsgBase* root, std::string_view text) {
    if constexpr (sizeof...(Held) > 0) readJson<Held...>(root, text);
  }
};

template <typename Reader, typename... Classes>
struct HeldReader {
  using type = Reader;
};
template <typename... Held, typename Class, typename... Rest>
struct HeldReader<LockRecordReader<Held...>, Class, Rest...> {
  using type = typename HeldReader<
      std::conditional_t<recordHolds<Class>(), LockRecordReader<Held..., Class>,
                         LockRecordReader<Held...>>,
      Rest...>::type;
};

template <typename Version, typename... Classes>
void writeLockRecord(Lock& lock) {
  if constexpr (recordHolds<Version>()) {
    const auto fresh = LockFamilies<Classes...>::freshChain(Version::familyId);
    auto* version = fresh.root->template getVersion<Version>();
    setLockValues(*version);
    for (LockedClass& locked : lock.classes) {
      if (locked.name == fieldsOf<Version>().className) {
        locked.record = toJson(*version);
      }
    }
  }
}

// Adds to `into` what version Reading shows once a record of `recordClass`
// was read into `root`'s chain, or a line to `changes` where reading it
// fails.
template <typename Reading>
void addReadThrough(MsgBase* root, const std::string& recordClass,
                    LockedClass& into, std::vector<std::string>& changes) {
  auto* reading = root->getVersion<Reading>();
  if (reading == nullptr) return;  // reported as not reachable
  try {
    const std::vector<LockedValue> shown = shownBy(*reading);
    into.reads.insert(into.reads.end(), shown.begin(), shown.end());
  } catch (const std::exception& error) {
    changes.push_back(std::string(fieldsOf<Reading>().className) +
                      ": reading the locked record of " + recordClass +
                      " fails: " + error.what());
  }
}

// Reads the record that `released` holds into a fresh chain of its family,
// then adds to `into` what every version of the family shows of it; or a
// line where the record no longer reads.
template <typename Version, typename... Classes>
void readLockRecord(const LockedClass& released, LockedClass& into,
                    std::vector<std::string>& changes) {
  const std::string& name = released.name;
  const std::string noLonger = name + ": the locked record no longer reads: ";
  if constexpr (!recordHolds<Version>()) {
    changes.push_back(noLonger + "a field's type is one records do not hold");
  } else {
    using Reader = typename HeldReader<LockRecordReader<>, Classes...>::type;
    const auto fresh = LockFamilies<Classes...>::freshChain(Version::familyId);
    MsgBase* root = fresh.root;
    try {
      Reader::read(root, released.record);
    } catch (const std::exception& error) {
      // The class is named once.
      const std::string prefix =
          recordOf(released.family, released.version, name) + ": ";
      std::string what = error.what();
      if (what.compare(0, prefix.size(), prefix) == 0) {
        what.erase(0, prefix.size());
      }
      changes.push_back(noLonger + what);
      return;
    }
    ((Classes::familyId == Version::familyId
          ? addReadThrough<Classes>(root, name, into, changes)
          : void()),
     ...);
  }
}

}  // namespace detail

/// The records part of a lock test built with Tamberlo::records: the lock
/// holds one record of each version whose fields records hold, and what
/// every version of the family shows once it is read.
struct LockRecords {
  /// Adds to `lock` a record of each version of `Classes` that records
  /// hold: every field written through the version's elements, with its
  /// position counted from 1 (as a number, its text, an enumerator of that
  /// value, true for odd positions; a value struct's fields by their own
  /// positions), then read back as toJson writes it; and what every
  /// version of the family shows once that record is read into a fresh
  /// chain.  Throws std::runtime_error where a record does not read.
  template <typename... Classes>
  static void write(detail::Lock& lock) {
    (detail::writeLockRecord<Classes, Classes...>(lock), ...);
    std::vector<std::string> changes;
    std::vector<std::string> notes;
    read<Classes...>(lock, lock, changes, notes);
    if (!changes.empty()) throw std::runtime_error(changes.front());
  }

  /// Reads each record of `locked` with readJson over those of `Classes`
  /// that records hold, into a fresh chain of its family, and adds what
  /// every version of the family then shows to that class in `now`; adds
  /// a line to `changes` for a record that no longer reads, or where a
  /// version fails to read it.  A record of a class missing from `Classes`
  /// is left to the layout's comparison.
  template <typename... Classes>
  static void read(const detail::Lock& locked, detail::Lock& now,
                   std::vector<std::string>& changes,
                   std::vector<std::string>& notes) {
    bool any = false;
    for (const detail::LockedClass& released : locked.classes) {
      if (released.record.empty()) continue;
      any = true;
      for (detail::LockedClass& current : now.classes) {
        if (current.name != released.name) continue;
        ((fieldsOf<Classes>().className == released.name
              ? detail::readLockRecord<Classes, Classes...>(released, current,
                                                            changes)
              : void()),
         ...);
      }
    }
    if (!any && (detail::recordHolds<Classes>() || ...)) {
      notes.emplace_back(
          "the lock holds no records: it was written without "
          "Tamberlo::records; rewriting it adds them");
    }
  }
};

}  // namespace tamberlo

#endif  // TAMBERLO_LOCK_RECORDS_H_
