#include "scenario.h"

#include <tamberlo/msg18_v1.h>
#include <tamberlo/tamberlo.h>

#include <cstdint>

namespace {

void reportMissing(std::FILE* err, std::int32_t family, std::int32_t version,
                   const char* exchange) {
  std::fprintf(err,
               "pellory: family %d version %d is not reachable; %s exchange "
               "skipped\n",
               static_cast<int>(family), static_cast<int>(version), exchange);
}

void exchangeAttitude(Msg16_v1& msg, std::FILE* out) {
  EulerAngles attitude;
  attitude.yaw = 45.0f;
  attitude.pitch = 5.0f;
  attitude.roll = 0.0f;
  msg.att.set(attitude);
  // Overwritten so that what is printed can only be what was read back.
  attitude.yaw = 0.0f;
  attitude.pitch = 0.0f;
  attitude.roll = 10.0f;
  attitude = msg.att.get();
  std::fprintf(out, "val yaw: %f, pitch: %f, roll: %f\n",
               static_cast<double>(attitude.yaw.get()),
               static_cast<double>(attitude.pitch.get()),
               static_cast<double>(attitude.roll.get()));
}

void exchangeVelocity(Msg18_v1& msg, std::FILE* out) {
  Velocity velocity;
  velocity.dx = 5.0f;
  velocity.dy = 3.0f;
  velocity.dz = 10.0f;
  msg.velocity.set(velocity);
  velocity.dx = 0.0f;
  velocity.dy = 0.0f;
  velocity.dz = 0.0f;
  velocity = msg.velocity.get();
  std::fprintf(out, "val dx: %f, dy: %f, dz: %f\n",
               static_cast<double>(velocity.dx.get()),
               static_cast<double>(velocity.dy.get()),
               static_cast<double>(velocity.dz.get()));
}

}  // namespace

int runScenario(MsgBase* root, std::FILE* out, std::FILE* err) {
  auto* v4 = root != nullptr ? root->getVersion<Msg15_v4>() : nullptr;
  auto* v2 = root != nullptr ? root->getVersion<Msg15_v2>() : nullptr;
  if (v4 == nullptr || v2 == nullptr) {
    std::fprintf(err, "pellory: no family-15 chain with versions 4 and 2\n");
    return 1;
  }
  v4->lat = 45.0f;
  v4->alt = 10000.0f;  // metres
  std::fprintf(out, "val Lat: %f\n", static_cast<double>(v2->lat.get()));
  std::fprintf(out, "val Alt: %d\n", static_cast<int>(v2->alt.get()));

  if (auto* attitude = root->getVersion<Msg16_v1>()) {
    exchangeAttitude(*attitude, out);
  } else {
    reportMissing(err, 16, 1, "attitude");
  }
  if (auto* velocity = root->getVersion<Msg18_v1>()) {
    exchangeVelocity(*velocity, out);
  } else {
    reportMissing(err, 18, 1, "velocity");
  }
  return 0;
}
