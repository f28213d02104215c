/// \file
/// The program behind a lock test (tamberlo_add_lock_test in CMake): it
/// writes the lock file of the classes it is compiled with, or checks them
/// against it.
#ifndef TAMBERLO_LOCK_MAIN_H_
#define TAMBERLO_LOCK_MAIN_H_

#include <tamberlo/chain.h>
#include <tamberlo/construction.h>
#include <tamberlo/lock_compare.h>
#include <tamberlo/lock_file.h>
#include <tamberlo/lock_layout.h>
#include <tamberlo/lock_members.h>
#include <tamberlo/lock_values.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/msg_map.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace tamberlo {
namespace detail {

// The chains a lock test reads: for each family, a fresh chain of its
// newest version among Classes, which every version of it in Classes must
// be reachable from.
template <typename... Classes>
struct LockFamilies {
  template <typename Version>
  static constexpr bool isNewest() {
    return ((Classes::familyId != Version::familyId ||
             Classes::versionNo <= Version::versionNo) &&
            ...);
  }

  // A new chain of the family, and its root.
  struct Fresh {
    std::shared_ptr<void> owner;
    MsgBase* root = nullptr;
  };
  static Fresh freshChain(std::int32_t family) {
    Fresh fresh;
    ((fresh.root == nullptr && Classes::familyId == family &&
              isNewest<Classes>()
          ? own<Classes>(fresh)
          : void()),
     ...);
    return fresh;
  }
  template <typename Version>
  static void own(Fresh& fresh) {
    auto chain = std::make_shared<Chain<Version>>();
    fresh.root = &chain->root();
    fresh.owner = std::move(chain);
  }

  static std::string_view newestName(std::int32_t family) {
    std::string_view name;
    ((name = Classes::familyId == family && isNewest<Classes>()
                 ? fieldsOf<Classes>().className
                 : name),
     ...);
    return name;
  }
};

inline std::string unreachable(std::string_view name, std::string_view newest,
                               std::int32_t family) {
  return std::string(name) + ": not reachable from " + std::string(newest) +
         ", the newest version of family " + std::to_string(family) +
         " in CLASSES";
}

// Adds `Version` as it is now to `lock`, with what it shows of a fresh
// chain, or says why it cannot.
template <typename Members, typename Version, typename... Classes>
void describeInto(Lock& lock, std::vector<std::string>& problems) {
  using Families = LockFamilies<Classes...>;
  const auto fresh = Families::freshChain(Version::familyId);
  auto* version = fresh.root->template getVersion<Version>();
  if (version == nullptr) {
    problems.push_back(unreachable(fieldsOf<Version>().className,
                                   Families::newestName(Version::familyId),
                                   Version::familyId));
    return;
  }
  lock.classes.push_back(describeVersion<Members>(*version, lock.structs));
  lock.classes.back().defaults = shownBy(*version);
}

template <typename... Classes>
constexpr bool distinctNumbers() {
  constexpr std::array<std::int32_t, sizeof...(Classes)> kFamilies{
      Classes::familyId...};
  constexpr std::array<std::int32_t, sizeof...(Classes)> kVersions{
      Classes::versionNo...};
  for (std::size_t i = 0; i < kFamilies.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (kFamilies.at(i) == kFamilies.at(j) &&
          kVersions.at(i) == kVersions.at(j)) {
        return false;
      }
    }
  }
  return true;
}

inline bool before(const LockedClass& a, const LockedClass& b) {
  return a.isStruct
             ? a.name < b.name
             : std::tie(a.family, a.version) < std::tie(b.family, b.version);
}

