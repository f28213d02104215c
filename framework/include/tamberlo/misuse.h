/// \file
/// How the headers' templates report a misuse that only run time can tell.
#ifndef TAMBERLO_MISUSE_H_
#define TAMBERLO_MISUSE_H_

#include <tamberlo/export.h>

#include <array>
#include <cstddef>
#include <string_view>

namespace tamberlo::detail {

/// A piece of a message: the export takes no standard library type, so
/// that its name does not depend on the standard library's.
struct MessagePart {
  const char* data;  ///< the characters, not terminated
  std::size_t size;  ///< how many
};

/// Throws std::logic_error whose message is the `count` parts at `parts`,
/// joined.  Written inside the library, which keeps <stdexcept> and
/// <string> out of every client's includes; hence the export.  An int
/// count, so that the exported name is the same on every target.
[[noreturn]] TAMBERLO_API void throwMisuse(const MessagePart* parts, int count);

/// throwMisuse of the pieces given: `throwMisuse("Sensor_v3", ": ...")`.
template <typename... Texts>
[[noreturn]] void throwMisuse(const Texts&... texts) {
  // NOLINTBEGIN(cppcoreguidelines-pro-bounds-array-to-pointer-decay)
  const std::array<MessagePart, sizeof...(Texts)> parts{MessagePart{
      std::string_view(texts).data(), std::string_view(texts).size()}...};
  // NOLINTEND(cppcoreguidelines-pro-bounds-array-to-pointer-decay)
  throwMisuse(parts.data(), static_cast<int>(parts.size()));
}

}  // namespace tamberlo::detail

#endif  // TAMBERLO_MISUSE_H_
