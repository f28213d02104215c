// Records in locks: a record of each version with each field's position,
// and each record that no longer reads, or that a version shows otherwise,
// a line.
#include <gtest/gtest.h>
#include <tamberlo/lock_records.h>

#include <string>
#include <utility>
#include <vector>

#include "lock_families.h"

namespace {

using Lines = std::vector<std::string>;
using tamberlo::detail::Lock;

using NoMembers = tamberlo::LockMembers<>;

template <typename... Released>
Lock lockedWithRecords() {
  Lines problems;
  Lock lock = tamberlo::detail::describeNow<NoMembers, Released...>(problems);
  tamberlo::LockRecords::write<Released...>(lock);
  return lock;
}

template <typename... Now>
Lines changesFrom(const Lock& lock) {
  Lines notes;
  Lock now = tamberlo::detail::describeNow<NoMembers, Now...>(notes);
  return tamberlo::detail::lockChanges<tamberlo::LockRecords, Now...>(lock, now,
                                                                      notes);
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

template <typename... Now>
Lines fromThermo() {
  return changesFrom<Now...>(
      lockedWithRecords<thermo::Thermo_v1, thermo::Thermo_v2>());
}

TEST(LockRecords, EachFieldHoldsItsPosition) {
  EXPECT_EQ(lockedWithRecords<released::Sensor_v1>().classes.front().record,
            R"({"family":90,"version":1,"fields":{"volts":1.0,"amps":2.0,)"
            R"("span":{"low":1.0,"high":2.0}}})");
}

TEST(LockRecords, EachRecordThatNoLongerReadsOrShowsOtherwiseIsALine) {
  const std::pair<Lines (*)(), Lines> kChanges[] = {
      {&fromOneVersion<released::Sensor_v1>, {}},
      {&fromOneVersion<renamed::Sensor_v1>,
       {"Sensor_v1::volts: renamed to voltage",
        "Sensor_v1: the locked record no longer reads: unknown field "
        "\"volts\""}},
      {&fromOneVersion<retyped::Sensor_v1>,
       {"Sensor_v1::volts: value type float in the lock, double now"}},
      {&fromTwoVersions<twoVersions::Sensor_v2>,
       {"Sensor_v1: released, now missing from CLASSES"}},
      {&fromTwoVersions<threeVersions::Sensor_v1, threeVersions::Sensor_v2,
                        threeVersions::Sensor_v3>,
       {}},
      // Laid out as adding a version allows, but wired wrong.
      {&fromTwoVersions<miswired::Sensor_v1, miswired::Sensor_v2,
                        miswired::Sensor_v3>,
       {"Sensor_v1::volts of the record of Sensor_v1: 1 in the lock, 2 now",
        "Sensor_v2::volts of the record of Sensor_v1: 1 in the lock, 2 now",
        "Sensor_v1::volts of the record of Sensor_v2: 1 in the lock, 2 now",
        "Sensor_v2::volts of the record of Sensor_v2: 1 in the lock, 2 now"}},
      {&fromThermo<sameNumber::Thermo_v1, sameNumber::Thermo_v2>,
       {"Thermo_v1::fahrenheit of a fresh chain: 68 in the lock, 20 now",
        "Thermo_v2::celsius of the record of Thermo_v1: -17.222221 in the "
        "lock, 1 now",
        "Thermo_v1::fahrenheit of the record of Thermo_v2: 34 in the lock, 1 "
        "now"}},
  };
  for (const auto& [changes, expected] : kChanges) {
    EXPECT_EQ(changes(), expected);
  }
}

}  // namespace
