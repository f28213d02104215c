// Writes every int32 number of feet through Msg15_v2, reads it back and
// reports the differences: per band of magnitude (band b > 0 holds
// 2^(b-1) <= feet < 2^b, band -b the same values negated, band 0 holds 0),
// then as one distribution of how far each read lies from the value written
// (negative: toward zero).  Too long for the test suite, so it is a tool;
// docs/conversions.md quotes its output and how long it takes.
#include <tamberlo/tamberlo.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

struct Band {
  std::int64_t first = 0;
  std::int64_t last = 0;
  std::uint64_t unchanged = 0;
  std::uint64_t oneTowardZero = 0;
  std::uint64_t other = 0;
  std::int64_t minDiff = 0;  // read - written
  std::int64_t maxDiff = 0;
};

std::int64_t magnitude(std::int64_t v) { return v < 0 ? -v : v; }

// The number of bits of |v|, negated for negative v: bucket k > 0 holds
// 2^(k-1) <= v < 2^k.
int bucket(std::int64_t v) {
  int bits = 0;
  for (std::int64_t m = magnitude(v); m != 0; m >>= 1) ++bits;
  return v < 0 ? -bits : bits;
}

std::int64_t lowest(int bits) { return std::int64_t{1} << (bits - 1); }

constexpr int kBuckets = 64;
std::uint64_t distribution[2 * kBuckets + 1];  // of |read| - |written|
std::int64_t firstOtherPositive = 0;
std::int64_t firstOtherNegative = 0;

Band measure(Msg15_v2& v2, std::int64_t first, std::int64_t last) {
  Band band;
  band.first = first;
  band.last = last;
  band.minDiff = INT64_MAX;
  band.maxDiff = INT64_MIN;
  for (std::int64_t feet = first; feet <= last; ++feet) {
    v2.alt = static_cast<std::int32_t>(feet);
    const std::int64_t read = v2.alt.get();
    const std::int64_t diff = read - feet;
    const std::int64_t away = magnitude(read) - magnitude(feet);
    if (diff < band.minDiff) band.minDiff = diff;
    if (diff > band.maxDiff) band.maxDiff = diff;
    ++distribution[bucket(away) + kBuckets];
    if (diff == 0) {
      ++band.unchanged;
    } else if (away == -1) {
      ++band.oneTowardZero;
    } else {
      ++band.other;
      std::int64_t& firstOther =
          feet > 0 ? firstOtherPositive : firstOtherNegative;
      if (firstOther == 0 || magnitude(feet) < magnitude(firstOther)) {
        firstOther = feet;
      }
    }
  }
  return band;
}

}  // namespace

int main() {
  auto* v2 = MsgBase::getInstance(15)->getVersion<Msg15_v2>();
  if (v2 == nullptr) return EXIT_FAILURE;

  std::map<int, Band> bands;
  bands[0] = measure(*v2, 0, 0);
  for (int b = 1; b <= 32; ++b) {
    const std::int64_t low = lowest(b);
    const std::int64_t high = lowest(b + 1) - 1;
    if (low <= INT32_MAX) {
      bands[b] = measure(*v2, low, high < INT32_MAX ? high : INT32_MAX);
    }
    bands[-b] = measure(*v2, -high > INT32_MIN ? -high : INT32_MIN, -low);
  }

  std::printf("%4s %12s %12s %11s %11s %11s %6s %6s\n", "band", "first", "last",
              "unchanged", "1 to zero", "other", "min", "max");
  for (const auto& [b, band] : bands) {
    std::printf("%4d %12" PRId64 " %12" PRId64 " %11" PRIu64 " %11" PRIu64
                " %11" PRIu64 " %6" PRId64 " %6" PRId64 "\n",
                b, band.first, band.last, band.unchanged, band.oneTowardZero,
                band.other, band.minDiff, band.maxDiff);
  }
  std::printf("\nfirst value neither unchanged nor 1 toward zero: %" PRId64
              " and %" PRId64 "\n",
              firstOtherPositive, firstOtherNegative);
  std::printf("\n|read| - |written|\n%12s %12s  %s\n", "from", "to", "count");
  for (int k = -kBuckets; k <= kBuckets; ++k) {
    const std::uint64_t n = distribution[k + kBuckets];
    if (n == 0) continue;
    const std::int64_t low = k == 0 ? 0 : lowest(k < 0 ? -k : k);
    const std::int64_t high = k == 0 ? 0 : 2 * low - 1;
    std::printf("%12" PRId64 " %12" PRId64 "  %" PRIu64 "\n",
                k < 0 ? -high : low, k < 0 ? -low : high, n);
  }
  return EXIT_SUCCESS;
}
