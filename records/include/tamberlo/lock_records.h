// Records in a lock: one record of each locked version, its values set from
// each field's position and type, and the check that every version now
// reads it and that the locked version gives its fields back.
#ifndef TAMBERLO_LOCK_RECORDS_H_
#define TAMBERLO_LOCK_RECORDS_H_

#include <tamberlo/fields.h>
#include <tamberlo/lock_layout.h>
#include <tamberlo/lock_main.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/msg_map.h>
#include <tamberlo/record_error.h>
#include <tamberlo/record_read.h>
#include <tamberlo/record_types.h>
#include <tamberlo/record_write.h>
#include <tamberlo/to_string.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <tuple>
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
    auto* version = LockFamilies<Classes...>::freshRoot(Version::familyId)
                        ->template getVersion<Version>();
    setLockValues(*version);
    for (LockedClass& locked : lock.classes) {
      if (locked.name == fieldsOf<Version>().className) {
        locked.record = toJson(*version);
      }
    }
  }
}

// A floating-point value read back counts as written within this share of
// its size (or of 1, for a small one): the family's conversions may round
// it.
inline constexpr double kLockRecordTolerance = 1e-4;

template <typename T>
bool sameLockValue(const T& written, const T& read) {
  if constexpr (std::is_floating_point_v<T>) {
    const auto w = static_cast<double>(written);
    return std::fabs(w - static_cast<double>(read)) <=
           kLockRecordTolerance * std::max(1.0, std::fabs(w));
  } else {
    return written == read;
  }
}

template <typename Object>
void compareLockFields(Object& written, Object& read, const std::string& path,
                       std::vector<std::string>& changes);

// A line where `read` does not give back `written`, as toString shows
// them; `where` names the field.
template <typename T>
void compareLockValue(T& written, T& read, const std::string& where,
                      std::vector<std::string>& changes) {
  if constexpr (hasFields<T>) {
    compareLockFields(written, read, where + ".", changes);
  } else if (!sameLockValue(written, read)) {
    std::string text = where + ": the locked record wrote ";
    appendValue(text, written, {}, {});
    text += ", reads back ";
    appendValue(text, read, {}, {});
    changes.push_back(text);
  }
}

// Compares each listed field of two objects of one class.
template <typename Object>
void compareLockFields(Object& written, Object& read, const std::string& path,
                       std::vector<std::string>& changes) {
  std::apply(
      [&](const auto&... field) {
        (compareLockValue((written.*field.member).get(),
                          (read.*field.member).get(),
                          path + std::string(field.name), changes),
         ...);
      },
      fieldsOf<Object>().fields);
}

// Reads version Reading after a record was read into `root`'s chain.
template <typename Reading>
void readLockedThrough(MsgBase* root, const std::string& recordOfName,
                       std::vector<std::string>& changes) {
  if constexpr (recordHolds<Reading>()) {
    auto* reading = root->getVersion<Reading>();
    if (reading == nullptr) return;  // reported as not reachable
    try {
      static_cast<void>(toJson(*reading));
    } catch (const std::exception& error) {
      changes.push_back(std::string(fieldsOf<Reading>().className) +
                        ": reading the locked record of " + recordOfName +
                        " fails: " + error.what());
    }
  }
}

// Reads the record that `released` holds into a Version of its own, whose
// forwarding fields, bound to nothing, keep what is written, and into a
// fresh chain of the family, then through every version of it; a line
// where the chain's Version does not give back what the record holds.
template <typename Version, typename... Classes>
void checkLockRecord(const LockedClass& released,
                     std::vector<std::string>& changes) {
  const std::string& name = released.name;
  const std::string noLonger = name + ": the locked record no longer reads: ";
  if constexpr (!recordHolds<Version>()) {
    changes.push_back(noLonger + "a field's type is one records do not hold");
  } else {
    using Reader = typename HeldReader<LockRecordReader<>, Classes...>::type;
    MsgMap none;
    auto* written = new Version(none);
    keepRoot(written);
    MsgBase* root = LockFamilies<Classes...>::freshRoot(Version::familyId);
    try {
      Reader::read(written, released.record);
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
          ? readLockedThrough<Classes>(root, name, changes)
          : void()),
     ...);
    compareLockFields(*written, *root->getVersion<Version>(),
                      name + "::", changes);
  }
}

}  // namespace detail

/// The records part of a lock test built with Tamberlo::records: the lock
/// holds one record of each version whose fields records hold, and the
/// test reads each through every version.
struct LockRecords {
  /// Adds to `lock` a record of each version of `Classes` that records
  /// hold: every field written through the version's elements, with its
  /// position counted from 1 (as a number, its text, an enumerator of that
  /// value, true for odd positions; a value struct's fields by their own
  /// positions), then read back as toJson writes it.
  template <typename... Classes>
  static void write(detail::Lock& lock) {
    (detail::writeLockRecord<Classes, Classes...>(lock), ...);
  }

  /// Reads each record of `locked` with readJson over those of `Classes`
  /// that records hold, into a fresh chain of its family, then through
  /// every version of the family; adds a line to `changes` for a record
  /// that no longer reads, and for each field of the locked version that
  /// does not give back what the record holds, as that version alone
  /// reads it (floating-point values within 1 part in 10^4).  A record of
  /// a class missing from `Classes` is left to the layout's comparison.
  template <typename... Classes>
  static void check(const detail::Lock& locked,
                    std::vector<std::string>& changes,
                    std::vector<std::string>& notes) {
    bool any = false;
    for (const detail::LockedClass& released : locked.classes) {
      if (released.record.empty()) continue;
      any = true;
      ((fieldsOf<Classes>().className == released.name
            ? detail::checkLockRecord<Classes, Classes...>(released, changes)
            : void()),
       ...);
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
