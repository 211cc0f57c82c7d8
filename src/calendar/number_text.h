// The plain number reading used throughout the system, and the character
// classes that never depend on a locale.

#ifndef GRULO_CALENDAR_NUMBER_TEXT_H_
#define GRULO_CALENDAR_NUMBER_TEXT_H_

#include <cstdint>
#include <string_view>

namespace grulo {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// 'A' to 'Z' and 'a' to 'z' only: a byte of 128 or more is no letter.
inline bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// White space of the C locale: blank, tab, line feed, vertical tab, form feed,
// carriage return.
inline bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
// Upper-cases 'a' to 'z'; every other byte is returned unchanged.
inline char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c; }

// Reads a decimal number from the text the way the standard text-to-integer
// conversion does: leading white space skipped, an optional '+' or '-', then
// digits up to the first other character or the end of the text; 0 when no
// digit follows. The end of the view acts as the terminator, and so does a NUL
// byte. Results beyond the 32-bit range saturate.
int32_t ReadNumber(std::string_view text);

}  // namespace grulo

#endif  // GRULO_CALENDAR_NUMBER_TEXT_H_
