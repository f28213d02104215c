// Chains as the factory builds them, with every version already found, a
// bit-pattern view of floats for exact comparisons, and attitudes in one
// line.
#ifndef TAMBERLO_TESTS_CHAINS_H_
#define TAMBERLO_TESTS_CHAINS_H_

#include <tamberlo/tamberlo.h>

#include <cstdint>
#include <cstring>

#include "keep.h"

struct Chain15 {
  MsgBase* root = keep(MsgBase::getInstance(15));
  Msg15_v5* v5 = static_cast<Msg15_v5*>(root->getVersion(15, 5));
  Msg15_v4* v4 = static_cast<Msg15_v4*>(root->getVersion(15, 4));
  Msg15_v3* v3 = static_cast<Msg15_v3*>(root->getVersion(15, 3));
  Msg15_v2* v2 = static_cast<Msg15_v2*>(root->getVersion(15, 2));

  Position& stored() { return v5->position.get(); }
};

struct Chain16 {
  MsgBase* root = keep(MsgBase::getInstance(16));
  Msg16_v2* v2 = static_cast<Msg16_v2*>(root->getVersion(16, 2));
  Msg16_v1* v1 = static_cast<Msg16_v1*>(root->getVersion(16, 1));
};

inline std::uint32_t bitsOf(float f) {
  std::uint32_t u;
  std::memcpy(&u, &f, sizeof u);
  return u;
}

inline float floatOf(std::uint32_t u) {
  float f;
  std::memcpy(&f, &u, sizeof f);
  return f;
}

inline EulerAngles angles(float yaw, float pitch, float roll) {
  EulerAngles ea;
  ea.yaw = yaw;
  ea.pitch = pitch;
  ea.roll = roll;
  return ea;
}

#endif  // TAMBERLO_TESTS_CHAINS_H_
