#include "text/cp1252_utf16.h"

#include "text/cp1252_text.h"

namespace grulo {
namespace {

// The byte of a code unit: the Windows-1252 one, the undefined bytes coming
// back from the control characters they were converted to; '?' for a
// character Windows-1252 lacks.
char ByteOf(char16_t unit) {
  const int byte = Cp1252ByteOf(unit);
  if (byte >= 0) return static_cast<char>(byte);
  if (unit >= 0x80 && unit < 0xA0 && Cp1252Character(static_cast<unsigned char>(unit)) == unit) {
    return static_cast<char>(unit);  // an undefined byte
  }
  return '?';
}

}  // namespace

std::u16string Cp1252ToUtf16(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (char c : text) {
    wide += Cp1252Character(static_cast<unsigned char>(c));
  }
  return wide;
}

std::u16string TextToUtf16(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  bool beyond_ascii = false;
  size_t pos = 0;
  while (pos < text.size()) {
    uint32_t c;
    if (!DecodeUtf8(text, &pos, &c)) return Cp1252ToUtf16(text);
    beyond_ascii |= c >= 0x80;
    if (c < 0x10000) {
      wide += static_cast<char16_t>(c);
    } else {
      wide += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      wide += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return beyond_ascii ? wide : Cp1252ToUtf16(text);
}

std::string Utf16ToCp1252(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      ++i;  // one character beyond the first plane
      bytes += '?';
      continue;
    }
    bytes += ByteOf(unit);
  }
  return bytes;
}

}  // namespace grulo
