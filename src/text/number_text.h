// Reading the text of fixed-width fields: the character classes, which never
// depend on a locale, blank fields, and the two ways the system reads a
// number from a piece of text.

#ifndef GRULO_TEXT_NUMBER_TEXT_H_
#define GRULO_TEXT_NUMBER_TEXT_H_

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

// True when every character of the field is a blank (the space, 32). A field
// of width 0 counts as blank.
inline bool IsBlank(std::string_view field) {
  return field.find_first_not_of(' ') == std::string_view::npos;
}

// Reads a decimal number from the text the way the standard text-to-integer
// conversion does: leading white space skipped, an optional '+' or '-', then
// digits up to the first other character or the end of the text; 0 when no
// digit follows. The end of the view acts as the terminator, and so does a NUL
// byte. Results beyond the 32-bit range saturate.
int32_t ReadNumber(std::string_view text);

// Reads a right-justified count: a text that starts with a digit is read up to
// its first non-digit; one that starts with anything but a blank gives 0 (so
// '+7' and '-5' give 0); otherwise the blanks are skipped and the rest is read
// as ReadNumber does (so ' -5' gives -5). The end of the view, or a NUL byte,
// is the end of the text.
int32_t ParseCount(std::string_view text);

}  // namespace grulo

#endif  // GRULO_TEXT_NUMBER_TEXT_H_
