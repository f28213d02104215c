// One digest of every conversion over a fixed stream of inputs.  The same
// value is committed for every target: a target whose arithmetic or math
// library gives other bits for any input fails here.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "chains.h"

namespace {

// SplitMix64: fixed by its definition, unlike the standard distributions.
class Stream {
 public:
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15u);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
  }
  std::uint32_t bits() { return static_cast<std::uint32_t>(next() >> 32); }
  /// In [low, high), from 53 random bits.
  double uniform(double low, double high) {
    return low + (high - low) * (static_cast<double>(next() >> 11) * 0x1p-53);
  }
  /// Any finite float, subnormals included, or now and then a signed zero,
  /// an infinity or a NaN.
  float anyFloat() {
    switch (bits() % 64) {
      case 0:
        return floatOf(bits() & 0x80000000u);  // signed zero
      case 1:
        return floatOf((bits() & 0x80000000u) | 0x7f800000u);
      case 2:
        return floatOf(bits() | 0x7fc00000u);  // NaN, any payload
      default:
        return floatOf(bits() & 0xff7fffffu);  // exponent below 255
    }
  }

 private:
  std::uint64_t state_ = 0x5eed10;
};

// FNV-1a over 32-bit words.  Every NaN folds in as the same word: its sign
// and payload are not part of any conversion's result.
class Digest {
 public:
  void add(std::uint32_t word) { value_ = (value_ ^ word) * 0x100000001b3u; }
  void add(float f) { add(std::isnan(f) ? 0x7fc00000u : bitsOf(f)); }
  void add(std::int32_t i) { add(static_cast<std::uint32_t>(i)); }
  std::uint64_t value() const { return value_; }

 private:
  std::uint64_t value_ = 0xcbf29ce484222325u;
};

constexpr int kInputsPerConversion = 1 << 18;

void addFeetConversions(Stream& s, Digest& d) {
  Chain15 c;
  for (int i = 0; i < kInputsPerConversion; ++i) {
    // Metres over the whole float range, and over the range of int32 feet.
    c.v4->alt =
        i % 2 == 0 ? s.anyFloat() : static_cast<float>(s.uniform(-7e8, 7e8));
    d.add(c.v2->alt.get());
    c.v2->alt = static_cast<std::int32_t>(s.bits());
    d.add(c.v4->alt.get());
    d.add(c.v2->alt.get());
  }
}

// Kinds of angles: 0 any bit pattern, 1 the poles, 2 the edge of the pole
// formulas, 3 far beyond a turn, 4 whole degrees (right angles among
// them), others the usual ranges.  One draw per statement: compilers
// evaluate function arguments in different orders.
EulerAngles drawAngles(Stream& s, int i) {
  const int kind = i % 8;
  const auto angle = [&](double range) {
    if (kind == 0) return s.anyFloat();
    const double a = s.uniform(-range, range);
    return static_cast<float>(kind == 4 ? std::round(a) : a);
  };
  const double turn = kind == 3 ? 1e4 : kind == 4 ? 720 : 180;
  const float yaw = angle(turn);
  float pitch = angle(kind == 3 || kind == 4 ? turn : 90);
  const float sign = i % 16 < 8 ? 1.0f : -1.0f;
  if (kind == 1) pitch = sign * 90.0f;
  if (kind == 2) pitch = sign * (86.3757f + pitch / 900);  // within 0.1
  const float roll = angle(turn);
  return angles(yaw, pitch, roll);
}

void addAttitudeWrites(Stream& s, Digest& d) {
  Chain16 c;
  for (int i = 0; i < kInputsPerConversion; ++i) {
    c.v1->att = drawAngles(s, i);
    Quaternions& q = c.v2->att.get();
    for (float f : {q.w.get(), q.x.get(), q.y.get(), q.z.get()}) d.add(f);
  }
}

void addAttitudeReads(Stream& s, Digest& d) {
  Chain16 c;
  Quaternions& q = c.v2->att.get();
  for (int i = 0; i < kInputsPerConversion; ++i) {
    if (i % 4 == 0) {  // any bit patterns; every 64th, signed zeros
      for (auto* component : {&q.w, &q.x, &q.y, &q.z}) {
        component->set(i % 64 == 0 ? floatOf(s.bits() & 0x80000000u)
                                   : s.anyFloat());
      }
    } else {  // the attitude of any angles, at lengths 2^-140 to 2^120
      EulerAngles ea = drawAngles(s, i);
      q.setFromEA(ea);
      const int exponent = static_cast<int>(s.bits() % 261) - 140;
      for (auto* component : {&q.w, &q.x, &q.y, &q.z}) {
        component->set(std::ldexp(component->get(), exponent));
      }
    }
    EulerAngles& read = c.v1->att.get();
    for (float f : {read.yaw.get(), read.pitch.get(), read.roll.get()}) {
      d.add(f);
    }
  }
}

TEST(ConversionDigest, IsTheSameOnEveryTarget) {
  Stream s;
  Digest d;
  addFeetConversions(s, d);
  addAttitudeWrites(s, d);
  addAttitudeReads(s, d);
  EXPECT_EQ(d.value(), 0x83ccb2c83a49f270u) << std::hex << d.value();
}

}  // namespace
