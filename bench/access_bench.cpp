// Reads and writes through every version, beside what the same access costs
// without the library: a plain struct, a copy-and-convert migration, or the
// bare math-library calls a conversion cannot avoid.
//
// Inputs pass through DoNotOptimize, every value read must be produced in a
// register, and every iteration clobbers memory, so each one really loads
// (or stores) and nothing is hoisted or folded.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "bench_support.h"

namespace {

constexpr float kLat = 45.0f;
constexpr float kLng = 7.5f;
constexpr float kAltMetres = 10000.0f;
constexpr std::int32_t kAltFeet = 32808;
constexpr float kYaw = 30.0f;
constexpr float kPitch = 20.0f;
constexpr float kRoll = 10.0f;

Chain15& chain15() {
  static Chain15* chain = [] {
    auto* c = new Chain15;
    Position& p = c->v5->position.get();
    p.lat = kLat;
    p.lng = kLng;
    p.alt = kAltMetres;
    return c;
  }();
  return *chain;
}

PlainPosition* plainPosition() {
  static PlainPosition plain{kLat, kLng, kAltMetres};
  return &plain;
}

Chain16& chain16() {
  static Chain16* chain = [] {
    auto* c = new Chain16;
    EulerAngles ea;
    ea.yaw = kYaw;
    ea.pitch = kPitch;
    ea.roll = kRoll;
    c->v1->att.set(ea);
    return c;
  }();
  return *chain;
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A baseline is only a baseline if it computes what the library computes.
void expectSame(benchmark::State& state, bool same) {
  if (!same) state.SkipWithError("library and baseline disagree");
}

// Makes the compiler produce `v` in a register, without storing it: a store
// to a fixed address can falsely alias the next load and add noise.
// DoNotOptimize alone is not enough: GCC may hand its asm the source's own
// memory and load nothing, which empties a plain read.
template <typename T>
void consume(T v) {
#if defined(__GNUC__)
  asm volatile("" : "+r"(v));
#else
  benchmark::DoNotOptimize(v);
#endif
}

template <typename Read>
void readLoop(benchmark::State& state, Read read) {
  for (auto _ : state) {
    consume(read());
    benchmark::ClobberMemory();
  }
}

template <typename Write>
void writeLoop(benchmark::State& state, Write write) {
  for (auto _ : state) {
    write();
    benchmark::ClobberMemory();
  }
}

// Latitude: stored as is, so every version forwards without converting.

void BM_LatRead_Plain(benchmark::State& state) {
  PlainPosition* p = plainPosition();
  benchmark::DoNotOptimize(p);
  readLoop(state, [p] { return p->lat; });
}

void BM_LatRead_v5(benchmark::State& state) {
  Msg15_v5* v5 = chain15().v5;
  readLoop(state, [v5] { return v5->position.get().lat.get(); });
}

void BM_LatRead_v4(benchmark::State& state) {
  Msg15_v4* v4 = chain15().v4;
  expectSame(state, sameBits(v4->lat.get(), kLat));
  readLoop(state, [v4] { return v4->lat.get(); });
}

void BM_LatRead_v3(benchmark::State& state) {
  Msg15_v3* v3 = chain15().v3;
  expectSame(state, sameBits(v3->lat.get(), kLat));
  readLoop(state, [v3] { return v3->lat.get(); });
}

void BM_LatRead_v2(benchmark::State& state) {
  Msg15_v2* v2 = chain15().v2;
  expectSame(state, sameBits(v2->lat.get(), kLat));
  readLoop(state, [v2] { return v2->lat.get(); });
}

// Copy-and-convert: migrate the whole message, then read one field.  The
// copy is forced into memory, so no field's conversion is dropped.
template <typename Copy, typename Field>
void copyLoop(benchmark::State& state, Copy copy, Field field) {
  for (auto _ : state) {
    auto old = copy();
    benchmark::DoNotOptimize(old);
    consume(field(old));
    benchmark::ClobberMemory();
  }
}

void BM_LatRead_CopyToV4(benchmark::State& state) {
  Msg15_v5* v5 = chain15().v5;
  copyLoop(
      state, [v5] { return copyToV4(*v5); },
      [](const PlainV4& old) { return old.lat; });
}

void BM_LatRead_CopyToV3(benchmark::State& state) {
  Msg15_v5* v5 = chain15().v5;
  copyLoop(
      state, [v5] { return copyToV3(*v5); },
      [](const PlainV3& old) { return old.lat; });
}

void BM_LatRead_CopyToV2(benchmark::State& state) {
  Msg15_v5* v5 = chain15().v5;
  copyLoop(
      state, [v5] { return copyToV2(*v5); },
      [](const PlainV2& old) { return old.lat; });
}

void BM_LatWrite_Plain(benchmark::State& state) {
  PlainPosition* p = plainPosition();
  benchmark::DoNotOptimize(p);
  float lat = kLat;
  writeLoop(state, [p, &lat] {
    benchmark::DoNotOptimize(lat);
    p->lat = lat;
  });
}

void BM_LatWrite_v5(benchmark::State& state) {
  Msg15_v5* v5 = chain15().v5;
  float lat = kLat;
  writeLoop(state, [v5, &lat] {
    benchmark::DoNotOptimize(lat);
    v5->position.get().lat.set(lat);
  });
}

void BM_LatWrite_v4(benchmark::State& state) {
  Msg15_v4* v4 = chain15().v4;
  float lat = kLat;
  writeLoop(state, [v4, &lat] {
    benchmark::DoNotOptimize(lat);
    v4->lat.set(lat);
  });
}

void BM_LatWrite_v3(benchmark::State& state) {
  Msg15_v3* v3 = chain15().v3;
  float lat = kLat;
  writeLoop(state, [v3, &lat] {
    benchmark::DoNotOptimize(lat);
    v3->lat.set(lat);
  });
}

void BM_LatWrite_v2(benchmark::State& state) {
  Msg15_v2* v2 = chain15().v2;
  float lat = kLat;
  writeLoop(state, [v2, &lat] {
    benchmark::DoNotOptimize(lat);
    v2->lat.set(lat);
  });
}

// Altitude in feet: converted in Msg15_v4 for versions 3 and 2.

void BM_AltFeetRead_Plain(benchmark::State& state) {
  PlainPosition* p = plainPosition();
  benchmark::DoNotOptimize(p);
  readLoop(state, [p] { return feetFromMetres(p->alt); });
}

void BM_AltFeetRead_v3(benchmark::State& state) {
  Msg15_v3* v3 = chain15().v3;
  expectSame(state, v3->alt.get() == feetFromMetres(kAltMetres));
  readLoop(state, [v3] { return v3->alt.get(); });
}

void BM_AltFeetRead_v2(benchmark::State& state) {
  Msg15_v2* v2 = chain15().v2;
  expectSame(state, v2->alt.get() == feetFromMetres(kAltMetres));
  readLoop(state, [v2] { return v2->alt.get(); });
}

void BM_AltFeetRead_CopyToV3(benchmark::State& state) {
  Msg15_v5* v5 = chain15().v5;
  copyLoop(
      state, [v5] { return copyToV3(*v5); },
      [](const PlainV3& old) { return old.alt; });
}

void BM_AltFeetRead_CopyToV2(benchmark::State& state) {
  Msg15_v5* v5 = chain15().v5;
  copyLoop(
      state, [v5] { return copyToV2(*v5); },
      [](const PlainV2& old) { return old.alt; });
}

void BM_AltFeetWrite_Plain(benchmark::State& state) {
  PlainPosition* p = plainPosition();
  benchmark::DoNotOptimize(p);
  std::int32_t feet = kAltFeet;
  writeLoop(state, [p, &feet] {
    benchmark::DoNotOptimize(feet);
    p->alt = metresFromFeet(feet);
  });
  p->alt = kAltMetres;  // the value reads expect
}

template <typename Msg>
void altFeetWrite(benchmark::State& state, Msg* msg) {
  msg->alt.set(kAltFeet);
  Msg15_v5* v5 = chain15().v5;
  expectSame(state,
             sameBits(v5->position.get().alt.get(), metresFromFeet(kAltFeet)));
  std::int32_t feet = kAltFeet;
  writeLoop(state, [msg, &feet] {
    benchmark::DoNotOptimize(feet);
    msg->alt.set(feet);
  });
  v5->position.get().alt = kAltMetres;  // the value reads expect
}

void BM_AltFeetWrite_v3(benchmark::State& state) {
  altFeetWrite(state, chain15().v3);
}

void BM_AltFeetWrite_v2(benchmark::State& state) {
  altFeetWrite(state, chain15().v2);
}

// Altitude in metres: forwarded by Msg15_v4 without converting.

void BM_AltMetresRead_Plain(benchmark::State& state) {
  PlainPosition* p = plainPosition();
  benchmark::DoNotOptimize(p);
  readLoop(state, [p] { return p->alt; });
}

void BM_AltMetresRead_v4(benchmark::State& state) {
  Msg15_v4* v4 = chain15().v4;
  expectSame(state, sameBits(v4->alt.get(), kAltMetres));
  readLoop(state, [v4] { return v4->alt.get(); });
}

void BM_AltMetresRead_CopyToV4(benchmark::State& state) {
  Msg15_v5* v5 = chain15().v5;
  copyLoop(
      state, [v5] { return copyToV4(*v5); },
      [](const PlainV4& old) { return old.alt; });
}

void BM_AltMetresWrite_Plain(benchmark::State& state) {
  PlainPosition* p = plainPosition();
  benchmark::DoNotOptimize(p);
  float metres = kAltMetres;
  writeLoop(state, [p, &metres] {
    benchmark::DoNotOptimize(metres);
    p->alt = metres;
  });
}

void BM_AltMetresWrite_v4(benchmark::State& state) {
  Msg15_v4* v4 = chain15().v4;
  float metres = kAltMetres;
  writeLoop(state, [v4, &metres] {
    benchmark::DoNotOptimize(metres);
    v4->alt.set(metres);
  });
}

// Attitude: Msg16_v1 sees the stored quaternion as Euler angles.  The
// baselines make only the math-library calls of the conversion, on the
// arguments the conversion passes them.

constexpr double kDegreesPerRadian = 57.29577951308232;

struct ReadArguments {
  double yawY, yawX, pitch, rollY, rollX;
};

// The arguments of the regular (non-polar) branch, for the stored attitude.
ReadArguments readArguments() {
  Quaternions& q = chain16().v2->att.get();
  const double qw = q.w.get(), qx = q.x.get(), qy = q.y.get(), qz = q.z.get();
  const double sw = qw * qw, sx = qx * qx, sy = qy * qy, sz = qz * qz;
  const double unit = ((sx + sy) + sz) + sw;
  const double test = qx * qy + qz * qw;
  return {(2.0 * qy) * qw - (2.0 * qx) * qz, ((sx - sy) - sz) + sw,
          (2.0 * test) / unit, (2.0 * qx) * qw - (2.0 * qy) * qz,
          ((-sx + sy) - sz) + sw};
}

void BM_AttRead_Libm(benchmark::State& state) {
  ReadArguments a = readArguments();
  EulerAngles& read = chain16().v1->att.get();
  expectSame(
      state,
      sameBits(read.yaw.get(), static_cast<float>(std::atan2(a.yawY, a.yawX) *
                                                  kDegreesPerRadian)) &&
          sameBits(read.pitch.get(), static_cast<float>(std::asin(a.pitch) *
                                                        kDegreesPerRadian)) &&
          sameBits(read.roll.get(),
                   static_cast<float>(std::atan2(a.rollY, a.rollX) *
                                      kDegreesPerRadian)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    consume(std::atan2(a.yawY, a.yawX));
    consume(std::asin(a.pitch));
    consume(std::atan2(a.rollY, a.rollX));
    benchmark::ClobberMemory();
  }
}

void BM_AttRead_v1(benchmark::State& state) {
  Msg16_v1* v1 = chain16().v1;
  for (auto _ : state) {
    EulerAngles& ea = v1->att.get();
    consume(ea.yaw.get());
    consume(ea.pitch.get());
    consume(ea.roll.get());
    benchmark::ClobberMemory();
  }
}

void BM_AttRead_CopyToV1(benchmark::State& state) {
  Msg16_v2* v2 = chain16().v2;
  copyLoop(
      state, [v2] { return copyToV1(*v2); },
      [](const PlainV1& old) { return old.yaw; });
}

double halfAngleRadians(float degrees) {
  return (static_cast<double>(degrees) * 3.141592653589793) / 360.0;
}

void BM_AttWrite_Libm(benchmark::State& state) {
  double yaw = halfAngleRadians(kYaw);
  double pitch = halfAngleRadians(kPitch);
  double roll = halfAngleRadians(kRoll);
  {
    // The quaternion these sines and cosines make is the one the library
    // stored for the same angles (chain16() wrote them).
    const double c1 = std::cos(yaw), s1 = std::sin(yaw);
    const double c2 = std::cos(pitch), s2 = std::sin(pitch);
    const double c3 = std::cos(roll), s3 = std::sin(roll);
    const double p = c1 * c2, r = s1 * s2;
    Quaternions& q = chain16().v2->att.get();
    expectSame(
        state,
        sameBits(q.w.get(), static_cast<float>(p * c3 - r * s3)) &&
            sameBits(q.x.get(), static_cast<float>(p * s3 + r * c3)) &&
            sameBits(q.y.get(),
                     static_cast<float>((s1 * c2) * c3 + (c1 * s2) * s3)) &&
            sameBits(q.z.get(),
                     static_cast<float>((c1 * s2) * c3 - (s1 * c2) * s3)));
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(yaw);
    benchmark::DoNotOptimize(pitch);
    benchmark::DoNotOptimize(roll);
    consume(std::cos(yaw));
    consume(std::sin(yaw));
    consume(std::cos(pitch));
    consume(std::sin(pitch));
    consume(std::cos(roll));
    consume(std::sin(roll));
    benchmark::ClobberMemory();
  }
}

void BM_AttWrite_v1(benchmark::State& state) {
  Msg16_v1* v1 = chain16().v1;
  EulerAngles ea;
  ea.yaw = kYaw;
  ea.pitch = kPitch;
  ea.roll = kRoll;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ea);
    v1->att.set(ea);
    benchmark::ClobberMemory();
  }
}

}  // namespace

