// RecordError: what every record reader and writer throws for a record it
// refuses.
#ifndef TAMBERLO_RECORD_ERROR_H_
#define TAMBERLO_RECORD_ERROR_H_

#include <stdexcept>

namespace tamberlo {

/// A record that cannot be read or written: text that is not JSON, bytes
/// that are not CBOR, or a record whose shape, family, version or fields do
/// not fit the classes given.  The message names the family, the version
/// and the field where they are known, and what is wrong.
class RecordError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace tamberlo

#endif  // TAMBERLO_RECORD_ERROR_H_
