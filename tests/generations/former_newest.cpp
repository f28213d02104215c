// A client of family 61's version 3, the first generation's newest, built
// against it without run-time type information.  From the second
// generation on, version 3 is a view of version 4, of another layout: the
// typed lookup refuses it, naming the class, where the client would read
// a view as the stored version.
#include <tamberlo/wrong_version.h>

#include <cstdio>

#include "sensor_v2.h"

int main() {
  MsgBase* root = newSensor();
  try {
    std::printf("found %s\n", root->getVersion<Sensor_v3>() != nullptr
                                  ? "Sensor_v3"
                                  : "null");
  } catch (const tamberlo::WrongVersion& e) {
    std::printf("refused: %s\n", e.what());
  }
  return 0;
}