BENCHMARK(BM_LatRead_Plain);
BENCHMARK(BM_LatRead_v5);
BENCHMARK(BM_LatRead_v4);
BENCHMARK(BM_LatRead_v3);
BENCHMARK(BM_LatRead_v2);
BENCHMARK(BM_LatRead_CopyToV4);
BENCHMARK(BM_LatRead_CopyToV3);
BENCHMARK(BM_LatRead_CopyToV2);
BENCHMARK(BM_LatWrite_Plain);
BENCHMARK(BM_LatWrite_v5);
BENCHMARK(BM_LatWrite_v4);
BENCHMARK(BM_LatWrite_v3);
BENCHMARK(BM_LatWrite_v2);
BENCHMARK(BM_AltFeetRead_Plain);
BENCHMARK(BM_AltFeetRead_v3);
BENCHMARK(BM_AltFeetRead_v2);
BENCHMARK(BM_AltFeetRead_CopyToV3);
BENCHMARK(BM_AltFeetRead_CopyToV2);
BENCHMARK(BM_AltFeetWrite_Plain);
BENCHMARK(BM_AltFeetWrite_v3);
BENCHMARK(BM_AltFeetWrite_v2);
BENCHMARK(BM_AltMetresRead_Plain);
BENCHMARK(BM_AltMetresRead_v4);
BENCHMARK(BM_AltMetresRead_CopyToV4);
BENCHMARK(BM_AltMetresWrite_Plain);
BENCHMARK(BM_AltMetresWrite_v4);
BENCHMARK(BM_AttRead_Libm);
BENCHMARK(BM_AttRead_v1);
BENCHMARK(BM_AttRead_CopyToV1);
BENCHMARK(BM_AttWrite_Libm);
BENCHMARK(BM_AttWrite_v1);
