// A client of family 61's versions 1 and 2, built once against the first
// generation.  Run against each generation's library, unchanged, it must
// print what the file named by its argument holds.
#include <tamberlo/to_string.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "expect_output.h"
#include "sensor_v2.h"

#if TAMBERLO_GENERATIONS_RECORDS
#include <tamberlo/records.h>
#endif

namespace {

std::string both(MsgBase* root) {
  return tamberlo::toString(*root->getVersion<Sensor_v2>()) + " " +
         tamberlo::toString(*root->getVersion<Sensor_v1>());
}

std::string run() {
  std::ostringstream out;
  MsgBase* root = newSensor();
  auto* v2 = root->getVersion<Sensor_v2>();
  auto* v1 = root->getVersion<Sensor_v1>();
  out << "new: " << both(root) << '\n';

  v2->millivolts = 3712;
  v2->amps = 1.5f;
  v2->fahrenheit = 98;
  v2->hours = 5;
  v2->rgb = 0x123456U;
  v2->lat = 45.5f;
  v2->knots = 10.0f;
  v2->serial = 7;
  out << "v2 written: " << both(root) << '\n';

  v1->millivolts.set(1200);
  v1->hours = std::int64_t{2};
  v1->lat = -12.25f;
  v2->rgb.set(0xA0B0C0U);
  v2->amps.get() = 2.5f;  // the stored value itself, through member forms
  out << "v1 written: " << both(root) << '\n';

#if TAMBERLO_GENERATIONS_RECORDS
  const std::string json = tamberlo::toJson(*v2);
  out << "record: " << json << '\n';
  MsgBase* other = newSensor();
  tamberlo::readJson<Sensor_v2, Sensor_v1>(other, json);
  out << "record read: " << both(other) << '\n';
#endif
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  return expectOutput(run(), argv[1], TAMBERLO_GENERATIONS_RECORDS != 0);
}
