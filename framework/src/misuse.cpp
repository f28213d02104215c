// The message of a misuse that the headers' templates find at run time.
#include <tamberlo/misuse.h>

#include <stdexcept>
#include <string>

void tamberlo::detail::throwMisuse(const MessagePart* parts, int count) {
  std::string what;
  for (int i = 0; i < count; ++i) {
    // The parts arrive as a pointer and a count: no standard type crosses
    // the export.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-bounds-pointer-arithmetic)
    what.append(parts[i].data, parts[i].size);
  }
  throw std::logic_error(what);
}
