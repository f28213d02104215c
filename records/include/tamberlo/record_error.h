// RecordError: what every record reader and writer throws for a record it
// refuses.
#ifndef TAMBERLO_RECORD_ERROR_H_
#define TAMBERLO_RECORD_ERROR_H_

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tamberlo {

/// A record that cannot be read or written: text that is not JSON, bytes
/// that are not CBOR, or a record whose shape, family, version or fields do
/// not fit the classes given.  The message names the family, the version
/// and the field where they are known, and what is wrong.
class RecordError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

namespace detail {

/// What a message about a record starts with: the family and version it
/// names and the class that has them.
inline std::string recordOf(std::int32_t family, std::int32_t version,
                            std::string_view className) {
  std::string text = "record of family " + std::to_string(family) +
                     " version " + std::to_string(version) + " (";
  text += className;
  return text += ')';
}

}  // namespace detail

}  // namespace tamberlo

#endif  // TAMBERLO_RECORD_ERROR_H_