// Classes by family and version, value structs by name: a lock file's
// order.  A lock knows classes by name, so two of one name are a problem.
inline void orderLock(Lock& lock, std::vector<std::string>& problems) {
  for (std::size_t i = 0; i < lock.classes.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (lock.classes[i].name == lock.classes[j].name) {
        problems.push_back(lock.classes[i].name +
                           ": two classes in CLASSES have this name");
      }
    }
  }
  // By insertion, for the few classes a lock holds: std::sort's code for
  // these classes would take longer to compile than all of this.
  const auto sort = [](std::vector<LockedClass>& classes) {
    for (std::size_t i = 1; i < classes.size(); ++i) {
      for (std::size_t j = i; j > 0 && before(classes[j], classes[j - 1]);
           --j) {
        std::swap(classes[j], classes[j - 1]);
      }
    }
  };
  sort(lock.classes);
  sort(lock.structs);
}

// The classes as they are now, in the order a lock file lists them, each
// with the element members among `Members` that its field list leaves
// out; `problems` says what stops them from being locked.
template <typename Members, typename... Classes>
Lock describeNow(std::vector<std::string>& problems) {
  (checkVersion<Classes>(), ...);
  static_assert(distinctNumbers<Classes...>(),
                "tamberlo_add_lock_test: two classes in CLASSES have the same "
                "family and version; name each version once");
  Lock lock{targetText(), {}, {}};
  (describeInto<Members, Classes, Classes...>(lock, problems), ...);
  orderLock(lock, problems);
  return lock;
}

// The whole file at `path`; false where it cannot be read.
inline bool readFile(const std::string& path, std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::array<char, 4096> buffer{};
  text.clear();
  for (std::size_t n = 0;
       (n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0;) {
    text.append(buffer.data(), n);
  }
  const bool read = std::ferror(file) == 0;
  static_cast<void>(std::fclose(file));
  return read;
}

// Replaces the file at `path` with `text`, written beside it first, so
// that a failure leaves the old file whole; unless it holds `text`
// already.
inline void writeLockFile(const std::string& path, const std::string& text,
                          const std::string& name) {
  std::string old;
  if (readFile(path, old) && old == text) {
    std::printf("%s: %s is up to date\n", name.c_str(), path.c_str());
    return;
  }
  const std::string temporary = path + ".new";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  bool written = file != nullptr &&
                 std::fwrite(text.data(), 1, text.size(), file) == text.size();
  written = file != nullptr && std::fclose(file) == 0 && written;
#if defined(_WIN32)
  // There std::rename does not replace a file.
  static_cast<void>(std::remove(path.c_str()));
#endif
  if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
    static_cast<void>(std::remove(temporary.c_str()));
    throw std::runtime_error("cannot write " + path);
  }
  std::printf("%s: wrote %s\n", name.c_str(), path.c_str());
}

// What a check found, printed: the changes, one a line, then what to do.
inline int report(const std::vector<std::string>& changes,
                  const std::vector<std::string>& notes,
                  const std::string& name, const std::string& path) {
  for (const std::string& change : changes) std::printf("%s\n", change.c_str());
  for (const std::string& note : notes) {
    std::printf("%s: note: %s\n", name.c_str(), note.c_str());
  }
  if (!changes.empty()) {
    std::printf(
        "%s: %zu change(s) to released versions, locked in %s. Each breaks "
        "clients or records of a released version, or changes what one "
        "shows; if it is deliberate, build the target %s_update to rewrite "
        "the lock.\n",
        name.c_str(), changes.size(), path.c_str(), name.c_str());
    return 1;
  }
  std::printf("%s: every released version matches %s\n", name.c_str(),
              path.c_str());
  return 0;
}

// Every change from `locked` to `now`, the classes as they are, once the
// locked records are read into them: the layouts' and values' first, then
// the records'.
template <typename Records, typename... Classes>
std::vector<std::string> lockChanges(const Lock& locked, Lock& now,
                                     std::vector<std::string>& notes) {
  std::vector<std::string> records;
  Records::template read<Classes...>(locked, now, records, notes);
  std::vector<std::string> changes = compareLocks(locked, now);
  changes.insert(changes.end(), records.begin(), records.end());
  return changes;
}

