// Every float bit pattern through a record and back, as JSON text and as
// CBOR bytes, and N random double bit patterns too: `record_floats N`, or
// `record_floats N FIRST LAST [STRIDE]` for every STRIDE-th float bit
// pattern from FIRST to LAST (decimal, inclusive), to share the floats
// among processes or to take a sample that spans every exponent.
// Too long for the suite (hours), so a tool; docs/design.md quotes its
// output.  It also counts the floats whose text is longer than their
// shortest decimal (nlohmann/json writes doubles with Grisu2, which now
// and then gives more digits) and those written as their exact value (see
// recordNumber).
#include <tamberlo/records.h>
#include <tamberlo/tamberlo.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>

// A family of one field of type Real: 41 for float, 42 for double.
template <typename Real>
struct Holder : MsgBase {
  static constexpr std::int32_t familyId = sizeof(Real) == 4 ? 41 : 42;
  static constexpr std::int32_t versionNo = 1;
  ElementCur<Real, Holder> x;
  explicit Holder(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
template <typename Real>
TAMBERLO_FIELDS(Holder<Real>, x)

namespace {
  // Equal bits; a NaN reads back as the default NaN of its sign.
  template <typename Real>
  bool same(Real a, Real b) {
    if (std::isnan(a))
      return std::isnan(b) && std::signbit(a) == std::signbit(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
  }

  // The significant digits of a decimal, without sign, point or exponent.
  std::string digits(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, text.find_first_of("eE"))) {
      if (c >= '0' && c <= '9' && !(out.empty() && c == '0')) out += c;
    }
    return out.erase(out.find_last_not_of('0') + 1);
  }

  // Writes `out`'s record, reads it into `in` as JSON and as CBOR, and says
  // whether both read back the same; `text` is the JSON.
  template <typename Message>
  bool roundTrip(Message & out, Message & in, std::string & text) {
    text = tamberlo::toJson(out);
    tamberlo::readJson<Message>(&in, text);
    const bool json = same(in.x.get(), out.x.get());
    tamberlo::readCbor<Message>(&in, tamberlo::toCbor(out));
    return json && same(in.x.get(), out.x.get());
  }

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t count =
      argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 0;
  const std::uint64_t first =
      argc > 3 ? std::strtoull(argv[2], nullptr, 10) : 0;
  const std::uint64_t last =
      argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 0xFFFFFFFFu;
  const std::uint64_t stride =
      argc > 4 ? std::max<std::uint64_t>(std::strtoull(argv[4], nullptr, 10), 1)
               : 1;
  MsgMap none;
  static auto* const single = new Holder<float>(none);
  static auto* const singleIn = new Holder<float>(none);
  std::uint64_t wrong = 0;
  std::uint64_t longer = 0;
  std::uint64_t exact = 0;
  std::string text;
  for (std::uint64_t bits = first; bits <= last; bits += stride) {
    const auto u = static_cast<std::uint32_t>(bits);
    float f = 0;
    std::memcpy(&f, &u, sizeof f);
    single->x = f;
    wrong += roundTrip(*single, *singleIn, text) ? 0 : 1;
    if (!std::isfinite(f)) continue;
    std::array<char, 32> shortest{};
    const char* end =
        std::to_chars(shortest.data(), shortest.data() + shortest.size(), f)
            .ptr;
    const std::string_view number(text.data() + text.rfind(':') + 1,
                                  text.size() - text.rfind(':') - 3);
    if (digits(number) !=
        digits({shortest.data(),
                static_cast<std::size_t>(end - shortest.data())})) {
      ++longer;
    }
    if (tamberlo::detail::recordNumber(f) == static_cast<double>(f) &&
        std::strtod(shortest.data(), nullptr) != static_cast<double>(f)) {
      ++exact;
    }
  }
  std::printf("floats: patterns %" PRIu64 " to %" PRIu64 " in steps of %" PRIu64
              ", %" PRIu64 " read back otherwise; of the finite ones, %" PRIu64
              " written with more digits than their shortest decimal, %" PRIu64
              " as their exact value\n",
              first, last, stride, wrong, longer, exact);

  static auto* const wide = new Holder<double>(none);
  static auto* const wideIn = new Holder<double>(none);
  std::mt19937_64 random(1);
  wrong = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint64_t u = random();
    double d = 0;
    std::memcpy(&d, &u, sizeof d);
    wide->x = d;
    wrong += roundTrip(*wide, *wideIn, text) ? 0 : 1;
  }
  std::printf("doubles: %" PRIu64 " random patterns, %" PRIu64
              " read back otherwise\n",
              count, wrong);
  return 0;
}
