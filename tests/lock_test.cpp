// Locks: each change to a released version, or to what a fresh chain
// shows, on a line of its own, adding a version passing, value types named
// readably, and the lock file's text.
#include <gtest/gtest.h>
#include <tamberlo/lock_main.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "lock_families.h"

enum class Mode : std::uint8_t { idle };

// A field name that a lock file of these families would give its test.
TAMBERLO_LOCK_MEMBER(amps);

namespace {

enum Level : std::int16_t { kLow };

using Lines = std::vector<std::string>;
using tamberlo::detail::Lock;
using Members = tamberlo::LockMembers<TamberloLockMember_amps>;

// The lock of Released, written to text and read back as its file is.
template <typename... Released>
Lock locked() {
  Lines problems;
  return tamberlo::detail::parseLock(tamberlo::detail::lockText(
      tamberlo::detail::describeNow<Members, Released...>(problems),
      "lock_update"));
}

template <typename... Now>
Lines changesFrom(const Lock& lock) {
  Lines problems;
  Lock now = tamberlo::detail::describeNow<Members, Now...>(problems);
  return tamberlo::detail::lockChanges<tamberlo::NoLockRecords, Now...>(
      lock, now, problems);
}

template <typename... Now>
Lines fromOneVersion() {
  return changesFrom<Now...>(locked<released::Sensor_v1>());
}

template <typename... Now>
Lines fromTwoVersions() {
  return changesFrom<Now...>(
      locked<twoVersions::Sensor_v1, twoVersions::Sensor_v2>());
}

template <typename... Now>
Lines fromThermo() {
  return changesFrom<Now...>(locked<thermo::Thermo_v1, thermo::Thermo_v2>());
}

std::string offsets(const char* field, std::size_t locked, std::size_t now) {
  return std::string("Sensor_v1::") + field + ": offset " +
         std::to_string(locked) + " in the lock, " + std::to_string(now) +
         " now";
}

TEST(Lock, EachChangeToAReleasedVersionIsALine) {
  // A plain member of 4 bytes before the fields moves the first by the
  // alignment of an element, which holds a pointer.
  constexpr std::size_t kFirst = sizeof(MsgBase);
  constexpr std::size_t kSecond = kFirst + sizeof(ElementCur<float, Span>);
  const std::pair<Lines (*)(), Lines> kChanges[] = {
      {&fromOneVersion<released::Sensor_v1>, {}},
      {&fromOneVersion<reordered::Sensor_v1>,
       {"Sensor_v1::volts: position 1 in the lock, 2 now"}},
      {&fromOneVersion<retyped::Sensor_v1>,
       {"Sensor_v1::volts: value type float in the lock, double now"}},
      {&fromOneVersion<renamed::Sensor_v1>,
       {"Sensor_v1::volts: renamed to voltage"}},
      {&fromOneVersion<inserted::Sensor_v1>, {"Sensor_v1: field on inserted"}},
      {&fromOneVersion<removed::Sensor_v1>, {"Sensor_v1: field amps removed"}},
      {&fromOneVersion<unlisted::Sensor_v1>,
       {"Sensor_v1::amps: still a member, left out of TAMBERLO_FIELDS"}},
      {&fromOneVersion<forwarding::Sensor_v1>,
       {"Sensor_v1::volts: element kind stored in the lock, forwarding now"}},
      {&fromOneVersion<shifted::Sensor_v1>,
       {offsets("volts", kFirst, kFirst + alignof(void*))}},
      {&fromOneVersion<swapped::Sensor_v1>,
       {offsets("volts", kFirst, kSecond), offsets("amps", kSecond, kFirst)}},
      {&fromOneVersion<spanReordered::Sensor_v1>,
       {"Span::low: position 1 in the lock, 2 now"}},
      {&fromTwoVersions<twoVersions::Sensor_v2>,
       {"Sensor_v1: released, now missing from CLASSES"}},
      // Adding a version: version 2 forwards now, one field converted.
      {&fromTwoVersions<threeVersions::Sensor_v1, threeVersions::Sensor_v2,
                        threeVersions::Sensor_v3>,
       {}},
      // The same without version 3 among the classes.
      {&fromTwoVersions<threeVersions::Sensor_v1, threeVersions::Sensor_v2>,
       {"Sensor_v2::volts: element kind stored in the lock, converted now",
        "Sensor_v2::amps: element kind stored in the lock, forwarding now"}},
      {&fromThermo<thermo::Thermo_v1, thermo::Thermo_v2>, {}},
      {&fromThermo<sameNumber::Thermo_v1, sameNumber::Thermo_v2>,
       {"Thermo_v1::fahrenheit of a fresh chain: 68 in the lock, 20 now"}},
      {&fromThermo<noOffset::Thermo_v1, noOffset::Thermo_v2>,
       {"Thermo_v1::fahrenheit of a fresh chain: 68 in the lock, 36 now"}},
      {&fromThermo<warmer::Thermo_v1, warmer::Thermo_v2>,
       {"Thermo_v1::fahrenheit of a fresh chain: 68 in the lock, 77 now",
        "Thermo_v2::celsius of a fresh chain: 20 in the lock, 25 now"}},
  };
  for (const auto& [changes, expected] : kChanges) {
    EXPECT_EQ(changes(), expected);
  }
}

TEST(Lock, OffsetsAndSizesOfAnotherTargetAreNotCompared) {
  Lock lock = locked<released::Sensor_v1>();
  lock.target = "pointer 4";
  EXPECT_EQ(changesFrom<shifted::Sensor_v1>(lock), Lines{});
  EXPECT_EQ(changesFrom<retyped::Sensor_v1>(lock),
            Lines{"Sensor_v1::volts: value type float in the lock, double "
                  "now"});
}

TEST(Lock, FamilyAndVersionAreComparedEachOnItsOwn) {
  Lock lock = locked<released::Sensor_v1>();
  lock.classes.front().version = 2;
  EXPECT_EQ(changesFrom<released::Sensor_v1>(lock),
            Lines{"Sensor_v1: version 2 in the lock, 1 now"});
}

TEST(Lock, FloatingPointValuesShownMayDifferInTheirLastBitsOnly) {
  using tamberlo::detail::sameShown;
  EXPECT_TRUE(sameShown("float", "1", "1.0000004"));  // 3 units away
  EXPECT_FALSE(sameShown("float", "1", "1.0000006"));
  EXPECT_TRUE(sameShown("double", "nan", "-nan"));
  EXPECT_FALSE(sameShown("double", "nan", "0"));
  EXPECT_FALSE(sameShown("int64_t", "1", "1.0"));
}

TEST(Lock, ValueTypesAreNamedReadably) {
  using tamberlo::detail::valueTypeName;
  const std::pair<std::string, std::string> kNames[] = {
      {valueTypeName<int>(), "int32_t"},
      {valueTypeName<unsigned char>(), "uint8_t"},
      {valueTypeName<long long>(), "int64_t"},
      {valueTypeName<bool>(), "bool"},
      {valueTypeName<char>(), "char"},
      {valueTypeName<float>(), "float"},
      {valueTypeName<std::string>(), "std::string"},
      {valueTypeName<Mode>(), "enum Mode : uint8_t"},
      {valueTypeName<Level>(), "enum {anonymous}::Level : int16_t"},
      {valueTypeName<Span>(), "Span"},
  };
  for (const auto& [name, expected] : kNames) EXPECT_EQ(name, expected);
}

TEST(Lock, FileReadsBackToTheSameText) {
  Lines problems;
  Lock lock = tamberlo::detail::describeNow<Members, twoVersions::Sensor_v1,
                                            twoVersions::Sensor_v2>(problems);
  lock.classes.front().record = R"({"family":91})";
  lock.classes.front().reads = {{"Sensor_v2", "volts", "1"}};
  const std::string text = tamberlo::detail::lockText(lock, "lock_update");
  EXPECT_EQ(tamberlo::detail::lockText(tamberlo::detail::parseLock(text),
                                       "lock_update"),
            text);
}

TEST(Lock, UnreadableLinesAreNamed) {
  const std::string kClass = "target t\nclass A family 1 version 1 size 8\n";
  const std::pair<std::string, std::string> kFiles[] = {
      {"target t\nclass A family 1 version x size 8",
       "line 2: not a number: x"},
      {kClass + "field B::a stored offset 0 size 8 type float",
       "line 3: not a lock line: field B::a stored offset 0 size 8 type "
       "float"},
      {kClass + "field A::a copied offset 0 size 8 type float",
       "line 3: not a lock line: field A::a copied offset 0 size 8 type "
       "float"},
      {kClass + "record B {}", "line 3: not a lock line: record B {}"},
      {kClass + "default B::a 0", "line 3: not a lock line: default B::a 0"},
      {kClass + "read A as A::a 1",
       "line 3: not a lock line: read A as A::a 1"},
      {"class A family 1 version 1 size 8", "no target line"},
  };
  for (const auto& [text, message] : kFiles) {
    try {
      tamberlo::detail::parseLock(text);
      ADD_FAILURE() << text;
    } catch (const tamberlo::detail::LockFileError& error) {
      EXPECT_EQ(error.what(), message);
    }
  }
}

}  // namespace
