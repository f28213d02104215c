// Chains with every version already found, and the baselines the library is
// measured against: what a user writes without it.
#ifndef TAMBERLO_BENCH_BENCH_SUPPORT_H_
#define TAMBERLO_BENCH_BENCH_SUPPORT_H_

#include <tamberlo/tamberlo.h>

#include <cmath>
#include <cstdint>
#include <limits>

struct Chain15 {
  MsgBase* root = MsgBase::getInstance(15);
  Msg15_v5* v5 = root->getVersion<Msg15_v5>();
  Msg15_v4* v4 = root->getVersion<Msg15_v4>();
  Msg15_v3* v3 = root->getVersion<Msg15_v3>();
  Msg15_v2* v2 = root->getVersion<Msg15_v2>();
};

struct Chain16 {
  MsgBase* root = MsgBase::getInstance(16);
  Msg16_v2* v2 = root->getVersion<Msg16_v2>();
  Msg16_v1* v1 = root->getVersion<Msg16_v1>();
};

/// A position as a user keeps it without the library: metres, plain floats.
struct PlainPosition {
  float lat = 0.0f;
  float lng = 0.0f;
  float alt = 0.0f;
};

/// Metres to whole feet with the library's constant and its handling of NaN
/// and overflow, so that baseline and library give the same bits.
inline std::int32_t feetFromMetres(float metres) {
  const float feet = metres * 3.28084f;
  if (std::isnan(feet)) return 0;
  if (feet >= 2147483648.0f) return std::numeric_limits<std::int32_t>::max();
  if (feet < -2147483648.0f) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(feet);
}

inline float metresFromFeet(std::int32_t feet) {
  return static_cast<float>(static_cast<double>(feet) *
                            static_cast<double>(0.3048f));
}

// Plain structs in the older versions' representations, the target of a
// copy-and-convert migration.
struct PlainV4 {
  float lat;
  float lng;
  float alt;  // metres
};

struct PlainV3 {
  float lat;
  float lng;
  std::int32_t alt;  // feet
};

struct PlainV2 {
  std::int32_t alt;  // feet
  float lat;
  float lng;
};

struct PlainV1 {
  float yaw;
  float pitch;
  float roll;
};

// Each migration copies every field of the newest message, converting where
// the representation differs.
inline PlainV4 copyToV4(Msg15_v5& m) {
  Position& p = m.position.get();
  return {p.lat.get(), p.lng.get(), p.alt.get()};
}

inline PlainV3 copyToV3(Msg15_v5& m) {
  Position& p = m.position.get();
  return {p.lat.get(), p.lng.get(), feetFromMetres(p.alt.get())};
}

inline PlainV2 copyToV2(Msg15_v5& m) {
  Position& p = m.position.get();
  return {feetFromMetres(p.alt.get()), p.lat.get(), p.lng.get()};
}

inline PlainV1 copyToV1(Msg16_v2& m) {
  Quaternions q = m.att.get();
  EulerAngles ea;
  ea.setFromQuaternion(q);
  return {ea.yaw.get(), ea.pitch.get(), ea.roll.get()};
}

#endif  // TAMBERLO_BENCH_BENCH_SUPPORT_H_
