// Windows-1252 text shown to a person: the summaries and the classic outputs
// are single-byte Windows-1252, terminals, HTML pages and JSON documents
// expect UTF-8. DisplayText is the one door between the two: every text that
// may hold bytes of a file or of the system (a path, a section name, a value
// of grulo.ini) goes through it where it enters a UTF-8 text.

#ifndef GRULO_TEXT_CP1252_TEXT_H_
#define GRULO_TEXT_CP1252_TEXT_H_

#include <cstddef>
#include <cstdint>
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

// The UTF-8 text for a person of bytes that are UTF-8, Windows-1252 or a mix
// of both (a message that joins a UTF-8 directory of the system to a path of
// a Windows-1252 grulo.ini): every valid UTF-8 sequence is kept as it is,
// every other byte is read as its Windows-1252 character. ASCII and valid
// UTF-8 come out unchanged, so a text may go through it twice.
std::string DisplayText(std::string_view text);

// A path or a name in a message, between single quotes, so that blanks at
// its ends or inside show: 'C:\data\week 12.rss'. The bytes stay as they are
// (DisplayText converts the whole message).
std::string Quoted(std::string_view text);

// Decodes the UTF-8 sequence at text[*pos]: its code point, *pos moved past
// it; false (and *pos unchanged) for an invalid or overlong sequence or a
// surrogate.
bool DecodeUtf8(std::string_view text, size_t* pos, uint32_t* code_point);

}  // namespace grulo

#endif  // GRULO_TEXT_CP1252_TEXT_H_
