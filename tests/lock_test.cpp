// Locks: each change to a released version on a line of its own, adding a
// version passing, value types named readably, and the lock file's text.
#include <gtest/gtest.h>
#include <tamberlo/lock_main.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "lock_families.h"

enum class Mode : std::uint8_t { idle };

namespace {

enum Level : std::int16_t { kLow };

using Lines = std::vector<std::string>;
using tamberlo::detail::Lock;

// The lock of Released, written to text and read back as its file is.
template <typename... Released>
Lock locked() {
  Lines problems;
  return tamberlo::detail::parseLock(tamberlo::detail::lockText(
      tamberlo::detail::describeNow<Released...>(problems), "lock_update"));
}

template <typename... Now>
Lines changesFrom(const Lock& lock) {
  Lines problems;
  return tamberlo::detail::compareLocks(
      lock, tamberlo::detail::describeNow<Now...>(problems));
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

TEST(Lock, EachChangeToAReleasedVersionIsALine) {
  // A plain member of 4 bytes before the fields moves the first by the
  // alignment of an element, which holds a pointer.
  const std::string moved = "Sensor_v1::volts: offset " +
                            std::to_string(sizeof(MsgBase)) + " in the lock, " +
                            std::to_string(sizeof(MsgBase) + alignof(void*)) +
                            " now";
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
      {&fromOneVersion<forwarding::Sensor_v1>,
       {"Sensor_v1::volts: element kind stored in the lock, forwarding now"}},
      {&fromOneVersion<shifted::Sensor_v1>, {moved}},
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
  Lock lock = tamberlo::detail::describeNow<twoVersions::Sensor_v1,
                                            twoVersions::Sensor_v2>(problems);
  lock.classes.front().record = R"({"family":91})";
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
