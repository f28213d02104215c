// Chains as the factory builds them, with every version already found, a
// bit-pattern view of floats for exact comparisons, attitudes in one line,
// and a map's entries under family ids.
#ifndef TAMBERLO_TESTS_CHAINS_H_
#define TAMBERLO_TESTS_CHAINS_H_

#include <tamberlo/tamberlo.h>

#include <cstdint>
#include <cstring>

#include "keep.h"

struct Chain15 {
  MsgBase* root = keep(MsgBase::getInstance(15));
  Msg15_v5* v5 = root->getVersion<Msg15_v5>();
  Msg15_v4* v4 = root->getVersion<Msg15_v4>();
  Msg15_v3* v3 = root->getVersion<Msg15_v3>();
  Msg15_v2* v2 = root->getVersion<Msg15_v2>();

  Position& stored() { return v5->position.get(); }
};

struct Chain16 {
  MsgBase* root = keep(MsgBase::getInstance(16));
  Msg16_v2* v2 = root->getVersion<Msg16_v2>();
  Msg16_v1* v1 = root->getVersion<Msg16_v1>();
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

// The entries of a map under family ids: below them, a root's `roots`
// names its chain's record, which no lookup is passed to.
inline MsgMap families(const MsgMap& map) {
  return MsgMap(map.lower_bound(0), map.end());
}

inline EulerAngles angles(float yaw, float pitch, float roll) {
  EulerAngles ea;
  ea.yaw = yaw;
  ea.pitch = pitch;
  ea.roll = roll;
  return ea;
}

#endif  // TAMBERLO_TESTS_CHAINS_H_
