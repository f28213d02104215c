// Names typed tests after their parameter's kName ("Family15/Msg15_v4"
// reads better than "Family15/2").
#ifndef TAMBERLO_TESTS_NAMED_TYPES_H_
#define TAMBERLO_TESTS_NAMED_TYPES_H_

#include <string>

struct NamedByKName {
  template <typename T>
  static std::string GetName(int) {
    return T::kName;
  }
};

#endif  // TAMBERLO_TESTS_NAMED_TYPES_H_
