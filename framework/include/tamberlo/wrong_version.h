/// \file
/// WrongVersion: what tamberlo::olderVersion throws when the older version
/// is not of the class asked for.  Include it where you catch it.
#ifndef TAMBERLO_WRONG_VERSION_H_
#define TAMBERLO_WRONG_VERSION_H_

#include <stdexcept>

namespace tamberlo {

/// Thrown by olderVersion when the older version is not of the class asked
/// for; its message names both:
/// `tamberlo::olderVersion<Msg15_v4>: Msg15_v5's older version is family 15
/// version 3, not Msg15_v4`.
class WrongVersion : public std::logic_error {
 public:
  /// Takes the message.
  using std::logic_error::logic_error;
};

}  // namespace tamberlo

#endif  // TAMBERLO_WRONG_VERSION_H_
