// Instruction counts of single operations, for valgrind --tool=callgrind:
// `instruction_counts OP N` builds its chains, then runs operation OP N
// times; the count at N = 10000 less that at N = 0, over 10000, is the
// cost of one operation with its loop and call (docs/performance.md).
//
// Two three-version families differ only in how version 2 shows version
// 3's float degrees Celsius as whole degrees Fahrenheit: through a
// hand-written accessor pair with a cache (Acc), or a Converted field
// (Conv).  Version 1 of each forwards to version 2's field by name.
#include <tamberlo/chain.h>
#include <tamberlo/tamberlo.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fahrenheit.h"

#if defined(__GNUC__) && !defined(__clang__)
#define TAMBERLO_OPERATION __attribute__((noinline, noipa))
#else
#define TAMBERLO_OPERATION __attribute__((noinline))
#endif

class Acc_v2;
class Acc_v3 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 90;
  static constexpr std::int32_t versionNo = 3;
  ElementCur<float, Acc_v3> celsius;
  std::int32_t fahrenheitCache = 0;
  explicit Acc_v3(MsgMap& links);

 private:
  void init(Acc_v2& previous);
  std::int32_t& getFahrenheit() {
    fahrenheitCache = Fahrenheit::toOlder(celsius.get());
    return fahrenheitCache;
  }
  void setFahrenheit(std::int32_t f) { celsius = Fahrenheit::toNewer(f); }
};
TAMBERLO_FIELDS(Acc_v3, celsius)

class Acc_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 90;
  static constexpr std::int32_t versionNo = 2;
  ElementPrev<std::int32_t, Acc_v3> fahrenheit;
  explicit Acc_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Acc_v2, fahrenheit)

class Acc_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 90;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<std::int32_t, Acc_v2> fahrenheit;
  explicit Acc_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Acc_v1, fahrenheit)

Acc_v3::Acc_v3(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Acc_v2>(*this, &Acc_v3::init);
}
void Acc_v3::init(Acc_v2& previous) {
  previous.fahrenheit.bind(this, &Acc_v3::getFahrenheit,
                           &Acc_v3::setFahrenheit);
}
Acc_v2::Acc_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Acc_v1>(*this);
}

class Conv_v3 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 91;
  static constexpr std::int32_t versionNo = 3;
  ElementCur<float, Conv_v3> celsius;
  explicit Conv_v3(MsgMap& links);
};
TAMBERLO_FIELDS(Conv_v3, celsius)

class Conv_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 91;
  static constexpr std::int32_t versionNo = 2;
  tamberlo::Converted<std::int32_t, &Conv_v3::celsius, Fahrenheit> fahrenheit;
  explicit Conv_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Conv_v2, fahrenheit)

class Conv_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 91;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<std::int32_t, Conv_v2> fahrenheit;
  explicit Conv_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Conv_v1, fahrenheit)

Conv_v3::Conv_v3(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Conv_v2>(*this);
}
Conv_v2::Conv_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Conv_v1>(*this);
}

namespace {

template <typename Version>
TAMBERLO_OPERATION std::int32_t read(Version& v) {
  return v.fahrenheit.get();
}
template <typename Version>
TAMBERLO_OPERATION void set(Version& v, std::int32_t f) {
  v.fahrenheit.set(f);
}
template <typename Version>
TAMBERLO_OPERATION void assign(Version& v, std::int32_t f) {
  v.fahrenheit = f;
}
TAMBERLO_OPERATION float readLat(Msg15_v2& v) { return v.lat.get(); }
TAMBERLO_OPERATION void setLat(Msg15_v2& v, float lat) { v.lat.set(lat); }
TAMBERLO_OPERATION void assignLat(Msg15_v2& v, float lat) { v.lat = lat; }
TAMBERLO_OPERATION std::int32_t readAlt(Msg15_v2& v) { return v.alt.get(); }
TAMBERLO_OPERATION MsgBase* instance() { return MsgBase::getInstance(15); }
TAMBERLO_OPERATION MsgBase* lookUp(MsgBase& root) {
  return root.getVersion(15, 2);
}
TAMBERLO_OPERATION Msg15_v2* typedLookUp(MsgBase& root) {
  return root.getVersion<Msg15_v2>();
}
TAMBERLO_OPERATION float ownedChain() {
  const tamberlo::Chain<Msg15_v5> chain;
  return chain->position.get().lat.get();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: instruction_counts OP N\n");
    return 2;
  }
  const int op = std::atoi(argv[1]);
  const long n = std::atol(argv[2]);
  MsgMap none;
  auto* acc = new Acc_v3(none);
  auto* conv = new Conv_v3(none);
  acc->celsius = 37.0f;
  conv->celsius = 37.0f;
  auto& acc2 = *acc->getVersion<Acc_v2>();
  auto& acc1 = *acc->getVersion<Acc_v1>();
  auto& conv2 = *conv->getVersion<Conv_v2>();
  auto& conv1 = *conv->getVersion<Conv_v1>();
  MsgBase& pos = *MsgBase::getInstance(15);
  auto& pos2 = *pos.getVersion<Msg15_v2>();
  long sum = 0;
  // One loop per operation, chosen before it starts.
  switch (op) {
    case 1:
      for (long i = 0; i < n; ++i) sum += read(acc2);
      break;
    case 2:
      for (long i = 0; i < n; ++i) set(acc2, 98);
      break;
    case 3:
      for (long i = 0; i < n; ++i) sum += read(acc1);
      break;
    case 4:
      for (long i = 0; i < n; ++i) set(acc1, 98);
      break;
    case 5:
      for (long i = 0; i < n; ++i) sum += read(conv2);
      break;
    case 6:
      for (long i = 0; i < n; ++i) set(conv2, 98);
      break;
    case 7:
      for (long i = 0; i < n; ++i) sum += read(conv1);
      break;
    case 8:
      for (long i = 0; i < n; ++i) set(conv1, 98);
      break;
    case 9:
      for (long i = 0; i < n; ++i) assign(acc2, 98);
      break;
    case 10:
      for (long i = 0; i < n; ++i) assign(conv2, 98);
      break;
    case 11:
      for (long i = 0; i < n; ++i) sum += static_cast<long>(readLat(pos2));
      break;
    case 12:
      for (long i = 0; i < n; ++i) setLat(pos2, 45.0f);
      break;
    case 13:
      for (long i = 0; i < n; ++i) assignLat(pos2, 45.0f);
      break;
    case 14:
      for (long i = 0; i < n; ++i) sum += readAlt(pos2);
      break;
    case 15:
      for (long i = 0; i < n; ++i) sum += instance() != nullptr;
      break;
    case 16:
      for (long i = 0; i < n; ++i) sum += lookUp(pos) != nullptr;
      break;
    case 17:
      for (long i = 0; i < n; ++i) sum += typedLookUp(pos) != nullptr;
      break;
    case 18:
      for (long i = 0; i < n; ++i) sum += static_cast<long>(ownedChain());
      break;
    default:
      return 2;
  }
  std::printf("%ld\n", sum);
  return 0;
}
