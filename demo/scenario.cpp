#include "scenario.h"

#include <tamberlo/msg18_v1.h>
#include <tamberlo/tamberlo.h>

#include <cstdint>

namespace {

// The untyped lookup, cast: Pellory's imports from the library are exactly
// getInstance and getVersion.  The typed getVersion<V>() also asks the
// library what the object was built as, which Pellory has no need for: it
// looks up only the library's own chains.
template <typename Version>
Version* lookUp(MsgBase* root) {
  return static_cast<Version*>(
      root->getVersion(Version::familyId, Version::versionNo));
}

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
  auto* v4 = root != nullptr ? lookUp<Msg15_v4>(root) : nullptr;
  auto* v2 = root != nullptr ? lookUp<Msg15_v2>(root) : nullptr;
  if (v4 == nullptr || v2 == nullptr) {
    std::fprintf(err, "pellory: no family-15 chain with versions 4 and 2\n");
    return 1;
  }
  v4->lat = 45.0f;
  v4->alt = 10000.0f;  // metres
  std::fprintf(out, "val Lat: %f\n", static_cast<double>(v2->lat.get()));
  std::fprintf(out, "val Alt: %d\n", static_cast<int>(v2->alt.get()));

  if (auto* attitude = lookUp<Msg16_v1>(root)) {
    exchangeAttitude(*attitude, out);
  } else {
    reportMissing(err, 16, 1, "attitude");
  }
  if (auto* velocity = lookUp<Msg18_v1>(root)) {
    exchangeVelocity(*velocity, out);
  } else {
    reportMissing(err, 18, 1, "velocity");
  }
  return 0;
}
