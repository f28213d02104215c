// Finds the CBOR that nlohmann/json would read wrongly: by unbounded
// recursion, or as another number.
#ifndef TAMBERLO_CBOR_SCAN_H_
#define TAMBERLO_CBOR_SCAN_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace tamberlo::detail {

/// What a scan found, and the offset of the item; `what` is null where it
/// found nothing.
struct CborFinding {
  const char* what = nullptr;
  std::size_t at = 0;
};

/// A negative integer at or below -2^63: the offset of its head, and its
/// argument, the integer being -1 minus it.
struct CborLowest {
  std::size_t at;
  std::uint64_t argument;
};

/// Finds in `bytes` what nlohmann/json's CBOR reader gets wrong.  The first
/// chunk of an indefinite-length string that is itself of indefinite
/// length, which it reads by recursion, so that a long run of them would
/// overflow the stack (such chunks are not well-formed CBOR, RFC 8949,
/// 3.2.3), is a finding.  The negative integers below -2^63, which it reads
/// as other numbers, are listed with -2^63 itself, in order: a reader hands
/// the parser each as -2^63 (parseable()), and the parser takes its value
/// from the list.  The scan follows the items in the parser's order and
/// stops where the parser stops anyway: at a malformed byte, a tag (which
/// readers refuse), beyond `MaxDepth` nested arrays and maps (which readers
/// refuse), or at the end of the first item.  It allocates only that list.
template <std::size_t MaxDepth>
class CborScan {
 public:
  CborScan(const std::uint8_t* bytes, std::size_t size)
      : bytes_(bytes), size_(size) {}

  CborFinding run() {
    while (at_ < size_ && item()) {
    }
    return finding_;
  }

  /// The negative integers at or below -2^63 that the scan passed, in
  /// order.
  [[nodiscard]] const std::vector<CborLowest>& lowest() const {
    return lowest_;
  }

  /// The bytes as the parser takes them: those scanned, or a copy in
  /// `copy` with each integer below -2^63 written as -2^63.
  const std::uint8_t* parseable(std::vector<std::uint8_t>& copy) const {
    for (const CborLowest& item : lowest_) {
      if (item.argument == kInt64MinArgument) continue;
      // NOLINTNEXTLINE(cppcoreguidelines-pro-bounds-pointer-arithmetic)
      if (copy.empty()) copy.assign(bytes_, bytes_ + size_);
      // The head stays 0x3B, and its eight bytes of argument become 2^63-1.
      for (std::size_t k = 1; k <= 8; ++k) {
        copy.at(item.at + k) = k == 1 ? 0x7F : 0xFF;
      }
    }
    return copy.empty() ? bytes_ : copy.data();
  }

 private:
  static constexpr std::uint64_t kOpenEnded = ~std::uint64_t{0};
  // -2^63 = -1 - (2^63 - 1)
  static constexpr auto kInt64MinArgument =
      static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

  // NOLINTNEXTLINE(cppcoreguidelines-pro-bounds-pointer-arithmetic)
  std::uint8_t next() { return bytes_[at_++]; }

  // Each step below is false where the scan ends.

  // One item's head, and what it opens or skips.
  bool item() {
    const std::size_t start = at_;
    const std::uint8_t initial = next();
    const auto major = static_cast<std::uint8_t>(initial >> 5);
    const auto info = static_cast<std::uint8_t>(initial & 0x1F);
    if (initial == 0xFF) return closeOpenEnded();
    if (info == 31) {
      if (major == 4 || major == 5) return open(kOpenEnded);
      return (major == 2 || major == 3) && chunks(major);
    }
    std::uint64_t argument = 0;
    if (major == 6 || !readArgument(info, argument)) return false;
    if (major == 4 || major == 5) {
      if (argument > 0) return open(items(major, argument));
    } else if ((major == 2 || major == 3) && !skip(argument)) {
      return false;
    } else if (major == 1 && argument >= kInt64MinArgument) {
      lowest_.push_back({start, argument});
    }
    return finished();
  }

  // The chunks of an indefinite-length string, up to its break: each must
  // be a string of the same major type.
  bool chunks(std::uint8_t major) {
    while (at_ < size_) {
      const std::size_t start = at_;
      const std::uint8_t head = next();
      if (head == 0xFF) return finished();
      std::uint64_t length = 0;
      if (head >> 5 != major) return false;
      if ((head & 0x1F) == 31) {
        finding_ = {
            "not CBOR: a chunk of an indefinite-length string is "
            "itself of indefinite length",
            start};
        return false;
      }
      if (!readArgument(head & 0x1F, length) || !skip(length)) return false;
    }
    return false;
  }

  // The items of an array (4) or map (5) of `entries` entries: a key and a
  // value per entry of a map.  A count too big for the bytes ends with
  // them.
  static std::uint64_t items(std::uint8_t major, std::uint64_t entries) {
    const std::uint64_t each = major == 5 ? 2 : 1;
    return entries > (kOpenEnded - 1) / each ? kOpenEnded - 1 : entries * each;
  }

  // An array or map of `items` items, or open-ended.
  bool open(std::uint64_t items) {
    if (depth_ == MaxDepth) return false;
    left_.at(depth_++) = items;
    return true;
  }

  bool closeOpenEnded() {
    if (depth_ == 0 || left_.at(depth_ - 1) != kOpenEnded) return false;
    --depth_;
    return finished();
  }

  // Counts one finished item in the arrays and maps around it, closing
  // those it completes; false once the first item is finished.
  bool finished() {
    for (; depth_ > 0; --depth_) {
      std::uint64_t& items = left_.at(depth_ - 1);
      if (items == kOpenEnded || --items > 0) return true;
    }
    return false;
  }

  // The argument of a head whose additional information is `info` (not
  // 31); false where it is reserved or the bytes end.
  bool readArgument(std::uint8_t info, std::uint64_t& out) {
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

  const std::uint8_t* bytes_;
  std::size_t size_;
  std::size_t at_ = 0;
  std::array<std::uint64_t, MaxDepth> left_{};  // items left in each level
  std::size_t depth_ = 0;
  CborFinding finding_;
  std::vector<CborLowest> lowest_;
};

}  // namespace tamberlo::detail

#endif  // TAMBERLO_CBOR_SCAN_H_
