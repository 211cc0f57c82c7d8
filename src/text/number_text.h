// Reading the text of fixed-width fields: the character classes, which never
// depend on a locale, blank fields, and the two ways the system reads a
// number from a piece of text.

#ifndef GRULO_TEXT_NUMBER_TEXT_H_
#define GRULO_TEXT_NUMBER_TEXT_H_

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace grulo {

// The classes of a byte, one bit each; a byte may belong to several (a
// blank is also white space, 'a' is a letter and one of "AaBb"). A byte of
// 128 or more belongs to none.
enum CharClass : uint8_t {
  kDigitClass = 1,   // '0' to '9'
  kLetterClass = 2,  // 'A' to 'Z' and 'a' to 'z'
  kBlankClass = 4,   // the space, 32, and nothing else
  kWhiteClass = 8,   // white space of the C locale: blank, tab, LF, VT, FF, CR
  kPlusClass = 16,   // '+'
  kAOrBClass = 32,   // 'A', 'B', 'a' and 'b'
};

namespace number_text_internal {

constexpr std::array<uint8_t, 256> MakeCharClasses() {
  std::array<uint8_t, 256> table{};
  for (int c = 0; c < 256; ++c) {
    uint8_t classes = 0;
    if (c >= '0' && c <= '9') classes |= kDigitClass;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) classes |= kLetterClass;
    if (c == ' ') classes |= kBlankClass;
    if (c == ' ' || (c >= '\t' && c <= '\r')) classes |= kWhiteClass;
    if (c == '+') classes |= kPlusClass;
    if (c == 'A' || c == 'B' || c == 'a' || c == 'b') classes |= kAOrBClass;
    table[c] = classes;
  }
  return table;
}

}  // namespace number_text_internal

// The classes of every byte value, indexed by the byte read as unsigned.
inline constexpr std::array<uint8_t, 256> kCharClasses = number_text_internal::MakeCharClasses();

// The CharClass bits of the byte.
inline uint8_t ClassesOf(char c) { return kCharClasses[static_cast<uint8_t>(c)]; }

inline bool IsDigit(char c) { return (ClassesOf(c) & kDigitClass) != 0; }
// 'A' to 'Z' and 'a' to 'z' only: a byte of 128 or more is no letter.
inline bool IsLetter(char c) { return (ClassesOf(c) & kLetterClass) != 0; }
// White space of the C locale: blank, tab, line feed, vertical tab, form feed,
// carriage return.
inline bool IsWhiteSpace(char c) { return (ClassesOf(c) & kWhiteClass) != 0; }
// Upper-cases 'a' to 'z'; every other byte is returned unchanged.
inline char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c; }

// True when the eight characters at p are all digits '0' to '9'. (Eight at
// once: every byte's high half is 3, and adding 6 to its low half does not
// carry into the high half, so the low half is 0 to 9.)
inline bool EightDigits(const char* p) {
  constexpr uint64_t kHighHalves = 0xF0F0F0F0F0F0F0F0;
  constexpr uint64_t kThrees = 0x3030303030303030;
  uint64_t eight;
  std::memcpy(&eight, p, 8);
  return (eight & kHighHalves) == kThrees && ((eight + 0x0606060606060606) & kHighHalves) == kThrees;
}

// True when every character of the field is a blank (the space, 32). A field
// of width 0 counts as blank.
inline bool IsBlank(std::string_view field) {
  // Eight characters at a time, then one by one.
  constexpr uint64_t kEightBlanks = 0x2020202020202020;
  const char* p = field.data();
  size_t n = field.size();
  for (; n >= 8; n -= 8, p += 8) {
    uint64_t eight;
    std::memcpy(&eight, p, 8);
    if (eight != kEightBlanks) return false;
  }
  for (; n > 0; --n, ++p) {
    if (*p != ' ') return false;
  }
  return true;
}

// Reads a decimal number from the text the way the standard text-to-integer
// conversion does: leading white space skipped, an optional '+' or '-', then
// digits up to the first other character or the end of the text; 0 when no
// digit follows. The end of the view acts as the terminator, and so does a NUL
// byte. Results beyond the 32-bit range saturate.
// (Defined below: a piece that starts with a digit, as most do, is read
// without a call.)
inline int32_t ReadNumber(std::string_view text);

// Reads a right-justified count: a text that starts with a digit is read up to
// its first non-digit; one that starts with anything but a blank gives 0 (so
// '+7' and '-5' give 0); otherwise the blanks are skipped and the rest is read
// as ReadNumber does (so ' -5' gives -5). The end of the view, or a NUL byte,
// is the end of the text.
int32_t ParseCount(std::string_view text);

// Implementation details.

namespace number_text_internal {

// ReadNumber for any text: white space, sign, digits and saturation.
int32_t ReadNumberInFull(std::string_view text);

}  // namespace number_text_internal

inline int32_t ReadNumber(std::string_view text) {
  // Up to nine characters that start with a digit have no white space or sign
  // to skip and cannot leave the 32-bit range.
  if (text.empty() || text.size() > 9 || !IsDigit(text[0])) {
    return number_text_internal::ReadNumberInFull(text);
  }
  int32_t value = 0;
  for (char c : text) {
    if (!IsDigit(c)) break;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace grulo

#endif  // GRULO_TEXT_NUMBER_TEXT_H_
