/// \file
/// WrongVersion: what tamberlo::olderVersion throws when the older version
/// is not of the class asked for, and typed getVersion when the object it
/// finds was built as another layout.  Include it where you catch it.
#ifndef TAMBERLO_WRONG_VERSION_H_
#define TAMBERLO_WRONG_VERSION_H_

#include <stdexcept>

namespace tamberlo {

/// Thrown by olderVersion when the older version is not of the class asked
/// for; its message names both:
/// `tamberlo::olderVersion<Msg15_v4>: Msg15_v5's older version is family 15
/// version 3, not Msg15_v4`.  Thrown by getVersion<V>() when the library
/// built the object it finds as a class of another layout fingerprint than
/// V as the calling code knows it (another class of the same numbers, or
/// V before a release changed it), naming V.
class WrongVersion : public std::logic_error {
 public:
  /// Takes the message.
  using std::logic_error::logic_error;
};

}  // namespace tamberlo

#endif  // TAMBERLO_WRONG_VERSION_H_
