// Windows-1252 text shown to a person: the summaries and the classic outputs
// are single-byte Windows-1252, terminals, HTML pages and JSON documents
// expect UTF-8.

#ifndef GRULO_TEXT_CP1252_TEXT_H_
#define GRULO_TEXT_CP1252_TEXT_H_

#include <string>
#include <string_view>

namespace grulo {

// The UTF-8 spelling of a Windows-1252 text, byte for byte: ASCII stays as
// it is, 0x80 to 0x9F become the characters Windows gives them (0x80 the
// euro sign, 0x92 the right single quotation mark...), the five bytes
// Windows leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control
// characters U+0081... of the same value, and 0xA0 to 0xFF become U+00A0 to
// U+00FF. Every byte maps to one character, so the conversion is reversible.
std::string Cp1252ToUtf8(std::string_view text);

// The character of a Windows-1252 byte: itself below 0x80 and from 0xA0 on,
// the character Windows gives it from 0x80 to 0x9F, and for the five bytes
// Windows leaves undefined the control character of the same value.
char16_t Cp1252Character(unsigned char byte);

// The Windows-1252 byte of a Unicode character, or -1 when the encoding has
// none (the five control characters that stand for the undefined bytes
// included: they are not characters of Windows-1252).
int Cp1252ByteOf(char32_t code_point);

}  // namespace grulo

#endif  // GRULO_TEXT_CP1252_TEXT_H_
