/// \file
/// Whether a string is UTF-8: what toString and records take as text.
#ifndef TAMBERLO_UTF8_H_
#define TAMBERLO_UTF8_H_

#include <cstddef>
#include <string_view>

namespace tamberlo::detail {

// The length of the UTF-8 sequence that `lead` starts (0 for a byte none
// starts with) and the range its second byte lies in, which excludes
// overlong forms, surrogates and code points above U+10FFFF.
struct Utf8Lead {
  std::size_t length;
  unsigned char low;
  unsigned char high;
};

inline Utf8Lead utf8Lead(unsigned char lead) {
  if (lead < 0x80) return {1, 0, 0};
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

/// Whether `text` is UTF-8 as RFC 3629 defines it, which JSON text must be.
inline bool isUtf8(std::string_view text) {
  const auto byte = [&](std::size_t i) {
    return static_cast<unsigned char>(text[i]);
  };
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Lead lead = utf8Lead(byte(i));
    if (lead.length == 0 || text.size() - i < lead.length) return false;
    if (lead.length > 1 &&
        (byte(i + 1) < lead.low || byte(i + 1) > lead.high)) {
      return false;
    }
    for (std::size_t k = 2; k < lead.length; ++k) {
      if ((byte(i + k) & 0xC0) != 0x80) return false;
    }
    i += lead.length;
  }
  return true;
}

}  // namespace tamberlo::detail

#endif  // TAMBERLO_UTF8_H_