template <typename Records, typename... Classes>
int checkLock(Lock& now, const std::string& path, const std::string& name) {
  std::string text;
  if (!readFile(path, text)) {
    std::printf(
        "%s: no lock file %s: build the target %s_update to write it "
        "(cmake --build <build directory> --target %s_update), then commit "
        "it\n",
        name.c_str(), path.c_str(), name.c_str(), name.c_str());
    return 1;
  }
  Lock locked;
  try {
    locked = parseLock(text);
  } catch (const LockFileError& error) {
    std::printf("%s: %s, %s: build the target %s_update to rewrite it\n",
                name.c_str(), path.c_str(), error.what(), name.c_str());
    return 1;
  }
  std::vector<std::string> notes;
  const std::vector<std::string> changes =
      lockChanges<Records, Classes...>(locked, now, notes);
  if (locked.target != now.target) {
    notes.push_back(
        "offsets and sizes are not compared: the lock holds them "
        "for the target `" +
        locked.target + "`, and this is `" + now.target + "`");
  }
  for (const LockedClass& c : now.classes) {
    if (findLocked(locked.classes, c.name) == nullptr) {
      notes.push_back(c.name + " is not locked yet: build the target " + name +
                      "_update once it is released");
    }
  }
  return report(changes, notes, name, path);
}

}  // namespace detail

/// The records part of a lock test built without Tamberlo::records: it
/// writes no records, and says that those a lock holds are not read.
struct NoLockRecords {
  /// Writes nothing.
  template <typename... Classes>
  static void write(detail::Lock& /*lock*/) {}

  /// Notes that the records of `locked`, if any, are not read.
  template <typename... Classes>
  static void read(const detail::Lock& locked, detail::Lock& /*now*/,
                   std::vector<std::string>& /*changes*/,
                   std::vector<std::string>& notes) {
    const bool any = std::any_of(
        locked.classes.begin(), locked.classes.end(),
        [](const detail::LockedClass& c) { return !c.record.empty(); });
    if (any) {
      notes.emplace_back(
          "the lock's records are not read: this test is built without "
          "Tamberlo::records");
    }
  }
};

/// The main function of lock test `test`, which tamberlo_add_lock_test
/// generates: `--write <lock file>` writes the lock of `Classes` (what the
/// target `<name>_update` runs), `--check <lock file>` compares `Classes`
/// with it (what the test runs) and prints each change on a line of its
/// own.  `Records` is LockRecords (<tamberlo/lock_records.h>) or
/// NoLockRecords; `Members`, a LockMembers, names the members to look for
/// where a field list no longer names a locked field.  Returns 0 when the
/// check passes or the file is written, 1 when it fails, 2 for other
/// arguments.
template <typename Records, typename Members, typename... Classes>
int lockMain(int argc, const char* const* argv, const char* test) {
  const std::string name(test);
  // The arguments as main receives them.
  // NOLINTNEXTLINE(cppcoreguidelines-pro-bounds-pointer-arithmetic)
  const std::vector<std::string_view> args(argv, argv + argc);
  if (args.size() != 3 || (args[1] != "--check" && args[1] != "--write")) {
    std::printf("usage: %s --check <lock file> | --write <lock file>\n",
                name.c_str());
    return 2;
  }
  const std::string path(args[2]);
  try {
    std::vector<std::string> problems;
    detail::Lock now = detail::describeNow<Members, Classes...>(problems);
    for (const std::string& problem : problems) {
      std::printf("%s\n", problem.c_str());
    }
    if (!problems.empty()) return 1;
    if (args[1] == "--check") {
      return detail::checkLock<Records, Classes...>(now, path, name);
    }
    Records::template write<Classes...>(now);
    detail::writeLockFile(path, detail::lockText(now, name + "_update"), name);
    return 0;
  } catch (const std::exception& error) {
    std::printf("%s: %s\n", name.c_str(), error.what());
    return 1;
  }
}

}  // namespace tamberlo

#endif  // TAMBERLO_LOCK_MAIN_H_
