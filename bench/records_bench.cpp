// Records of Msg15_v2 written and read as JSON text and as CBOR bytes,
// beside nlohmann/json on a plain struct with the same three fields: what
// a user writes without records.
//
// Each case checks first that both sides carry the same values.
#include <benchmark/benchmark.h>
#include <tamberlo/records.h>

#include <cstdint>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

struct PlainV2 {
  std::int32_t alt = 0;  // feet
  float lat = 0.0f;
  float lng = 0.0f;
  // NOLINTNEXTLINE(modernize-use-trailing-return-type)
  NLOHMANN_DEFINE_TYPE_INTRUSIVE(PlainV2, alt, lat, lng)
};

constexpr std::int32_t kFeet = 32808;
constexpr float kLat = 45.12345f;
constexpr float kLng = 7.654321f;

Chain15& chain() {
  static Chain15* const c = [] {
    auto* made = new Chain15;
    made->v2->alt = kFeet;
    made->v2->lat = kLat;
    made->v2->lng = kLng;
    return made;
  }();
  return *c;
}

const PlainV2 kPlain{kFeet, kLat, kLng};

bool holdsThem(std::int32_t alt, float lat, float lng) {
  return alt == kFeet && std::memcmp(&lat, &kLat, sizeof lat) == 0 &&
         std::memcmp(&lng, &kLng, sizeof lng) == 0;
}

bool holdsThem(const PlainV2& p) { return holdsThem(p.alt, p.lat, p.lng); }

bool holdsThem(Msg15_v2& v2) {
  return holdsThem(v2.alt.get(), v2.lat.get(), v2.lng.get());
}

void expectSame(benchmark::State& state, bool same) {
  if (!same) state.SkipWithError("records and the plain struct disagree");
}

MsgBase& readJson(const std::string& text) {
  return tamberlo::readJson<Msg15_v5, Msg15_v4, Msg15_v3, Msg15_v2>(
      chain().root, text);
}

MsgBase& readCbor(const std::vector<std::uint8_t>& bytes) {
  return tamberlo::readCbor<Msg15_v5, Msg15_v4, Msg15_v3, Msg15_v2>(
      chain().root, bytes);
}

void BM_RecordWriteJson_Plain(benchmark::State& state) {
  expectSame(
      state,
      holdsThem(
          nlohmann::json::parse(nlohmann::json(kPlain).dump()).get<PlainV2>()));
  for (auto _ : state) {
    std::string text = nlohmann::json(kPlain).dump();
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_RecordWriteJson_Plain);

void BM_RecordWriteJson_v2(benchmark::State& state) {
  Msg15_v2& v2 = *chain().v2;
  readJson(tamberlo::toJson(v2));
  expectSame(state, holdsThem(v2));
  for (auto _ : state) {
    std::string text = tamberlo::toJson(v2);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_RecordWriteJson_v2);

void BM_RecordWriteCbor_Plain(benchmark::State& state) {
  expectSame(
      state,
      holdsThem(nlohmann::json::from_cbor(nlohmann::json::to_cbor(kPlain))
                    .get<PlainV2>()));
  for (auto _ : state) {
    std::vector<std::uint8_t> bytes =
        nlohmann::json::to_cbor(nlohmann::json(kPlain));
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_RecordWriteCbor_Plain);

void BM_RecordWriteCbor_v2(benchmark::State& state) {
  Msg15_v2& v2 = *chain().v2;
  readCbor(tamberlo::toCbor(v2));
  expectSame(state, holdsThem(v2));
  for (auto _ : state) {
    std::vector<std::uint8_t> bytes = tamberlo::toCbor(v2);
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_RecordWriteCbor_v2);

void BM_RecordReadJson_Plain(benchmark::State& state) {
  const std::string text = nlohmann::json(kPlain).dump();
  for (auto _ : state) {
    PlainV2 read = nlohmann::json::parse(text).get<PlainV2>();
    benchmark::DoNotOptimize(read);
  }
  expectSame(state, holdsThem(nlohmann::json::parse(text).get<PlainV2>()));
}
BENCHMARK(BM_RecordReadJson_Plain);

void BM_RecordReadJson_v2(benchmark::State& state) {
  const std::string text = tamberlo::toJson(*chain().v2);
  for (auto _ : state) {
    MsgBase& written = readJson(text);
    benchmark::DoNotOptimize(written);
  }
  expectSame(state, holdsThem(*chain().v2));
}
BENCHMARK(BM_RecordReadJson_v2);

void BM_RecordReadCbor_Plain(benchmark::State& state) {
  const std::vector<std::uint8_t> bytes = nlohmann::json::to_cbor(kPlain);
  for (auto _ : state) {
    PlainV2 read = nlohmann::json::from_cbor(bytes).get<PlainV2>();
    benchmark::DoNotOptimize(read);
  }
  expectSame(state, holdsThem(nlohmann::json::from_cbor(bytes).get<PlainV2>()));
}
BENCHMARK(BM_RecordReadCbor_Plain);

void BM_RecordReadCbor_v2(benchmark::State& state) {
  const std::vector<std::uint8_t> bytes = tamberlo::toCbor(*chain().v2);
  for (auto _ : state) {
    MsgBase& written = readCbor(bytes);
    benchmark::DoNotOptimize(written);
  }
  expectSame(state, holdsThem(*chain().v2));
}
BENCHMARK(BM_RecordReadCbor_v2);

}  // namespace
