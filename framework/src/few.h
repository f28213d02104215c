// A list that holds a few items in place and allocates only past them: the
// walks of a chain's graph reach a few objects, and run as objects are
// destroyed, where an allocation apiece would cost more than the walk.
#ifndef TAMBERLO_SRC_FEW_H_
#define TAMBERLO_SRC_FEW_H_

#include <array>
#include <cstddef>
#include <vector>

namespace tamberlo::detail {

template <typename T, std::size_t N>
class Few {
 public:
  void push_back(const T& item) {
    if (many_.empty() && size_ < N) {
      few_[size_++] = item;
      return;
    }
    if (many_.empty()) many_.assign(few_.begin(), few_.end());
    many_.push_back(item);
  }
  void pop_back() noexcept {
    if (many_.empty()) {
      --size_;
    } else {
      many_.pop_back();
    }
  }
  [[nodiscard]] bool empty() const noexcept { return size() == 0; }
  [[nodiscard]] std::size_t size() const noexcept {
    return many_.empty() ? size_ : many_.size();
  }
  T& back() noexcept { return begin()[size() - 1]; }
  T* begin() noexcept { return many_.empty() ? few_.data() : many_.data(); }
  T* end() noexcept { return begin() + size(); }
  const T* begin() const noexcept {
    return many_.empty() ? few_.data() : many_.data();
  }
  const T* end() const noexcept { return begin() + size(); }

 private:
  std::array<T, N> few_{};
  std::size_t size_ = 0;
  std::vector<T> many_;  // every item, once they outgrow few_
};

}  // namespace tamberlo::detail

#endif  // TAMBERLO_SRC_FEW_H_
