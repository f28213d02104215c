// Finds the CBOR that nlohmann/json would read wrongly: by unbounded
// recursion, or as another number.
#ifndef TAMBERLO_CBOR_SCAN_H_
#define TAMBERLO_CBOR_SCAN_H_

#include <array>
#include <cstddef>
#include <cstdint>

namespace tamberlo::detail {

/// What a scan found, and the offset of the item; `what` is null where it
/// found nothing.
struct CborFinding {
  const char* what = nullptr;
  std::size_t at = 0;
};

// The bytes from `at` on, read as the heads of CBOR items.
class CborCursor {
 public:
  CborCursor(const std::uint8_t* bytes, std::size_t size)
      : bytes_(bytes), size_(size) {}

  [[nodiscard]] bool atEnd() const { return at_ >= size_; }
  [[nodiscard]] std::size_t at() const { return at_; }
  // NOLINTNEXTLINE(cppcoreguidelines-pro-bounds-pointer-arithmetic)
  std::uint8_t next() { return bytes_[at_++]; }

  /// The argument of a head whose additional information is `info` (not
  /// 31); false where it is reserved or the bytes end.
  bool argument(std::uint8_t info, std::uint64_t& out) {
    if (info < 24) {
      out = info;
      return true;
    }
    if (info > 27) return false;
    const std::size_t length = std::size_t{1} << (info - 24);
    if (size_ - at_ < length) return false;
    out = 0;
    for (std::size_t i = 0; i < length; ++i) out = out << 8 | next();
    return true;
  }

  bool skip(std::uint64_t bytes) {
    if (bytes > size_ - at_) return false;
    at_ += static_cast<std::size_t>(bytes);
    return true;
  }

 private:
  const std::uint8_t* bytes_;
  std::size_t size_;
  std::size_t at_ = 0;
};

/// The first item in `bytes` that nlohmann/json's CBOR reader gets wrong:
/// a chunk of an indefinite-length string that is itself of indefinite
/// length, which it reads by recursion, so that a long run of them would
/// overflow the stack (such chunks are not well-formed CBOR, RFC 8949,
/// 3.2.3); or a negative integer below -2^63, which it reads as another
/// number.  The scan follows the items in the parser's order and stops
/// without a finding where the parser stops anyway: at a malformed byte, a
/// tag (which readers refuse), beyond `MaxDepth` nested arrays and maps
/// (which readers refuse), or at the end of the first item.  It allocates
/// nothing.
template <std::size_t MaxDepth>
CborFinding scanCbor(const std::uint8_t* bytes, std::size_t size) {
  constexpr std::uint64_t kOpenEnded = ~std::uint64_t{0};
  std::array<std::uint64_t, MaxDepth> left{};  // items left in each level
  std::size_t depth = 0;
  // Counts one finished item in the arrays and maps around it, closing
  // those it completes; true once the first item is finished.
  const auto finished = [&] {
    for (; depth > 0; --depth) {
      std::uint64_t& items = left.at(depth - 1);
      if (items == kOpenEnded || --items > 0) return false;
    }
    return true;
  };
  CborCursor in(bytes, size);
  while (!in.atEnd()) {
    const std::uint8_t initial = in.next();
    const auto major = static_cast<std::uint8_t>(initial >> 5);
    const auto info = static_cast<std::uint8_t>(initial & 0x1F);
    const std::size_t item = in.at() - 1;
    std::uint64_t argument = 0;
    if (initial == 0xFF) {  // the break that ends an open-ended level
      if (depth == 0 || left.at(depth - 1) != kOpenEnded) return {};
      --depth;
    } else if (info == 31 && (major == 2 || major == 3)) {
      // Chunks up to a break, each a string of the same major type.
      for (;;) {
        if (in.atEnd()) return {};
        const std::size_t chunk = in.at();
        const std::uint8_t head = in.next();
        if (head == 0xFF) break;
        if (head >> 5 != major) return {};
        if ((head & 0x1F) == 31) {
          return {
              "not CBOR: a chunk of an indefinite-length string is "
              "itself of indefinite length",
              chunk};
        }
        if (!in.argument(head & 0x1F, argument) || !in.skip(argument)) {
          return {};
        }
      }
    } else if (major == 4 || major == 5) {
      if (info != 31 && !in.argument(info, argument)) return {};
      if (info == 31 || argument > 0) {
        if (depth == MaxDepth) return {};
        // A map holds a key and a value per entry; a count too big for
        // the bytes ends with them.
        const std::uint64_t most = (kOpenEnded - 1) / (major == 5 ? 2 : 1);
        left.at(depth++) = info == 31        ? kOpenEnded
                           : argument > most ? kOpenEnded - 1
                                             : argument * (major == 5 ? 2 : 1);
        continue;
      }
    } else if (major == 6 || info == 31 || !in.argument(info, argument) ||
               ((major == 2 || major == 3) && !in.skip(argument))) {
      return {};
    } else if (major == 1 && argument >> 63 != 0) {
      return {"an integer below -9223372036854775808", item};
    }
    if (finished()) return {};
  }
  return {};
}

}  // namespace tamberlo::detail

#endif  // TAMBERLO_CBOR_SCAN_H_
