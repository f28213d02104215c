// Records in locks: a record of each version with each field's position,
// and each record that no longer reads, or reads back otherwise, a line.
#include <gtest/gtest.h>
#include <tamberlo/lock_records.h>

#include <string>
#include <utility>
#include <vector>

#include "lock_families.h"

namespace {

using Lines = std::vector<std::string>;
using tamberlo::detail::Lock;

template <typename... Released>
Lock lockedWithRecords() {
  Lines problems;
  Lock lock = tamberlo::detail::describeNow<Released...>(problems);
  tamberlo::LockRecords::write<Released...>(lock);
  return lock;
}

template <typename... Now>
Lines changesFrom(const Lock& lock) {
  Lines changes;
  Lines notes;
  tamberlo::LockRecords::check<Now...>(lock, changes, notes);
  return changes;
}

template <typename... Now>
Lines fromOneVersion() {
  return changesFrom<Now...>(lockedWithRecords<released::Sensor_v1>());
}

template <typename... Now>
Lines fromTwoVersions() {
  return changesFrom<Now...>(
      lockedWithRecords<twoVersions::Sensor_v1, twoVersions::Sensor_v2>());
}

TEST(LockRecords, EachFieldHoldsItsPosition) {
  EXPECT_EQ(lockedWithRecords<released::Sensor_v1>().classes.front().record,
            R"({"family":90,"version":1,"fields":{"volts":1.0,"amps":2.0,)"
            R"("span":{"low":1.0,"high":2.0}}})");
}

TEST(LockRecords, EachRecordThatNoLongerReadsIsALine) {
  const std::pair<Lines (*)(), Lines> kChanges[] = {
      {&fromOneVersion<released::Sensor_v1>, {}},
      {&fromOneVersion<renamed::Sensor_v1>,
       {"Sensor_v1: the locked record no longer reads: unknown field "
        "\"volts\""}},
      {&fromOneVersion<retyped::Sensor_v1>, {}},
      {&fromTwoVersions<twoVersions::Sensor_v2>, {}},
      {&fromTwoVersions<threeVersions::Sensor_v1, threeVersions::Sensor_v2,
                        threeVersions::Sensor_v3>,
       {}},
      // Laid out as adding a version allows, but wired wrong.
      {&fromTwoVersions<miswired::Sensor_v1, miswired::Sensor_v2,
                        miswired::Sensor_v3>,
       {"Sensor_v1::volts: the locked record wrote 1, reads back 2",
        "Sensor_v2::volts: the locked record wrote 1, reads back 2"}},
  };
  for (const auto& [changes, expected] : kChanges) {
    EXPECT_EQ(changes(), expected);
  }
}

}  // namespace
