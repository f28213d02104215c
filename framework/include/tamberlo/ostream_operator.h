/// \file
/// Writes a message or value struct to a std::ostream as toString does.
#ifndef TAMBERLO_OSTREAM_OPERATOR_H_
#define TAMBERLO_OSTREAM_OPERATOR_H_

#include <tamberlo/fields.h>
#include <tamberlo/to_string.h>

#include <ostream>
#include <type_traits>

/// Opt in where you write: `using tamberlo::operators::operator<<;`.  The
/// library's classes live in the global namespace, which argument-dependent
/// lookup would search, and nothing is added there.
namespace tamberlo::operators {

/// Writes toString(object) to `out`, for a class with TAMBERLO_FIELDS.
template <typename Object,
          typename = std::enable_if_t<detail::hasFields<Object>>>
std::ostream& operator<<(std::ostream& out, Object& object) {
  return out << toString(object);
}

}  // namespace tamberlo::operators

#endif  // TAMBERLO_OSTREAM_OPERATOR_H_
