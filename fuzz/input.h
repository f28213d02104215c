// The fuzzer's input read front to back as small numbers and raw bit
// patterns; past the end every read is zero, so any input is a valid
// sequence of operations.
#ifndef TAMBERLO_FUZZ_INPUT_H_
#define TAMBERLO_FUZZ_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size)
      : data_(data), size_(size) {}

  bool empty() const { return at_ >= size_; }

  std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }

  /// Little-endian, so seeds can be written by hand.
  std::uint32_t u32() {
    std::uint32_t v = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      v |= static_cast<std::uint32_t>(byte()) << shift;
    }
    return v;
  }

  std::int32_t i32() {
    const std::uint32_t u = u32();
    std::int32_t v;
    std::memcpy(&v, &u, sizeof v);
    return v;
  }

  /// Any bit pattern: NaNs with payloads, infinities, subnormals.
  float f32() {
    const std::uint32_t u = u32();
    float v;
    std::memcpy(&v, &u, sizeof v);
    return v;
  }

  /// One of `n` (> 0) choices.
  std::size_t below(std::size_t n) { return byte() % n; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

#endif  // TAMBERLO_FUZZ_INPUT_H_
